// The Windows build's way to plugins of the other bitness: the plugin host
// started with pipes by CreateProcess. A 64-bit build has no 32-bit plugins
// to try here (Debian's wine64 runs 64-bit programs only), so the test sends
// its own 64-bit test plugin through the 64-bit host instead.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// Ours, not the system's macros.
#undef GetPrivateProfileString
#undef WritePrivateProfileString
#endif

#include "common/platform/profile_ini.h"
#include "common/psemu/fpse_plugin.h"
#include "common/psemu/plugin_module.h"
#include "common/psemu/psemu_plugin.h"
#include "common/psemu/settings_file.h"
#include "tests/support/prefix_fixture.h"

namespace dravolo {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
// The build hands us a host path; under Wine its root is drive Z:.
std::string WindowsPath(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    return path.size() > 1 && path[0] == '\\' ? "Z:" + path : path;
}

class PluginHostWindows : public test::PrefixFixture {
protected:
    void SetUp() override {
        test::PrefixFixture::SetUp();
        if (IsSkipped()) return;
        if (std::string(TEST_PLUGINHOST64).empty()) GTEST_SKIP() << "no pluginhost64.exe in this build";
        _putenv_s("DRAVOLO_PLUGINHOST64", WindowsPath(TEST_PLUGINHOST64).c_str());
        _putenv_s("DRAVOLO_PLUGINHOST_ALWAYS", "1");
    }
    void TearDown() override {
        _putenv_s("DRAVOLO_PLUGINHOST_ALWAYS", "");
        _putenv_s("DRAVOLO_PLUGINHOST64", "");
        SetCurrentSettingsFile("");
        test::PrefixFixture::TearDown();
    }
};

TEST_F(PluginHostWindows, PluginsOfTheOtherBitnessRunInTheHost) {
    fs::copy_file(std::string(TEST_PLUGIN_DIR) + "/gpuTest.dll", workdir() + "/gpuHosted.dll");
    WriteHostFile("gpuHosted.cfg", "name=Hosted\nsetting=1024x768\n");
    PluginLoader loader;
    auto module = loader.Open(".\\gpuHosted.dll");
    ASSERT_NE(module, nullptr);
    // Loaded by the host, not by us.
    EXPECT_EQ(GetModuleHandleA("gpuHosted.dll"), nullptr);

    const auto id = IdentifyPsemuPlugin(*module);
    ASSERT_TRUE(id.has_value());
    EXPECT_EQ(id->name, "Hosted");
    EXPECT_EQ(id->type, kPsemuTypeGpu);
    EXPECT_EQ(RunPsemuTest(*module, PluginType::Gpu), 0);

    SetCurrentSettingsFile(".\\gpuHosted.ini");
    EXPECT_TRUE(FpseConfigure(*module, PluginType::Gpu, 0, 0));
    EXPECT_EQ(GetPrivateProfileString("TestPlugin", "GPU", "", ".\\gpuHosted.ini"), "1024x768");
    const auto info = FpseAbout(*module, PluginType::Gpu);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->name, "Hosted");
    EXPECT_EQ(ReadHostFile("gpuHosted.log").find("read=1024x768\n") != std::string::npos, true)
        << ReadHostFile("gpuHosted.log");

    // Headers of a 64-bit DLL and nothing behind them: the host cannot load
    // it, says so and stays.
    std::string junk(0x200, '\0');
    junk[0] = 'M';
    junk[1] = 'Z';
    junk[0x3C] = 0x40;
    junk.replace(0x40, 6, std::string("PE\0\0\x64\x86", 6));
    WriteHostFile("gpuJunk.dll", junk);
    EXPECT_EQ(loader.Open(".\\gpuJunk.dll"), nullptr);
    EXPECT_TRUE(module->Has("GPUinit"));
}
#endif

}  // namespace
}  // namespace dravolo
