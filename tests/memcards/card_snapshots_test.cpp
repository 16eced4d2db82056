// Card snapshots: taking, skipping unchanged cards, keeping the newest N,
// restoring with an undo snapshot, moving and deleting a profile's folder,
// the cards each emulator's launch hands over, and the launch taking them.

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

#include "common/platform/profile_ini.h"
#include "frontend/core/card_snapshots.h"
#include "frontend/launch/launch.h"
#include "frontend/memcards/launch_snapshots.h"
#include "frontend/profiles/profile_manager.h"
#include "tests/launch/fake_windows.h"
#include "tests/launch/launch_fixture.h"
#include "tests/support/card_builder.h"

namespace dravolo::memcards {
namespace {

using test::CardBuilder;

constexpr std::time_t kNoon = 1700000000;  // some day in November 2023

// The name a snapshot taken at `when` gets, by strftime rather than our code.
std::string IdAt(std::time_t when, int card) {
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", std::localtime(&when));
    return std::string(text) + "-" + std::to_string(card);
}

class Snapshots : public test::LaunchFixture {
protected:
    const std::string folder = ".\\Epsxe\\Crash.snapshots\\";
    const std::string card1 = "c:\\epsxe\\memcards\\epsxe000.mcr";
    const std::string card2 = "c:\\epsxe\\memcards\\epsxe001.mcr";
    void PutCard(const std::string& name, const std::string& bytes) {
        WriteHostFile(driveC() + "/epsxe/memcards/" + name, bytes);
    }
    std::string CardBytes(const std::string& name) { return ReadHostFile(driveC() + "/epsxe/memcards/" + name); }
    std::vector<std::string> Ids(int card = 0) {
        std::vector<std::string> ids;
        for (const Snapshot& s : ListSnapshots(folder, card)) ids.push_back(s.id);
        return ids;
    }
};

TEST_F(Snapshots, TakenWhenChangedKeepingTheNewest) {
    PutCard("epsxe000.mcr", CardBuilder().AddSave({0}, "ONE").str());
    EXPECT_EQ(TakeSnapshot(folder, 1, card1, 3, kNoon), SnapshotOutcome::Taken);
    EXPECT_EQ(ReadHostFile("Epsxe/Crash.snapshots/" + IdAt(kNoon, 1) + ".mcr"),
              CardBuilder().AddSave({0}, "ONE").str());
    // The same content again: nothing new.
    EXPECT_EQ(TakeSnapshot(folder, 1, card1, 3, kNoon + 60), SnapshotOutcome::Unchanged);
    EXPECT_EQ(Ids(), std::vector<std::string>{IdAt(kNoon, 1)});

    // Changes keep only the newest three; card 2's snapshots are counted apart.
    PutCard("epsxe001.mcr", CardBuilder().str());
    EXPECT_EQ(TakeSnapshot(folder, 2, card2, 3, kNoon + 1), SnapshotOutcome::Taken);
    for (int i = 1; i <= 4; ++i) {
        PutCard("epsxe000.mcr", CardBuilder().AddSave({0}, "ONE", static_cast<std::uint8_t>(i + 1)).str());
        EXPECT_EQ(TakeSnapshot(folder, 1, card1, 3, kNoon + 100 * i), SnapshotOutcome::Taken);
    }
    EXPECT_EQ(Ids(1), (std::vector<std::string>{IdAt(kNoon + 400, 1), IdAt(kNoon + 300, 1), IdAt(kNoon + 200, 1)}));
    EXPECT_EQ(Ids(2), std::vector<std::string>{IdAt(kNoon + 1, 2)});
    const auto newest = ListSnapshots(folder, 1).front();
    EXPECT_EQ(newest.card, 1);
    EXPECT_EQ(newest.date.size(), 19u);
    EXPECT_EQ(newest.date[4], '-');
    EXPECT_EQ(newest.date[13], ':');

    // Two snapshots in one second: the second takes the next free second.
    PutCard("epsxe000.mcr", CardBuilder().AddSave({3}).str());
    EXPECT_EQ(TakeSnapshot(folder, 1, card1, 5, kNoon + 400), SnapshotOutcome::Taken);
    EXPECT_EQ(Ids(1).front(), IdAt(kNoon + 401, 1));

    EXPECT_EQ(TakeSnapshot(folder, 1, "c:\\epsxe\\memcards\\none.mcr", 3, kNoon), SnapshotOutcome::NoCard);
    EXPECT_EQ(TakeSnapshot(folder, 1, "", 3, kNoon), SnapshotOutcome::NoCard);
    PutCard("empty.mcr", "");
    EXPECT_EQ(TakeSnapshot(folder, 1, "c:\\epsxe\\memcards\\empty.mcr", 3, kNoon), SnapshotOutcome::NoCard);
    EXPECT_EQ(TakeSnapshot(folder, 1, card1, 0, kNoon + 999), SnapshotOutcome::Off);

    // Names of another shape and stray files are not snapshots.
    WriteHostFile("Epsxe/Crash.snapshots/notes.mcr", "x");
    WriteHostFile("Epsxe/Crash.snapshots/20231114-999999-3.mcr", "x");
    WriteHostFile("Epsxe/Crash.snapshots/snapshot-1.tmp", "half");
    EXPECT_EQ(Ids().size(), 5u);
    EXPECT_TRUE(FindSnapshot(folder, IdAt(kNoon + 1, 2)));
    EXPECT_FALSE(FindSnapshot(folder, "notes"));
}

TEST_F(Snapshots, RestoreKeepsWhatItReplaces) {
    const std::string old = CardBuilder().AddSave({0}, "OLD").str();
    const std::string now = CardBuilder().AddSave({0}, "NOW").AddSave({1}).str() + "tail";
    PutCard("epsxe000.mcr", old);
    ASSERT_EQ(TakeSnapshot(folder, 1, card1, 10, kNoon), SnapshotOutcome::Taken);
    PutCard("epsxe000.mcr", now);
    const Snapshot snapshot = *FindSnapshot(folder, IdAt(kNoon, 1));
    EXPECT_EQ(RestoreSnapshot(folder, snapshot, card1, kNoon + 50), RestoreOutcome::Restored);
    EXPECT_EQ(CardBytes("epsxe000.mcr"), old);  // cut to the snapshot's length
    // The card as it was is the newest snapshot now: the restore can be undone.
    const Snapshot undo = ListSnapshots(folder, 1).front();
    EXPECT_EQ(undo.id, IdAt(kNoon + 50, 1));
    EXPECT_EQ(ReadHostFile("Epsxe/Crash.snapshots/" + undo.id + ".mcr"), now);
    EXPECT_EQ(RestoreSnapshot(folder, undo, card1, kNoon + 60), RestoreOutcome::Restored);
    EXPECT_EQ(CardBytes("epsxe000.mcr"), now);
    EXPECT_EQ(Ids(1).size(), 3u);  // the restored card was snapshotted once more, none pruned

    // A card that is gone is made again; a snapshot that is gone is reported.
    std::filesystem::remove(driveC() + "/epsxe/memcards/epsxe000.mcr");
    EXPECT_EQ(RestoreSnapshot(folder, snapshot, card1, kNoon + 70), RestoreOutcome::Restored);
    EXPECT_EQ(CardBytes("epsxe000.mcr"), old);
    Snapshot gone = snapshot;
    gone.path = folder + "20000101-000000-1.mcr";
    EXPECT_EQ(RestoreSnapshot(folder, gone, card1, kNoon), RestoreOutcome::NoSnapshot);
}

TEST_F(Snapshots, FolderMovesAndGoesWithTheProfile) {
    PutCard("epsxe000.mcr", CardBuilder().str());
    ASSERT_EQ(TakeSnapshot(folder, 1, card1, 10, kNoon), SnapshotOutcome::Taken);
    EXPECT_TRUE(MoveSnapshotFolder(".\\Epsxe\\Crash", ".\\Epsxe\\Spyro"));
    EXPECT_FALSE(HostExists("Epsxe/Crash.snapshots"));
    EXPECT_EQ(ListSnapshots(".\\Epsxe\\Spyro.snapshots\\").size(), 1u);
    EXPECT_TRUE(MoveSnapshotFolder(".\\Epsxe\\None", ".\\Epsxe\\Other"));  // nothing to move
    std::filesystem::create_directories(HostPath("Epsxe/Taken.snapshots"));
    EXPECT_FALSE(MoveSnapshotFolder(".\\Epsxe\\Spyro", ".\\Epsxe\\Taken"));  // never over another
    EXPECT_TRUE(DeleteSnapshotFolder(".\\Epsxe\\Spyro"));
    EXPECT_FALSE(HostExists("Epsxe/Spyro.snapshots"));
    EXPECT_TRUE(DeleteSnapshotFolder(".\\Epsxe\\Spyro"));
}

TEST_F(Snapshots, EachEmulatorsLaunchCards) {
    _EPSXEDATA epsxe(settings());
    EXPECT_EQ(LaunchCardPaths(EmulatorKind::Epsxe, "Crash", epsxe, settings()),
              (std::array<std::string, 2>{card1, card2}));
    _PSINEXDATA psinex(settings());
    psinex.MemCard2 = "memcards\\mine.mem";  // relative: the emulator's own folder
    EXPECT_EQ(LaunchCardPaths(EmulatorKind::Psinex, "P", psinex, settings()),
              (std::array<std::string, 2>{"c:\\psinex\\memcards\\mc1.mem", "c:\\psinex\\memcards\\mine.mem"}));
    _PCSXDATA pcsx(settings());
    pcsx.Mcd1 = ".\\cards\\one.mcr";
    EXPECT_EQ(LaunchCardPaths(EmulatorKind::Pcsx, "P", pcsx, settings())[0], "c:\\pcsx\\cards\\one.mcr");
    _ADRIPSXDATA adripsx(settings());
    adripsx.Memcard1 = "c:\\adripsx\\mems\\a.mcr";  // its writer names no cards
    EXPECT_EQ(LaunchCardPaths(EmulatorKind::Adripsx, "A", adripsx, settings()), (std::array<std::string, 2>{}));
    // FPSE: what the profile's settings file, copied over FPSE.INI, says.
    _FPSEDATA fpse(settings());
    WriteHostFile("Fpse/F.INI", "[FPSE]\r\nMemCard1=D:\\cards\\f1.mcd\r\n");
    EXPECT_EQ(LaunchCardPaths(EmulatorKind::Fpse, "F", fpse, settings()),
              (std::array<std::string, 2>{"D:\\cards\\f1.mcd", "c:\\fpse\\memcards\\mcdslot2.mcd"}));
}

TEST_F(Snapshots, ALaunchTakesThemBeforeWritingTheConfiguration) {
    _EPSXEDATA r(settings());
    r.VideoPlugin = r.SoundPlugin = r.CdromPlugin = "x.dll";
    SaveProfile("Crash", r);
    PutCard("epsxe000.mcr", CardBuilder().AddSave({0}, "ONE").str());
    PutCard("epsxe001.mcr", CardBuilder().str());
    InProcessRegistryEditor editor(registry());
    test::FakeWindows windows;
    SleepingWindowPoller poller;
    const LaunchServices services{registry(), settings(), prompter, editor, windows, poller};
    const LaunchRequest request{EmulatorKind::Epsxe, std::string("Crash"), true};
    ASSERT_TRUE(PrepareLaunch(request, services));
    ASSERT_EQ(Ids().size(), 2u);
    EXPECT_EQ(ListSnapshots(folder, 1).size(), 1u);
    ASSERT_TRUE(PrepareLaunch(request, services));
    EXPECT_EQ(Ids().size(), 2u);  // unchanged cards

    // "CardSnapshots" 0 turns them off; a launch refused for its plugins takes none.
    PutCard("epsxe000.mcr", CardBuilder().AddSave({4}).str());
    settings().Set(kCardSnapshotsSetting, 0);
    ASSERT_TRUE(PrepareLaunch(request, services));
    EXPECT_EQ(Ids().size(), 2u);
    settings().Set(kCardSnapshotsSetting, 10);
    r.VideoPlugin = "";
    SaveProfile("Bare", r);
    EXPECT_FALSE(PrepareLaunch(LaunchRequest{EmulatorKind::Epsxe, std::string("Bare"), true}, services));
    EXPECT_FALSE(HostExists("Epsxe/Bare.snapshots"));
    ASSERT_TRUE(PrepareLaunch(request, services));
    EXPECT_EQ(Ids(1).size(), 2u);
}

TEST_F(Snapshots, ProfileRenameAndDeleteTakeTheFolderAlong) {
    _EPSXEDATA r(settings());
    SaveProfile("Crash", r);
    PutCard("epsxe000.mcr", CardBuilder().str());
    ASSERT_EQ(TakeSnapshot(folder, 1, card1, 10, kNoon), SnapshotOutcome::Taken);
    ASSERT_EQ(RenameProfile(EmulatorKind::Epsxe, "Crash", "Spyro", prompter), RenameOutcome::Renamed);
    EXPECT_EQ(ListSnapshots(".\\Epsxe\\Spyro.snapshots").size(), 1u);
    EXPECT_FALSE(HostExists("Epsxe/Crash.snapshots"));
    // The list still shows profiles only.
    ProfileList listed;
    ASSERT_TRUE(EnumerateProfiles(EmulatorKind::Epsxe, listed, settings(), prompter));
    ASSERT_EQ(listed.fileNames.size(), 1u);
    EXPECT_EQ(listed.fileNames[0], "Spyro.set");

    // A folder of the new name refuses the rename before anything moves.
    std::filesystem::create_directories(HostPath("Epsxe/Tekken.snapshots"));
    EXPECT_EQ(RenameProfile(EmulatorKind::Epsxe, "Spyro", "Tekken", prompter), RenameOutcome::Refused);
    EXPECT_NE(prompter.messages.back().text.find("Tekken.snapshots"), std::string::npos);
    EXPECT_TRUE(HostExists("Epsxe/Spyro.set"));
    EXPECT_TRUE(HostExists("Epsxe/Spyro.snapshots"));

    ASSERT_TRUE(DeleteProfileFiles(EmulatorKind::Epsxe, "Spyro", prompter));
    EXPECT_FALSE(HostExists("Epsxe/Spyro.snapshots"));
    EXPECT_FALSE(HostExists("Epsxe/Spyro.set"));
}

}  // namespace
}  // namespace dravolo::memcards
