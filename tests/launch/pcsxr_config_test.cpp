// PCSX-Reloaded's own configuration file: the lines a launch sets, every
// other line kept byte for byte, and the file and command line it starts on.

// PCSX-Reloaded is a Linux program: these run off Windows only.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "frontend/launch/pcsxr_config.h"
#include "tests/launch/launch_fixture.h"

namespace fs = std::filesystem;

namespace dravolo {
namespace {

// The file pcsxr 1.9.94 writes on its first start with HOME=/home/user.
constexpr std::string_view kPcsxrWritten =
    "Bios = HLE\nGpu = libpeopsxgl.so\nSpu = libDFSound.so\nCdr = libDFCdrom.so\nSio1 = libBladeSio1.so\n"
    "Net = Disabled\nPad1 = libDFInput.so\nPad2 = libDFInput.so\nMcd1 = /home/user/.pcsxr/memcards/card1.mcd\n"
    "Mcd2 = /home/user/.pcsxr/memcards/card2.mcd\nBiosDir = /home/user/.pcsxr/bios/\n"
    "PluginsDir = /home/user/.pcsxr/plugins/\nIsoImgDir = \nXa = 0\nSioIrq = 0\nMdec = 0\nPsxAuto = 1\nCdda = 0\n"
    "SlowBoot = 0\nDbg = 0\nPsxOut = 0\nSpuIrq = 0\nRCntFix = 0\nVSyncWA = 0\nWidescreen = 0\nCpu = 0\nPsxType = 0\n";

std::vector<std::string> Names(std::string_view text) {
    std::vector<std::string> names;
    std::istringstream lines{std::string(text)};
    for (std::string line; std::getline(lines, line);) names.push_back(line.substr(0, line.find(" = ")));
    return names;
}

class PcsxrConfig : public test::LaunchFixture {};

TEST_F(PcsxrConfig, SettingValuesKeepsEveryOtherLineAndTheOrder) {
    // Nothing set: nothing changes.
    EXPECT_EQ(SetPcsxrValues(kPcsxrWritten, {}), kPcsxrWritten);

    _PCSXDATA r(settings());
    r.Gpu = "libDFXVideo.so";
    r.Spu = "libDFSound.so";
    r.Cdr = "libDFCdrom.so";
    r.Mcd1 = "/home/user/cards/a.mcd";
    r.Mcd2.clear();
    r.Xa = 0;  // XA off: pcsxr's "disable" switch on
    r.Country = "PAL";
    const std::string text = SetPcsxrValues(kPcsxrWritten, PcsxrConfigValues(r, "/home/user/.pcsxr/"));
    EXPECT_EQ(Names(text), Names(kPcsxrWritten));  // no line added, none lost, same order
    EXPECT_EQ(PcsxrValue(text, "Gpu"), "libDFXVideo.so");
    EXPECT_EQ(PcsxrValue(text, "Bios"), "HLE");
    EXPECT_EQ(PcsxrValue(text, "Mcd1"), "/home/user/cards/a.mcd");
    EXPECT_EQ(PcsxrValue(text, "Mcd2"), "/home/user/.pcsxr/memcards/card2.mcd");  // no card: pcsxr's own
    EXPECT_EQ(PcsxrValue(text, "PluginsDir"), std::string(kPcsxrPluginsDir));
    EXPECT_EQ(PcsxrValue(text, "Xa"), "1");
    EXPECT_EQ(PcsxrValue(text, "Mdec"), "0");
    EXPECT_EQ(PcsxrValue(text, "PsxAuto"), "0");
    EXPECT_EQ(PcsxrValue(text, "PsxType"), "1");
    for (const char* kept : {"Sio1", "Net", "BiosDir", "IsoImgDir", "SlowBoot", "Dbg", "VSyncWA", "Widescreen"})
        EXPECT_EQ(PcsxrValue(text, kept), PcsxrValue(kPcsxrWritten, kept)) << kept;
    // Written again: the same text.
    EXPECT_EQ(SetPcsxrValues(text, PcsxrConfigValues(r, "/home/user/.pcsxr/")), text);
}

TEST_F(PcsxrConfig, LinesOfOtherShapesStayAsTheyAre) {
    // CR LF ends, a line without '=', a second line of a set name, no final
    // line end: only the first line of the name changes.
    const std::string text = "# mine\r\nGpu = old.so\r\nGpu = second.so\nOdd line\nCpu = 1";
    const std::string out = SetPcsxrValues(text, {{"Gpu", "new.so"}, {"Cpu", "0"}, {"Spu", "s.so"}});
    EXPECT_EQ(out, "# mine\r\nGpu = new.so\r\nGpu = second.so\nOdd line\nCpu = 0\nSpu = s.so\n");
    EXPECT_EQ(PcsxrValue(out, "Gpu"), "new.so");
    EXPECT_EQ(PcsxrValue(out, "Missing"), std::nullopt);
    EXPECT_EQ(SetPcsxrValues("", {{"Bios", "HLE"}}), "Bios = HLE\n");
}

TEST_F(PcsxrConfig, ProgramAndCommandLine) {
    EXPECT_TRUE(IsPcsxReloaded("/usr/games/", "pcsxr"));
    EXPECT_TRUE(IsPcsxReloaded("", "/usr/games/pcsxr"));
    EXPECT_TRUE(IsPcsxReloaded("c:\\pcsx\\", "/opt/bin/pcsxr"));
    EXPECT_FALSE(IsPcsxReloaded("c:\\pcsx\\", "pcsx.exe"));
    EXPECT_FALSE(IsPcsxReloaded("/usr/games/", "pcsxr2"));
    EXPECT_EQ(PcsxrArguments("Crash"), "-cfg dravolo/Crash.cfg");
    EXPECT_EQ(PcsxrArguments("Final Fantasy"), "-cfg \"dravolo/Final Fantasy.cfg\"");
}

TEST_F(PcsxrConfig, WritesTheProfilesFileBelowHome) {
    const std::string home = HostPath("home");
    fs::create_directories(home + "/.pcsxr/dravolo");
    const char* saved = std::getenv("HOME");
    const std::string savedHome = saved ? saved : "";
    setenv("HOME", home.c_str(), 1);
    ASSERT_TRUE(settings().SetString("PcsxExe", "pcsxr"));
    // An earlier file with a line of its own.
    std::ofstream(home + "/.pcsxr/dravolo/Crash.cfg") << "Widescreen = 1\nGpu = old.so\n";
    _PCSXDATA r(settings());
    r.Gpu = "libDFXVideo.so";
    const bool written = WritePcsxrConfig(r, "Crash");
    std::ifstream in(home + "/.pcsxr/dravolo/Crash.cfg");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(PcsxrDefaultCard(1), home + "/.pcsxr/memcards/card1.mcd");
    if (saved) setenv("HOME", savedHome.c_str(), 1);
    else unsetenv("HOME");
    ASSERT_TRUE(written);
    EXPECT_EQ(text.rfind("Widescreen = 1\nGpu = libDFXVideo.so\n", 0), 0u) << text;
    EXPECT_EQ(PcsxrValue(text, "Net"), "Disabled");
    EXPECT_EQ(PcsxrValue(text, "Sio1"), "libBladeSio1.so");
    EXPECT_EQ(PcsxrValue(text, "BiosDir"), home + "/.pcsxr/bios/");
    EXPECT_EQ(PcsxrValue(text, "Mcd1"), home + "/.pcsxr/memcards/card1.mcd");
}

}  // namespace
}  // namespace dravolo

#endif  // _WIN32
