// PCSX-Reloaded's plugins keep their settings in ~/.pcsxr/plugins/. A
// PCSX-Reloaded profile keeps its copy in its side files, and a launch puts
// that copy back before pcsxr starts, byte for byte.

// PCSX-Reloaded is a Linux program: these run off Windows only.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "frontend/launch/launch.h"
#include "frontend/launch/pcsxr_plugin_settings.h"
#include "tests/launch/fake_windows.h"
#include "tests/launch/launch_fixture.h"

namespace fs = std::filesystem;

namespace dravolo {
namespace {

// Settings files are the plugins' own binary or text: every byte must survive.
const std::string kVideoSettings("ResX = 640\r\nResY = 480\n\0\xff\x01 trailing", 34);

class PcsxrPluginSettings : public test::LaunchFixture {
protected:
    void SetUp() override {
        test::LaunchFixture::SetUp();
        pcsxrHome = HostPath("home") + "/.pcsxr/";
        fs::create_directories(pcsxrHome + "plugins");
        if (const char* saved = std::getenv("HOME")) savedHome = saved;
        setenv("HOME", HostPath("home").c_str(), 1);
        ASSERT_TRUE(settings().SetString("PcsxExe", "pcsxr"));
    }
    void TearDown() override {
        if (!savedHome.empty()) setenv("HOME", savedHome.c_str(), 1);
        else unsetenv("HOME");
        test::LaunchFixture::TearDown();
    }

    std::string Live(const std::string& file) { return ReadHostFile(pcsxrHome + "plugins/" + file); }
    void SetLive(const std::string& file, std::string_view text) { WriteHostFile(pcsxrHome + "plugins/" + file, text); }

    bool Prepare(const std::string& name) {
        InProcessRegistryEditor editor(registry());
        test::FakeWindows windows;
        SleepingWindowPoller poller;
        LaunchRequest request{EmulatorKind::Pcsx, name, true};
        return PrepareLaunch(request, LaunchServices{registry(), settings(), prompter, editor, windows, poller})
            .has_value();
    }

    std::string pcsxrHome, savedHome;
};

TEST_F(PcsxrPluginSettings, EachPluginNamesTheFileItWrites) {
    EXPECT_EQ(PcsxrPluginSettingsFile("libDFXVideo.so"), "dfxvideo.cfg");
    EXPECT_EQ(PcsxrPluginSettingsFile("libpeopsxgl.so"), "gpuPeopsMesaGL.cfg");
    EXPECT_EQ(PcsxrPluginSettingsFile("libDFSound.so"), "dfsound.cfg");
    EXPECT_EQ(PcsxrPluginSettingsFile("libDFCdrom.so"), "dfcdrom.cfg");
    EXPECT_EQ(PcsxrPluginSettingsFile("libDFInput.so"), "dfinput.cfg");
    EXPECT_EQ(PcsxrPluginSettingsFile("gpuTest.dll"), "");
}

TEST_F(PcsxrPluginSettings, SideFileRoundTripKeepsEveryByte) {
    const auto parsed = ParsePcsxrSideFile(PcsxrSideFileText("dfxvideo.cfg", kVideoSettings));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->settingsFile, "dfxvideo.cfg");
    EXPECT_EQ(parsed->contents, kVideoSettings);
    // A side file never names a path or a file no plugin of pcsxr's reads.
    EXPECT_FALSE(ParsePcsxrSideFile(PcsxrSideFileText("../../.bashrc", "x")));
    EXPECT_FALSE(ParsePcsxrSideFile(PcsxrSideFileText("/etc/passwd", "x")));
    EXPECT_FALSE(ParsePcsxrSideFile("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n"));
    EXPECT_FALSE(ParsePcsxrSideFile(""));
}

TEST_F(PcsxrPluginSettings, LaunchPutsTheProfilesCopyBack) {
    _PCSXDATA r(settings());
    r.Gpu = "libDFXVideo.so";
    r.Spu = "libDFSound.so";
    r.Cdr = "libDFCdrom.so";
    r.Pad1 = r.Pad2 = "libDFInput.so";
    SaveProfile("Crash", r);
    const std::string gpuSide = ProfilePath(EmulatorKind::Pcsx, "Crash", ".gpu");

    SetLive("dfxvideo.cfg", kVideoSettings);
    ASSERT_TRUE(CapturePcsxrPluginSettings(gpuSide, "libDFXVideo.so", pcsxrHome));
    // Another profile's settings, or the user's own, are live now.
    SetLive("dfxvideo.cfg", "ResX = 1024\n");
    SetLive("dfsound.cfg", "Volume = 3\n");  // no .spu side file: stays as it is

    ASSERT_TRUE(Prepare("Crash")) << (prompter.messages.empty() ? "" : prompter.messages.front().text);
    EXPECT_EQ(Live("dfxvideo.cfg"), kVideoSettings);
    EXPECT_EQ(Live("dfsound.cfg"), "Volume = 3\n");
    EXPECT_FALSE(HostExists(pcsxrHome + "plugins/dfcdrom.cfg"));
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(PcsxrPluginSettings, MissingFilesChangeNothing) {
    WriteHostFile("Pcsx/Other.gpu", "REGEDIT4\n");  // a registry export of a Windows plugin
    const std::string side = ProfilePath(EmulatorKind::Pcsx, "Crash", ".spu");
    // The plugin never stored settings: the profile's earlier copy stays.
    EXPECT_FALSE(CapturePcsxrPluginSettings(side, "libDFSound.so", pcsxrHome));
    EXPECT_FALSE(HostExists("Pcsx/Crash.spu"));
    EXPECT_FALSE(RestorePcsxrPluginSettings(side, pcsxrHome));
    SetLive("dfsound.cfg", "Volume = 1\n");
    ASSERT_TRUE(CapturePcsxrPluginSettings(side, "libDFSound.so", pcsxrHome));
    fs::remove(HostPath(pcsxrHome + "plugins/dfsound.cfg"));
    EXPECT_FALSE(CapturePcsxrPluginSettings(side, "libDFSound.so", pcsxrHome));
    // The live file is gone (and its folder too): the copy goes back.
    fs::remove_all(pcsxrHome + "plugins");
    EXPECT_TRUE(RestorePcsxrPluginSettings(side, pcsxrHome));
    EXPECT_EQ(Live("dfsound.cfg"), "Volume = 1\n");
    // A registry export is no copy of pcsxr's: nothing is written.
    EXPECT_FALSE(RestorePcsxrPluginSettings(ProfilePath(EmulatorKind::Pcsx, "Other", ".gpu"), pcsxrHome));
    // An unknown plugin has nothing to capture.
    EXPECT_FALSE(CapturePcsxrPluginSettings(side, "gpuTest.dll", pcsxrHome));
}

}  // namespace
}  // namespace dravolo

#endif  // _WIN32
