// Quick configure of a PCSX-Reloaded profile opens the plugin from pcsxr's
// own plugin folder, not from below the program's install path; the plugin
// page of such a profile puts the profile's copy of the plugins' settings
// files back when it opens and copies them into the side files on OK.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "common/platform/winfs.h"
#include "frontend/launch/pcsxr_plugin_settings.h"
#include "frontend/launch/quick_configure.h"
#include "frontend/plugins/plugins_page_logic.h"
#include "tests/launch/launch_fixture.h"
#include "tests/real_plugins/pcsxr_plugins.h"

namespace dravolo {
namespace {

class PcsxrQuickConfigure : public test::LaunchFixture {
protected:
    void SetUp() override {
        if (const std::string missing = test::PcsxrPluginsMissing(); !missing.empty())
            GTEST_SKIP() << "Skipped: " << missing;
        test::LaunchFixture::SetUp();
        ASSERT_TRUE(settings().SetString("PcsxPath", "/usr/games/"));
        ASSERT_TRUE(settings().SetString("PcsxExe", "pcsxr"));
    }

    QuickConfigureResult QuickConfigure(const std::string& profile, const std::string& gpu) {
        _PCSXDATA r(settings());
        r.Gpu = gpu;
        SaveProfile(profile, r);
        InProcessRegistryEditor editor(registry());
        return QuickConfigurePlugin(QuickConfigureRequest{EmulatorKind::Pcsx, profile, PluginType::Gpu, 0, 0},
                                    settings(), prompter, editor);
    }
};

TEST_F(PcsxrQuickConfigure, OpensThePluginFromPcsxrsPluginFolder) {
    // The net plugin is there and has no video dialog: it was loaded, from
    // /usr/lib/x86_64-linux-gnu/psemu/ (nothing of it is below /usr/games/).
    EXPECT_EQ(QuickConfigure("Net", "libDFNet.so"), QuickConfigureResult::NoConfigureEntry);
    EXPECT_EQ(QuickConfigure("Gone", "libNoSuchPlugin.so"), QuickConfigureResult::LibraryNotLoaded);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(PcsxrQuickConfigure, PluginPageRestoresAndCapturesTheSettingsFiles) {
    const std::string home = root() + "/home";
    const std::string plugins = home + "/.pcsxr/plugins/";
    std::filesystem::create_directories(plugins);
    const char* saved = std::getenv("HOME");
    const std::string savedHome = saved ? saved : "";
    setenv("HOME", home.c_str(), 1);
    _PCSXDATA r(settings());
    r.Gpu = "libDFXVideo.so";
    SaveProfile("Crash", r);
    const std::string side = ProfilePath(EmulatorKind::Pcsx, "Crash", ".gpu");
    WriteHostFile(plugins + "dfxvideo.cfg", "profile's own\n");
    ASSERT_TRUE(CapturePcsxrPluginSettings(side, "libDFXVideo.so", home + "/.pcsxr/"));
    WriteHostFile(plugins + "dfxvideo.cfg", "someone else's\n");

    InProcessRegistryEditor editor(registry());
    PluginsPageLogic page(registry(), editor, prompter);
    page.SetKind(EmulatorKind::Pcsx);
    page.SetInstallPath("/usr/games/");
    page.SetPcsxrPluginsDir(test::kPcsxrPluginDir);
    page.SetProfileName("Crash");
    page.Exchange(r, false);
    page.Open();
    const std::string restored = ReadHostFile(plugins + "dfxvideo.cfg");
    WriteHostFile(plugins + "dfxvideo.cfg", "changed in the dialog\n");
    page.Ok();
    const auto bytes = ReadWholeFile(side);
    if (saved) setenv("HOME", savedHome.c_str(), 1);
    else unsetenv("HOME");

    EXPECT_EQ(restored, "profile's own\n");
    ASSERT_TRUE(bytes);
    const auto copy = ParsePcsxrSideFile(std::string(bytes->begin(), bytes->end()));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->settingsFile, "dfxvideo.cfg");
    EXPECT_EQ(copy->contents, "changed in the dialog\n");
}

}  // namespace
}  // namespace dravolo
