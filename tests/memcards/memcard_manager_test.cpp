// The memory-card manager without its widgets: card folders and lists, what
// the slot lists show, the refresh rules, every question and message, and
// damaged card files.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "frontend/core/settings_store.h"
#include "frontend/memcards/card_folder.h"
#include "frontend/memcards/memcard_manager.h"
#include "frontend/memcards/memcard_texts.h"
#include "tests/memcard/read_only_card.h"
#include "tests/support/card_builder.h"
#include "tests/support/memory_registry.h"
#include "tests/support/prefix_fixture.h"
#include "tests/support/recording_prompter.h"

namespace dravolo::memcards {
namespace {

using test::CardBuilder;

constexpr const char* kDir = "c:\\epsxe\\memcards\\";

class Manager : public test::PrefixFixture {
protected:
    void SetUp() override {
        PrefixFixture::SetUp();
        manager.SetPathSent([this](int side, const std::string& path) { sent.push_back({side, path}); });
    }
    // A card in ePSXe's card folder; returns its Windows path.
    std::string Card(const std::string& name, const std::string& content) {
        WriteHostFile(driveC() + "/epsxe/memcards/" + name, content);
        return std::string(kDir) + name;
    }
    std::string Bytes(const std::string& name) { return ReadHostFile(driveC() + "/epsxe/memcards/" + name); }
    // Both sides showing cards, initialised and activated.
    void Show(const std::string& left, const std::string& right) {
        manager.Initialise();
        manager.SetPath(kLeft, left);
        manager.SetPath(kRight, right);
        manager.Activate();
    }
    const SlotRow& Row(int side, int slot) {
        return manager.side(side).listing.rows.at(static_cast<std::size_t>(slot));
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
    std::vector<std::pair<int, std::string>> sent;
};

TEST_F(Manager, CardFolderPerKindAndTheSortedLowerCaseList) {
    EXPECT_EQ(MemcardDirectory(settings, EmulatorKind::Epsxe), "c:\\epsxe\\memcards\\");
    EXPECT_EQ(MemcardDirectory(settings, std::nullopt), "c:\\epsxe\\memcards\\");
    EXPECT_EQ(MemcardDirectory(settings, EmulatorKind::Adripsx), "c:\\adripsx\\mems\\");
    settings.SetString("FpsePath", "D:\\Games\\FPSE\\");
    EXPECT_EQ(MemcardDirectory(settings, EmulatorKind::Fpse), "D:\\Games\\FPSE\\memcards\\");

    for (const char* name : {"Zeta.MCR", "alpha.mcd", "b.mc", "c.ddf", "notes.txt", "d.mcrx"}) Card(name, "x");
    std::filesystem::create_directories(driveC() + "/epsxe/memcards/folder.mcr");
    manager.Initialise();
    const std::vector<std::string> expected = {"c:\\epsxe\\memcards\\alpha.mcd", "c:\\epsxe\\memcards\\b.mc",
                                               "c:\\epsxe\\memcards\\c.ddf", "c:\\epsxe\\memcards\\zeta.mcr"};
    EXPECT_EQ(manager.side(kLeft).entries, expected);
    EXPECT_EQ(manager.side(kRight).entries, expected);
    EXPECT_EQ(manager.side(kLeft).current, -1);
}

TEST_F(Manager, SlotListShowsTitlesStatesIconsAndRegions) {
    CardBuilder card;
    card.AddSave({0}, "\x82\x60\x82\x61\x82\x62 \x8A\xBF", 1, "BI")
        .AddSave({1, 4, 2}, "LONG", 2, "BE")
        .AddSave({3}, "   ", 3, "BA")
        .AddSave({5}, "GONE", 4, "BA")
        .MarkFree({5})
        .SetState(6, 0xFF);
    const std::string path = Card("a.mcr", card.str());
    Show(path, "");
    ASSERT_EQ(manager.side(kLeft).listing.rows.size(), 15u);
    EXPECT_EQ(Row(kLeft, 0).number, "1");
    EXPECT_EQ(Row(kLeft, 0).image, 0);
    EXPECT_EQ(Row(kLeft, 0).saveName, "ABC \x8A\xBF");  // the kanji stays Shift-JIS
    EXPECT_EQ(Row(kLeft, 0).regionImage, kRegionJapanImage);
    EXPECT_EQ(Row(kLeft, 1).regionImage, kRegionEuropeImage);
    EXPECT_EQ(Row(kLeft, 4).saveName, kLinkText);
    EXPECT_EQ(Row(kLeft, 4).image, kGenericImage);
    EXPECT_EQ(Row(kLeft, 4).regionImage, kGenericImage);
    EXPECT_EQ(Row(kLeft, 2).saveName, kEndLinkText);
    EXPECT_EQ(Row(kLeft, 3).saveName, kFreeText);  // in use, but a blank title
    EXPECT_EQ(Row(kLeft, 3).image, 3);
    EXPECT_EQ(Row(kLeft, 5).saveName, kErasedText);
    EXPECT_EQ(Row(kLeft, 5).regionImage, kGenericImage);
    EXPECT_EQ(Row(kLeft, 6).image, kGenericImage);
    EXPECT_EQ(Row(kLeft, 14).saveName, kFreeText);
    EXPECT_EQ(Row(kLeft, 14).number, "15");
    EXPECT_TRUE(manager.side(kRight).listing.rows.empty());

    const auto pieces = SplitTitleText(Row(kLeft, 0).saveName);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0].bytes, "ABC ");
    EXPECT_TRUE(pieces[1].shiftJis);
    EXPECT_EQ(pieces[1].bytes, "\x8A\xBF");
    EXPECT_FALSE(SplitTitleText("\xAB"
                                "Go\xBB")[0]
                     .shiftJis);  // the converter's guillemets
}

TEST_F(Manager, ActivationNagsOnceEmptiesMissingCardsAndSendsPaths) {
    const std::string right = Card("r.mcr", CardBuilder().str());
    manager.Initialise();
    manager.SetPath(kLeft, "c:\\epsxe\\memcards\\gone.mcr");
    manager.SetPath(kRight, "C:\\EPSXE\\MEMCARDS\\R.MCR");
    manager.Activate();
    ASSERT_EQ(Texts(), std::vector<std::string>{kInvalidCard});
    EXPECT_EQ(prompter.messages[0].caption, "MemCard Manager");
    EXPECT_EQ(prompter.messages[0].icon, PromptIcon::Information);
    EXPECT_EQ(manager.path(kLeft), "");
    EXPECT_EQ(manager.path(kRight), right);  // the list's entry, lower case
    EXPECT_EQ(manager.side(kRight).listing.rows.size(), 15u);
    EXPECT_EQ(sent, (std::vector<std::pair<int, std::string>>{{kRight, right}}));
    EXPECT_TRUE(manager.activated());

    sent.clear();
    manager.Deactivate();
    EXPECT_FALSE(manager.activated());
    EXPECT_EQ(sent, (std::vector<std::pair<int, std::string>>{{kLeft, ""}, {kRight, right}}));
    sent.clear();
    manager.Ok();  // not active: nothing more to say
    EXPECT_TRUE(sent.empty());

    // A card picked by Browse that is not in the folder goes to the top.
    WriteHostFile("Other.MCR", CardBuilder().str());
    manager.Browse(kLeft, "Other.MCR");
    EXPECT_EQ(manager.side(kLeft).entries.front(), "other.mcr");
    EXPECT_EQ(manager.side(kLeft).current, 0);
    EXPECT_EQ(manager.path(kLeft), "other.mcr");
}

TEST_F(Manager, UnformattedCardAsksToFormat) {
    const std::string path = Card("blank.mcr", std::string(CardBuilder::kCardSize, '\0'));
    Answer({PromptAnswer::No});
    Show(path, "");
    EXPECT_EQ(Texts(), std::vector<std::string>{kAskFormatUnformatted});
    EXPECT_EQ(prompter.messages[0].buttons, PromptButtons::YesNo);
    EXPECT_TRUE(manager.side(kLeft).listing.rows.empty());
    EXPECT_EQ(sent.back(), std::make_pair(kLeft, path));
    EXPECT_EQ(Bytes("blank.mcr"), std::string(CardBuilder::kCardSize, '\0'));

    Answer({PromptAnswer::Yes});
    manager.SelectEntry(kLeft, manager.side(kLeft).current);
    EXPECT_EQ(Bytes("blank.mcr"), CardBuilder().str());
    EXPECT_EQ(manager.side(kLeft).listing.rows.size(), 15u);
}

TEST_F(Manager, BothSidesOnOneCardRefreshTogether) {
    const std::string path =
        Card("same.mcr", CardBuilder().AddSave({0}, "ONE", 1).AddSave({1, 2, 3}, "THREE", 2).str());
    Show(path, path);
    // Copy the one-block save from slot 1 to slot 5 within the card.
    manager.SelectSlot(kLeft, 0);
    manager.SelectSlot(kRight, 4);
    manager.CopySave(kLeft);
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(Row(kRight, 4).saveName, "ONE");
    EXPECT_EQ(Row(kLeft, 4).saveName, "ONE");

    // Erase on the right shows on the left too.
    manager.SelectSlot(kRight, 1);
    Answer({PromptAnswer::Yes});
    manager.EraseSave();
    EXPECT_EQ(Texts().back(), kAskDeleteSlot);
    EXPECT_EQ(Row(kLeft, 1).saveName, kFreeText);
    EXPECT_EQ(Row(kLeft, 2).saveName, kFreeText);

    // Format on the left empties the right as well.
    Answer({PromptAnswer::Yes});
    manager.Format(kLeft);
    EXPECT_EQ(Texts().back(), kAskFormat);
    EXPECT_EQ(Row(kRight, 4).saveName, kFreeText);
    EXPECT_EQ(Bytes("same.mcr"), CardBuilder().str());
}

TEST_F(Manager, CopyRefusesLinksAsksBeforeOverwritingAndReportsAFullCard) {
    const std::string source = Card("s.mcr", CardBuilder().AddSave({0, 1, 2}, "BIG", 1).AddSave({3}, "SMALL", 2).str());
    CardBuilder full;
    for (int slot = 0; slot < 14; ++slot) full.AddSave({slot}, "FULL", static_cast<std::uint8_t>(slot + 3));
    const std::string dest = Card("d.mcr", full.str());
    Show(source, dest);

    // A link on either side: nothing happens, not even a question.
    manager.SelectSlot(kLeft, 1);
    manager.SelectSlot(kRight, 14);
    manager.CopySave(kLeft);
    EXPECT_TRUE(prompter.messages.empty());

    // Onto a save: asked, and No keeps it.
    manager.SelectSlot(kLeft, 3);
    manager.SelectSlot(kRight, 0);
    Answer({PromptAnswer::No});
    manager.CopySave(kLeft);
    EXPECT_EQ(Texts(), std::vector<std::string>{kAskOverwriteSave});
    EXPECT_EQ(Bytes("d.mcr"), full.str());

    // Three blocks into one free slot: the copy-failed text, nothing written.
    manager.SelectSlot(kLeft, 0);
    manager.SelectSlot(kRight, 14);
    manager.CopySave(kLeft);
    EXPECT_EQ(Texts().back(), kCopyFailed);
    EXPECT_EQ(prompter.messages.back().icon, PromptIcon::Stop);
    EXPECT_EQ(Bytes("d.mcr"), full.str());

    // The one-block save fits; the left side is not refreshed (other file).
    manager.SelectSlot(kLeft, 3);
    manager.SelectSlot(kRight, 14);
    manager.CopySave(kLeft);
    EXPECT_EQ(Row(kRight, 14).saveName, "SMALL");
    EXPECT_EQ(manager.side(kLeft).selectedSlot, 3);
}

TEST_F(Manager, MarkFreeOnAnErasedSlotAsksAndLeavesIt) {
    const std::string path =
        Card("m.mcr", CardBuilder().AddSave({0, 1}, "TWO", 1).AddSave({2}, "X", 2).MarkFree({2}).str());
    const std::string before = Bytes("m.mcr");
    Show("", path);
    manager.SelectSlot(kRight, 2);
    Answer({PromptAnswer::Yes});
    manager.MarkFree();
    EXPECT_EQ(Texts(), std::vector<std::string>{kAskFreeSlot});
    EXPECT_EQ(Bytes("m.mcr"), before);
    EXPECT_EQ(Row(kRight, 2).saveName, kErasedText);

    // A link or a free slot is not offered; the first block frees the chain.
    manager.SelectSlot(kRight, 1);
    manager.MarkFree();
    manager.SelectSlot(kRight, 9);
    manager.MarkFree();
    EXPECT_EQ(prompter.messages.size(), 1u);
    manager.SelectSlot(kRight, 0);
    Answer({PromptAnswer::Yes});
    manager.MarkFree();
    EXPECT_EQ(Row(kRight, 0).saveName, kErasedText);
    EXPECT_EQ(Row(kRight, 1).saveName, kErasedText);
    // Erase leaves an erased slot alone: it is no longer in use.
    manager.EraseSave();
    EXPECT_EQ(prompter.messages.size(), 2u);
}

TEST_F(Manager, EraseAndMarkFreeOnACardThatCannotBeWrittenSaySo) {
    const std::string content = CardBuilder().AddSave({0}, "KEEP", 1).AddSave({1, 2}, "TWO", 2).str();
    const std::string path = Card("ro.mcr", content);
    const test::ReadOnlyCard readOnly(driveC() + "/epsxe/memcards/ro.mcr");
    if (!readOnly.ok()) GTEST_SKIP() << "no way to make a read-only file here";
    Show(path, "");
    manager.SelectSlot(kLeft, 0);
    Answer({PromptAnswer::Yes});
    manager.EraseSave();
    EXPECT_EQ(Texts(), (std::vector<std::string>{kAskDeleteSlot, kEraseFailed}));
    EXPECT_EQ(prompter.messages.back().icon, PromptIcon::Stop);
    EXPECT_EQ(prompter.messages.back().caption, "MemCard Manager");
    // The cause comes beside the message: the card and why it was refused.
    EXPECT_EQ(prompter.messages.back().details.rfind(path + ": ", 0), 0u) << prompter.messages.back().details;
    EXPECT_GT(prompter.messages.back().details.size(), path.size() + 2);
    manager.SelectSlot(kLeft, 1);
    Answer({PromptAnswer::Yes});
    manager.MarkFree();
    EXPECT_EQ(Texts().back(), kMarkFreeFailed);
    EXPECT_EQ(prompter.messages.back().details.rfind(path + ": ", 0), 0u);
    EXPECT_EQ(Bytes("ro.mcr"), content);
    EXPECT_EQ(Row(kLeft, 0).saveName, "KEEP");  // the list still shows what the card holds
}

TEST_F(Manager, ImportByExtensionIntoTheCardFolder) {
    manager.Initialise();
    const std::string body = CardBuilder().AddSave({0}, "DEX", 5).str();
    WriteHostFile("In/Game.GME", std::string(3904, 'H') + body);
    manager.Import(kLeft, "In\\Game.GME");
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(manager.path(kLeft), "c:\\epsxe\\memcards\\game.mcr");
    EXPECT_EQ(Bytes("game.mcr"), body);
    EXPECT_EQ(Row(kLeft, 0).saveName, "DEX");

    WriteHostFile("In/short.vgs", std::string(64, 'V') + "too short");
    manager.Import(kRight, "In\\short.vgs");
    EXPECT_EQ(Texts(), std::vector<std::string>{kImportFailed});
    EXPECT_EQ(manager.path(kRight), "c:\\epsxe\\memcards\\short.mcr");
    EXPECT_TRUE(manager.side(kRight).listing.rows.empty());

    // An extension of no card format imports nothing but still selects the path.
    WriteHostFile("In/raw.txt", body);
    manager.Import(kRight, "In\\raw.txt");
    EXPECT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(manager.path(kRight), "c:\\epsxe\\memcards\\raw.txt");
    EXPECT_FALSE(HostExists(driveC() + "/epsxe/memcards/raw.txt"));

    // A card folder that does not exist: a failure, not a success.
    settings.SetString("EpsxePath", "c:\\nowhere\\");
    manager.Initialise();
    manager.Import(kLeft, "In\\Game.GME");
    EXPECT_EQ(Texts().back(), kImportFailed);
}

TEST_F(Manager, ImportOverAnExistingCardAsksAsCreateDoes) {
    const std::string kept = CardBuilder().AddSave({0}, "PRECIOUS", 2).str();
    Card("game.mcr", kept);
    const std::string other = Card("other.mcr", CardBuilder().str());
    manager.Initialise();
    manager.Browse(kLeft, other);
    const std::string body = CardBuilder().AddSave({0}, "DEX", 5).str();
    WriteHostFile("In/Game.gme", std::string(3904, 'H') + body);

    Answer({PromptAnswer::No});
    manager.Import(kLeft, "In\\Game.gme");
    ASSERT_EQ(Texts(), std::vector<std::string>{kAskOverwriteCard});
    EXPECT_EQ(prompter.messages[0].caption, kOverwriteCaption);
    EXPECT_EQ(prompter.messages[0].icon, PromptIcon::Question);
    EXPECT_EQ(Bytes("game.mcr"), kept);
    EXPECT_EQ(manager.path(kLeft), other);  // No leaves the side as it was

    Answer({PromptAnswer::Yes});
    manager.Import(kLeft, "In\\Game.gme");
    EXPECT_EQ(Bytes("game.mcr"), body);
    EXPECT_EQ(manager.path(kLeft), "c:\\epsxe\\memcards\\game.mcr");
    EXPECT_EQ(Row(kLeft, 0).saveName, "DEX");
}

TEST_F(Manager, CreateAndDeleteCards) {
    const std::string keep = Card("keep.mcr", CardBuilder().AddSave({0}, "KEEP").str());
    manager.Initialise();
    EXPECT_EQ(manager.NewCardPath(kRight), "c:\\epsxe\\memcards\\memcard2.mcr");

    manager.Create(kLeft, "c:\\epsxe\\memcards\\New.mcr");
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(Bytes("New.mcr"), CardBuilder().str());
    EXPECT_EQ(manager.path(kLeft), "c:\\epsxe\\memcards\\new.mcr");

    // An existing card: "Overwrite memcard?" with its own caption; No keeps it.
    Answer({PromptAnswer::No});
    manager.Create(kRight, keep);
    EXPECT_EQ(prompter.messages.back().text, kAskOverwriteCard);
    EXPECT_EQ(prompter.messages.back().caption, "Overwrite");
    EXPECT_EQ(Row(kLeft, 0).saveName, kFreeText);
    EXPECT_EQ(manager.path(kRight), "");
    EXPECT_NE(Bytes("keep.mcr"), CardBuilder().str());

    // Deleting the left card removes it from both lists; the right list keeps its card.
    manager.Browse(kRight, keep);
    Answer({PromptAnswer::Yes});
    manager.DeleteCard(kLeft);
    EXPECT_EQ(prompter.messages.back().text, kAskDeleteCard);
    EXPECT_FALSE(HostExists(driveC() + "/epsxe/memcards/New.mcr"));
    for (int side : {kLeft, kRight})
        EXPECT_EQ(FindCardEntry(manager.side(side).entries, "c:\\epsxe\\memcards\\new.mcr"), -1);
    EXPECT_EQ(manager.path(kRight), keep);
    EXPECT_EQ(manager.path(kLeft), keep);  // the first entry left
}

TEST_F(Manager, DamagedCardFilesShowWithoutHarm) {
    std::mt19937 random(6);
    std::string noise(CardBuilder::kCardSize, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    noise[0] = 'M';
    noise[1] = 'C';
    const std::string truncated = CardBuilder().AddSave({0, 1, 2}, "CUT", 1).str().substr(0, 9000);
    std::string oversized = CardBuilder().AddSave({0}, "BIG").str() + std::string(70000, '\x51');
    CardBuilder loop;
    loop.AddSave({0, 1}, "LOOP").SetNext(1, 0).SetNext(0, 200);
    const std::vector<std::pair<std::string, std::string>> cards = {
        {"noise.mcr", noise}, {"cut.mcr", truncated}, {"big.mcr", oversized}, {"loop.mcr", loop.str()}};
    for (const auto& [name, content] : cards) {
        SCOPED_TRACE(name);
        const std::string path = Card(name, content);
        const std::string other = Card("other.mcr", CardBuilder().str());
        Show(path, other);
        ASSERT_EQ(manager.side(kLeft).listing.rows.size(), 15u);
        // Every command on every slot: nothing is written outside the card, so
        // the damaged file keeps its length.
        for (int slot = 0; slot < 15; ++slot) {
            prompter.answers.assign(8, PromptAnswer::Yes);
            manager.SelectSlot(kLeft, slot);
            manager.SelectSlot(kRight, slot);
            manager.CopySave(kLeft);
            manager.SelectSlot(kLeft, slot);
            manager.MarkFree();
            manager.SelectSlot(kLeft, slot);
            manager.EraseSave();
        }
        EXPECT_EQ(Bytes(name).size(), content.size());
    }
    EXPECT_EQ(Bytes("cut.mcr").substr(0, 2), "MC");
}

}  // namespace
}  // namespace dravolo::memcards
