// An emulator in a Wine prefix of its own: which prefix a kind uses, that its
// registry and drive C: are that prefix's while the world lives, and that a
// prefix that does not exist yet is made by Wine when the runner is Wine.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "common/platform/prefix.h"
#include "common/platform/winfs.h"
#include "frontend/launch/emulator_world.h"
#include "tests/launch/launch_fixture.h"

namespace dravolo {
namespace {

constexpr auto HKCU = RegRoot::CurrentUser;

class EmulatorWorldTest : public test::LaunchFixture {
protected:
    EmulatorWorldTest() : test::LaunchFixture(true) {}
};

TEST_F(EmulatorWorldTest, TheKindsPrefixComesFromItsSettingOrItsRunner) {
    EXPECT_EQ(settings().EmulatorPrefix(EmulatorKind::Pcsx), "");
    ASSERT_TRUE(settings().SetString("PcsxRunner", "env  WINEPREFIX=/games/pcsx WINEDEBUG=-all wine"));
    EXPECT_EQ(settings().EmulatorPrefix(EmulatorKind::Pcsx), "/games/pcsx");
    ASSERT_TRUE(settings().SetString("PcsxPrefix", "/games/own"));
    EXPECT_EQ(settings().EmulatorPrefix(EmulatorKind::Pcsx), "/games/own");  // the setting wins
    EXPECT_EQ(settings().EmulatorPrefix(EmulatorKind::Epsxe), "");
    for (const char* name : {"EpsxePrefix", "FpsePrefix", "PsinexPrefix", "AdripsxPrefix", "PcsxPrefix"})
        EXPECT_NE(FindSetting(name), nullptr) << name;

    EXPECT_TRUE(RunnerIsWine("wine"));
    EXPECT_TRUE(RunnerIsWine("/usr/lib/wine/wine64"));
    EXPECT_TRUE(RunnerIsWine("env WINEPREFIX=/x wine"));
    EXPECT_FALSE(RunnerIsWine("/bin/sh run.sh"));
    EXPECT_FALSE(RunnerIsWine("env WINEPREFIX=/x"));
}

TEST_F(EmulatorWorldTest, WritesAndPathsGoToTheKindsPrefixWhileTheFrontEndsSettingsStay) {
    const std::string own = root() + "/pcsx-prefix";
    ASSERT_TRUE(EnsurePrefixLayout(own));
    std::filesystem::create_directories(own + "/drive_c/pcsx");
    ASSERT_TRUE(settings().SetString("PcsxPrefix", own));
    {
        EmulatorWorld world(EmulatorKind::Pcsx, settings(), registry());
        EXPECT_EQ(world.prefix(), own);
        ASSERT_TRUE(world.registry().SetString(HKCU, "Software\\Pcsx", "Gpu", "gpuOwn.dll"));
        ASSERT_TRUE(WriteWholeFileAtomic("c:\\pcsx\\marker.txt", std::span<const std::uint8_t>()));
        EXPECT_EQ(PrefixDirectory(), own);
        EXPECT_EQ(settings().GetString("PcsxPrefix"), own);  // read from the front end's prefix
    }
    EXPECT_EQ(PrefixDirectory(), prefix());
    EXPECT_TRUE(std::filesystem::exists(own + "/drive_c/pcsx/marker.txt"));
    EXPECT_FALSE(HostExists(driveC() + "/pcsx/marker.txt"));
    EXPECT_FALSE(registry().KeyExists(HKCU, "Software\\Pcsx"));
    EXPECT_EQ(OpenRegistryOfPrefix(own)->QueryString(HKCU, "Software\\Pcsx", "Gpu"), "gpuOwn.dll");

    // Without a prefix of its own an emulator shares the front end's.
    EmulatorWorld shared(EmulatorKind::Epsxe, settings(), registry());
    EXPECT_EQ(&shared.registry(), &registry());
    EXPECT_EQ(PrefixDirectory(), prefix());
}

// A stand-in for wine that notes how it was asked to make the prefix, and
// makes it as wineboot would.
TEST_F(EmulatorWorldTest, AMissingPrefixIsMadeByWineWhenTheRunnerIsWine) {
    const std::string bin = root() + "/bin";
    std::filesystem::create_directories(bin);
    const std::string wine = bin + "/wine";
    {
        std::ofstream script(wine);
        script << "#!/bin/sh\necho \"$WINEPREFIX $*\" >> '" << root() << "/wine.log'\n"
               << "mkdir -p \"$WINEPREFIX/drive_c/windows\"\n"
               << "printf 'WINE REGISTRY Version 2\\n\\n#arch=win64\\n' > \"$WINEPREFIX/user.reg\"\n";
    }
    ASSERT_EQ(chmod(wine.c_str(), 0755), 0);
    const std::string own = root() + "/made-by-wine";
    ASSERT_TRUE(PreparePrefix(own, wine));
    std::ifstream log(root() + "/wine.log");
    std::string line;
    ASSERT_TRUE(std::getline(log, line));
    EXPECT_EQ(line, own + " wineboot -i");
    EXPECT_TRUE(std::filesystem::is_directory(own + "/drive_c/windows"));
    EXPECT_TRUE(std::filesystem::exists(own + "/dosdevices/c:"));

    // An existing prefix is left to itself; a runner that is not Wine makes
    // only our layout.
    ASSERT_TRUE(PreparePrefix(own, wine));
    ASSERT_TRUE(PreparePrefix(root() + "/made-by-us", "/bin/sh"));
    EXPECT_FALSE(std::getline(log, line));
    EXPECT_TRUE(std::filesystem::exists(root() + "/made-by-us/dosdevices/c:"));
}

}  // namespace
}  // namespace dravolo
#endif
