// Every whole-file save, killed in the middle at every write step and at
// random moments: the file is the old one or the new one, never a mix, and
// nothing stays beside it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "common/platform/profile_ini.h"
#include "common/platform/registry.h"
#include "frontend/cdimage/cue_sheet.h"
#include "frontend/core/settings_store.h"
#include "frontend/launch/plugin_settings.h"
#include "frontend/profiles/profile_files.h"
#include "tests/crash/kill_harness.h"
#include "tests/support/memory_registry.h"
#include "tests/support/prefix_fixture.h"
#include "tests/support/recording_prompter.h"
#include "tool/core/cheat_library.h"

namespace dravolo {
namespace {

class WholeFileKill : public test::PrefixFixture {
protected:
    void Put(const std::string& hostPath, const std::string& text) const {
        std::filesystem::create_directories(std::filesystem::path(hostPath).parent_path());
        std::ofstream(hostPath, std::ios::binary | std::ios::trunc) << text;
    }
};

TEST_F(WholeFileKill, ProfileRecord) {
    const std::string path = ProfilePath(EmulatorKind::Epsxe, "Crash");
    std::string old;
    {
        test::MemoryRegistry registry;
        SettingsStore settings{registry};
        ASSERT_TRUE(CreateProfileFile(EmulatorKind::Epsxe, path, settings));
        old = ReadHostFile("Epsxe/Crash.set");
    }
    test::ExpectOldOrNewAfterEveryKill(
        HostPath("Epsxe/Crash.set"), [&] { Put(HostPath("Epsxe/Crash.set"), old); },
        [&] {
            test::MemoryRegistry registry;
            SettingsStore settings{registry};
            test::RecordingPrompter prompter;
            _EPSXEDATA record(settings);
            record.Properties.Description = "A description long enough to take several writes";
            SaveProfileRecord(record, path, prompter);
        });
}

// A hive's key lines carry the time of the save ("[Software\\New] 1700000000")
// and so does its "#time=" line: two saves differ there and nowhere else.
std::string WithoutTimes(std::string text) {
    text = std::regex_replace(text, std::regex(R"(\] [0-9]+)"), "]");
    return std::regex_replace(text, std::regex(R"(#time=[0-9a-f]+)"), "#time=");
}

TEST_F(WholeFileKill, HiveFile) {
    ASSERT_TRUE(OpenSystemRegistry()->SetString(RegRoot::CurrentUser, "Software\\Old", "Kept", "as it was"));
    const std::string old = ReadHostFile(prefix() + "/user.reg");
    test::ExpectOldOrNewAfterEveryKill(
        prefix() + "/user.reg", [&] { Put(prefix() + "/user.reg", old); },
        [] { OpenSystemRegistry()->SetString(RegRoot::CurrentUser, "Software\\New", "Value", "written"); },
        WithoutTimes);
}

TEST_F(WholeFileKill, PrivateProfileIni) {
    const std::string old = "[Main]\r\nKeep=1\r\nChange=old\r\n";
    test::ExpectOldOrNewAfterEveryKill(
        HostPath("Epsxe/epsxe.ini"), [&] { Put(HostPath("Epsxe/epsxe.ini"), old); },
        [] { WritePrivateProfileString("Main", "Change", std::string_view("a new value"), ".\\Epsxe\\epsxe.ini"); });
}

TEST_F(WholeFileKill, PluginSideFile) {
    test::ExpectOldOrNewAfterEveryKill(
        HostPath("Epsxe/Crash.gpu"), [&] { Put(HostPath("Epsxe/Crash.gpu"), "REGEDIT4\r\n\r\n[old]\r\n"); },
        [] {
            test::MemoryRegistry registry;
            registry.SetString(RegRoot::CurrentUser, "Software\\Vision Thing\\PSEmu Pro\\GPU\\Test", "Mode",
                               "windowed 640x480");
            registry.SetDword(RegRoot::CurrentUser, "Software\\Vision Thing\\PSEmu Pro\\GPU\\Test", "Depth", 32);
            InProcessRegistryEditor editor(registry);
            editor.Export(".\\Epsxe\\Crash.gpu", "HKEY_CURRENT_USER\\Software\\Vision Thing\\PSEmu Pro\\GPU\\Test");
        });
}

TEST_F(WholeFileKill, CheatCodes) {
    const std::string codes = driveC() + "/epsxe/Cheats/Codes.txt";
    const std::string old =
        "My cheats\r\n\r\n*SLUS_001.23|Racer\r\n-Infinite time\r\n80012345 0063\r\n--\r\n**\r\n"
        "\r\n*SCES_000.01|Fighter\r\n-Power\r\n80030000 0001\r\n--\r\n**\r\n";
    test::ExpectOldOrNewAfterEveryKill(
        codes, [&] { Put(codes, old); },
        [] {
            auto registry = OpenSystemRegistry();
            tool::CheatLibrary library(*registry, "C:\\epsxe");
            library.Load();
            library.Delete({0, -1});
        });
}

TEST_F(WholeFileKill, CueSheet) {
    const std::string image = driveC() + "/images/game.bin";
    Put(image, "");
    test::ExpectOldOrNewAfterEveryKill(
        driveC() + "/images/game.cue", [&] { Put(driveC() + "/images/game.cue", "FILE \"old.bin\" BINARY\r\n"); },
        [] {
            WriteCueSheet("C:\\images\\game.bin",
                          {{0, 0, kTrackMode2, true}, {1, 20000, 0, false}, {2, 30000, 0, false}});
        });
}

}  // namespace
}  // namespace dravolo
