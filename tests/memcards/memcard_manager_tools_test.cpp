// The manager's Recover Slot, Check Integrity with Repair, the profile's card
// snapshots with Restore, Export Save / Import Save, and Import of every card
// format, with every question and message.

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "common/memcard/card_formats.h"
#include "common/memcard/card_layout.h"
#include "frontend/core/card_snapshots.h"
#include "frontend/core/settings_store.h"
#include "frontend/memcards/launch_snapshots.h"
#include "frontend/memcards/memcard_manager.h"
#include "frontend/memcards/memcard_texts.h"
#include "tests/support/card_builder.h"
#include "tests/support/memory_registry.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/prefix_fixture.h"
#include "tests/support/recording_prompter.h"

namespace dravolo::memcards {
namespace {

using test::CardBuilder;

constexpr const char* kDir = "c:\\epsxe\\memcards\\";
constexpr std::time_t kNoon = 1700000000;

class ManagerTools : public test::PrefixFixture {
protected:
    std::string Card(const std::string& name, const std::string& content) {
        WriteHostFile(driveC() + "/epsxe/memcards/" + name, content);
        return std::string(kDir) + name;
    }
    std::string Bytes(const std::string& name) { return ReadHostFile(driveC() + "/epsxe/memcards/" + name); }
    void Show(const std::string& left, const std::string& right) {
        manager.Initialise();
        manager.SetPath(kLeft, left);
        manager.SetPath(kRight, right);
        manager.Activate();
        prompter.messages.clear();
    }
    const std::string& Name(int side, int slot) {
        return manager.side(side).listing.rows.at(static_cast<std::size_t>(slot)).saveName;
    }
    std::vector<std::string> Texts() {
        std::vector<std::string> texts;
        for (const auto& m : prompter.messages) texts.push_back(m.text);
        return texts;
    }
    void Answer(std::initializer_list<PromptAnswer> answers) { prompter.answers.assign(answers); }

    test::MemoryRegistry registry;
    SettingsStore settings{registry};
    test::RecordingPrompter prompter;
    MemcardManager manager{settings, prompter};
};

TEST_F(ManagerTools, RecoverSlotBringsBackAMarkedFreeSaveOrSaysWhy) {
    const std::string card =
        Card("a.mcr", CardBuilder().AddSave({0, 1}, "GONE").MarkFree({0, 1}).AddSave({5}, "KEPT").str());
    Show(card, card);
    EXPECT_EQ(Name(kLeft, 0), kErasedText);

    // Nothing selected: nothing happens. A later block of the erased save is refused with the reason.
    manager.RecoverSlot();
    EXPECT_TRUE(prompter.messages.empty());
    manager.SelectSlot(kLeft, 1);
    manager.RecoverSlot();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_NE(prompter.messages[0].text.find("slot 2"), std::string::npos) << prompter.messages[0].text;
    EXPECT_EQ(prompter.messages[0].caption, kCaption);
    EXPECT_EQ(prompter.messages[0].icon, PromptIcon::Stop);

    manager.SelectSlot(kLeft, 0);
    manager.RecoverSlot();
    EXPECT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(Name(kLeft, 0), "GONE");
    EXPECT_EQ(Name(kLeft, 1), kEndLinkText);
    EXPECT_EQ(Name(kRight, 0), "GONE");  // the same file on both sides
    EXPECT_EQ(Bytes("a.mcr"), CardBuilder().AddSave({0, 1}, "GONE").AddSave({5}, "KEPT").str());

    // A save in use is not "recovered"; a block since given to another save refuses the whole save.
    manager.RecoverSlot();
    EXPECT_EQ(prompter.messages.size(), 2u);
    const std::string reused =
        Card("b.mcr", CardBuilder().AddSave({2, 3}, "OLD").MarkFree({2, 3}).AddSave({3}, "NEW").str());
    Show(reused, card);
    manager.SelectSlot(kLeft, 2);
    manager.RecoverSlot();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_NE(prompter.messages[0].text.find("slot 4"), std::string::npos) << prompter.messages[0].text;
    EXPECT_EQ(Bytes("b.mcr"), CardBuilder().AddSave({2, 3}, "OLD").MarkFree({2, 3}).AddSave({3}, "NEW").str());
}

TEST_F(ManagerTools, CheckIntegrityReportsEachFindingAndRepairsWhenAsked) {
    const std::string good = Card("good.mcr", CardBuilder().AddSave({0}).str());
    const CardBuilder damaged =
        CardBuilder().AddSave({2, 4, 6}, "CUT", 2).SetState(2, 0xA0).SetByte(CardBuilder::FrameOffset(9) + 127, 0x33);
    const std::string bad = Card("bad.mcr", damaged.str());
    Show(good, bad);

    auto report = manager.CheckIntegrity(kLeft);
    ASSERT_TRUE(report);
    EXPECT_TRUE(report->clean);
    EXPECT_FALSE(report->repairable);
    EXPECT_EQ(report->lines, std::vector<std::string>{"No problems found."});

    report = manager.CheckIntegrity(kRight);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->card, bad);
    EXPECT_FALSE(report->clean);
    EXPECT_TRUE(report->repairable);
    EXPECT_EQ(report->lines, (std::vector<std::string>{"Slot 10: directory frame checksum is 0x33, should be 0xA0.",
                                                       "Slot 5: a block in use that no save reaches.",
                                                       "Slot 7: a block in use that no save reaches."}));

    // Repair asks first; No writes nothing.
    Answer({PromptAnswer::No});
    EXPECT_FALSE(manager.RepairCard(kRight));
    EXPECT_EQ(Texts(), std::vector<std::string>{kAskRepairCard});
    EXPECT_EQ(Bytes("bad.mcr"), damaged.str());
    Answer({PromptAnswer::Yes});
    report = manager.RepairCard(kRight);
    ASSERT_TRUE(report);
    EXPECT_TRUE(report->clean);
    EXPECT_EQ(report->repaired,
              "Repaired: 1 checksum made right, 1 save of 2 blocks no save reached marked free (Recover Slot brings it "
              "back).");
    EXPECT_EQ(Bytes("bad.mcr").substr(8192), damaged.str().substr(8192));  // no save data changed
    EXPECT_EQ(Name(kRight, 4), kErasedText);  // the list shows what Recover Slot can bring back

    // No card: nothing; a card that cannot be read: said so.
    manager.SelectEntry(kLeft, -1);
    EXPECT_FALSE(manager.CheckIntegrity(kLeft));
    prompter.messages.clear();
    std::filesystem::remove(HostPath(driveC() + "/epsxe/memcards/bad.mcr"));
    std::filesystem::create_directories(HostPath(driveC() + "/epsxe/memcards/bad.mcr"));
    EXPECT_FALSE(manager.CheckIntegrity(kRight));
}

TEST_F(ManagerTools, SnapshotsOfTheProfilesCardsAndRestoreWithUndo) {
    const std::string one = CardBuilder().AddSave({0}, "CRASH", 1).AddSave({1}, "SPYRO", 2).str();
    const std::string card1 = Card("epsxe000.mcr", one);
    const std::string card2 = Card("epsxe001.mcr", CardBuilder().str());
    const std::string folder = ".\\Epsxe\\Crash.snapshots\\";
    EXPECT_EQ(SnapshotLimit(settings), 10);  // nothing stored: ten per card
    ASSERT_EQ(TakeSnapshot(folder, 1, card1, 10, kNoon), SnapshotOutcome::Taken);
    ASSERT_EQ(TakeSnapshot(folder, 2, card2, 10, kNoon), SnapshotOutcome::Taken);

    // Without a profile (the memory-card-only sheet) there are none to list.
    Show(card1, card2);
    EXPECT_EQ(manager.SnapshotFolder(), "");
    EXPECT_TRUE(manager.Snapshots(kLeft).empty());
    manager.SetProfileName("Crash");
    EXPECT_EQ(manager.SnapshotFolder(), folder);

    // Since the snapshot: CRASH changed, SPYRO erased, TEKKEN new.
    Card("epsxe000.mcr",
         CardBuilder().AddSave({0}, "CRASH", 1).SetByte(8192 + 600, 0x77).AddSave({3}, "TEKKEN", 3).str());
    auto entries = manager.Snapshots(kLeft);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].snapshot.card, 1);
    ASSERT_EQ(entries[0].saves.size(), 2u);
    EXPECT_EQ(entries[0].saves[0].title, "CRASH");
    EXPECT_EQ(entries[0].saves[0].change, SnapshotSave::Change::Changed);
    EXPECT_EQ(entries[0].saves[1].change, SnapshotSave::Change::NotOnCard);
    EXPECT_EQ(entries[0].onlyOnCard, std::vector<std::string>{"TEKKEN"});
    EXPECT_EQ(manager.Snapshots(kRight).size(), 1u);
    EXPECT_EQ(manager.Snapshots(kRight)[0].snapshot.card, 2);

    // Restore asks; No leaves the card. A snapshot of the other card is not restored here.
    const std::string now = Bytes("epsxe000.mcr");
    Answer({PromptAnswer::No});
    EXPECT_FALSE(manager.RestoreSnapshot(kLeft, entries[0].snapshot.id));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_NE(prompter.messages[0].text.find(card1), std::string::npos);
    EXPECT_EQ(prompter.messages[0].icon, PromptIcon::Question);
    EXPECT_FALSE(manager.RestoreSnapshot(kLeft, manager.Snapshots(kRight)[0].snapshot.id));
    EXPECT_EQ(Bytes("epsxe000.mcr"), now);

    Answer({PromptAnswer::Yes});
    EXPECT_TRUE(manager.RestoreSnapshot(kLeft, entries[0].snapshot.id));
    EXPECT_EQ(Bytes("epsxe000.mcr"), one);
    EXPECT_EQ(Name(kLeft, 1), "SPYRO");
    // The card as it was is now the newest snapshot: the restore can be undone.
    entries = manager.Snapshots(kLeft);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(ReadHostFile(HostPath("Epsxe/Crash.snapshots/" + entries[0].snapshot.id + ".mcr")), now);
    EXPECT_EQ(entries[1].saves[0].change, SnapshotSave::Change::Same);
}

TEST_F(ManagerTools, ExportAndImportSavesInEveryFormat) {
    const CardBuilder source = CardBuilder().AddSave({1, 2, 3}, "RIDGE RACER", 4, "BA").AddSave({5}, "ONE", 5);
    const std::string from = Card("from.mcr", source.str());
    const std::string to = Card("to.mcr", CardBuilder().AddSave({0}, "THERE", 6).str());
    Show(from, to);

    // Only a save's first slot offers a name; a link slot or a free one offers none.
    manager.SelectSlot(kLeft, 2);
    EXPECT_FALSE(manager.ExportSaveName());
    manager.SelectSlot(kLeft, 7);
    EXPECT_FALSE(manager.ExportSaveName());
    manager.SelectSlot(kLeft, 1);
    const auto offered = manager.ExportSaveName();
    ASSERT_TRUE(offered);
    EXPECT_EQ(offered->rfind(kDir, 0), 0u);
    EXPECT_EQ(offered->substr(offered->size() - 4), ".mcs");

    for (const char* extension : {"mcs", "ps1", "psx", "mcb", "mcx", "pda", "psv", "bin"}) {
        SCOPED_TRACE(extension);
        const std::string save = std::string(kDir) + "ridge." + extension;
        manager.SelectSlot(kLeft, 1);
        manager.ExportSave(save);
        EXPECT_TRUE(prompter.messages.empty()) << Texts().front();
        // Into slot 4 of the other card: the first block there, the rest in the lowest free slots.
        Card("to.mcr", CardBuilder().AddSave({0}, "THERE", 6).str());
        manager.SelectEntry(kRight, manager.side(kRight).current);
        manager.SelectSlot(kRight, 3);
        manager.ImportSave(save);
        EXPECT_TRUE(prompter.messages.empty()) << Texts().front();
        EXPECT_EQ(Name(kRight, 3), "RIDGE RACER");
        EXPECT_EQ(Name(kRight, 1), kLinkText);
        EXPECT_EQ(Name(kRight, 2), kEndLinkText);
        EXPECT_EQ(manager.side(kRight).selectedSlot, 3);
        prompter.messages.clear();
    }

    // Over a save asks first; an existing file asks before it is replaced.
    manager.SelectSlot(kRight, 0);
    Answer({PromptAnswer::No});
    manager.ImportSave(std::string(kDir) + "ridge.mcs");
    EXPECT_EQ(Texts(), std::vector<std::string>{kAskOverwriteSave});
    EXPECT_EQ(Name(kRight, 0), "THERE");
    manager.SelectSlot(kLeft, 5);
    Answer({PromptAnswer::No});
    manager.ExportSave(std::string(kDir) + "ridge.mcs");
    EXPECT_EQ(Texts().back(), kAskOverwriteFile);

    // No room: refused cleanly, the card as it was.
    const CardBuilder full = CardBuilder().AddSave({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, "BIG");
    const std::string fullCard = Card("full.mcr", full.str());
    manager.Browse(kRight, fullCard);
    manager.SelectSlot(kRight, 13);
    prompter.messages.clear();
    manager.ImportSave(std::string(kDir) + "ridge.mcs");
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_NE(prompter.messages[0].text.find("no room"), std::string::npos) << prompter.messages[0].text;
    EXPECT_EQ(Bytes("full.mcr"), full.str());

    // Nothing selected: the lowest free slot; a file that is no save is said to be none.
    manager.SelectSlot(kRight, -1);
    prompter.messages.clear();
    manager.ImportSave(std::string(kDir) + "ridge.mcs");
    EXPECT_NE(Texts().at(0).find("no room"), std::string::npos);
    WriteHostFile(driveC() + "/epsxe/memcards/junk.mcs", "not a save at all");
    prompter.messages.clear();
    manager.Browse(kRight, to);
    manager.ImportSave(std::string(kDir) + "junk.mcs");
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_NE(prompter.messages[0].text.find("junk.mcs"), std::string::npos);
}

#ifndef _WIN32
// The window offers the cause under Details: the file that could not be
// written and why, the product's message unchanged.
TEST_F(ManagerTools, ASaveThatCannotBeWrittenSaysWhyBesideTheMessage) {
    const std::string content = CardBuilder().AddSave({0}, "ONE", 5).str();
    const std::string from = Card("from.mcr", content);
    const std::string locked = Card("locked.mcr", CardBuilder().AddSave({0}, "THERE", 6).str());
    std::filesystem::create_directory(driveC() + "/shut");
    ASSERT_EQ(chmod((driveC() + "/shut").c_str(), 0555), 0);
    ASSERT_EQ(chmod((driveC() + "/epsxe/memcards/locked.mcr").c_str(), 0444), 0);
    Show(from, locked);
    manager.SelectSlot(kLeft, 0);
    manager.ExportSave(std::string(kDir) + "one.mcs");  // a save file to import below
    ASSERT_TRUE(prompter.messages.empty()) << Texts().front();
    {
        test::ActAsOrdinaryUser user(root());
        manager.SelectSlot(kLeft, 0);
        manager.ExportSave("c:\\shut\\one.mcs");
        manager.SelectSlot(kRight, 3);
        manager.ImportSave(std::string(kDir) + "one.mcs");
    }
    chmod((driveC() + "/shut").c_str(), 0755);
    chmod((driveC() + "/epsxe/memcards/locked.mcr").c_str(), 0644);
    ASSERT_EQ(prompter.messages.size(), 2u) << Texts().front();
    EXPECT_EQ(prompter.messages[0].text, "Cannot write c:\\shut\\one.mcs.");
    EXPECT_EQ(prompter.messages[0].details, "c:\\shut\\one.mcs: Permission denied");
    EXPECT_EQ(prompter.messages[1].text, "Cannot write " + locked + ".");
    EXPECT_EQ(prompter.messages[1].details, locked + ": Permission denied");
    EXPECT_EQ(prompter.messages[1].caption, kCaption);
    EXPECT_EQ(Name(kRight, 0), "THERE");
}
#endif

TEST_F(ManagerTools, ImportTakesEveryCardFormat) {
    manager.Initialise();
    const CardBuilder card = CardBuilder().AddSave({0}, "PSP SAVE", 7);
    memcard::CardImage image{};
    std::copy(card.bytes().begin(), card.bytes().end(), image.begin());
    for (const auto& [name, format] :
         {std::pair{"game.vmp", memcard::CardFormat::Psp}, std::pair{"game.vm1", memcard::CardFormat::Ps3},
          std::pair{"other.mcd", memcard::CardFormat::Raw}}) {
        SCOPED_TRACE(name);
        const dravolo::Bytes file = memcard::WriteCardData(image, format);
        WriteHostFile(std::string("In/") + name, std::string(file.begin(), file.end()));
    }
    manager.Import(kLeft, "In\\Game.VMP");
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(manager.path(kLeft), "c:\\epsxe\\memcards\\game.mcr");
    EXPECT_EQ(Bytes("game.mcr"), card.str());
    EXPECT_EQ(Name(kLeft, 0), "PSP SAVE");

    // Over an existing card asks as Create does; a raw card keeps its name.
    Answer({PromptAnswer::Yes});
    manager.Import(kRight, "In\\game.vm1");
    EXPECT_EQ(Texts(), std::vector<std::string>{kAskOverwriteCard});
    manager.Import(kRight, "In\\other.mcd");
    EXPECT_EQ(manager.path(kRight), "c:\\epsxe\\memcards\\other.mcd");
    EXPECT_EQ(Bytes("other.mcd"), card.str());

    // A cut file is refused with the reason and leaves the side as it was.
    WriteHostFile("In/cut.vmp", std::string(200, '\0'));
    prompter.messages.clear();
    manager.Import(kRight, "In\\cut.vmp");
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text.rfind(kImportFailed, 0), 0u);
    EXPECT_GT(prompter.messages[0].text.size(), std::string(kImportFailed).size());
    EXPECT_EQ(manager.path(kRight), "c:\\epsxe\\memcards\\other.mcd");
    EXPECT_FALSE(HostExists(driveC() + "/epsxe/memcards/cut.mcr"));

    // A card of the folder chosen again is selected, not copied over itself.
    prompter.messages.clear();
    manager.Import(kLeft, "c:\\epsxe\\memcards\\other.mcd");
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(manager.path(kLeft), "c:\\epsxe\\memcards\\other.mcd");
}

}  // namespace
}  // namespace dravolo::memcards
