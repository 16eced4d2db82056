// Plugin calls through real shared objects: identification order, the
// configure sequence, the self test, and the FPSE-native blocks with the
// callbacks on the current settings file.

#include <gtest/gtest.h>

#include <filesystem>

#include "common/platform/profile_ini.h"
#include "common/platform/registry.h"
#include "common/psemu/fpse_plugin.h"
#include "common/psemu/psemu_plugin.h"
#include "common/psemu/settings_file.h"
#include "tests/support/prefix_fixture.h"

namespace dravolo {
namespace {

namespace fs = std::filesystem;

class PluginCalls : public test::PrefixFixture {
protected:
    // Copies a built test plugin into the working directory under `name`.
    std::string Install(const std::string& built, const std::string& name, const std::string& cfg = "") {
        fs::copy_file(std::string(TEST_PLUGIN_DIR) + "/" + built, workdir() + "/" + name);
        if (!cfg.empty()) WriteHostFile(fs::path(name).replace_extension(".cfg").string(), cfg);
        return ".\\" + name;
    }
    std::string Log(const std::string& name) { return ReadHostFile(fs::path(name).replace_extension(".log").string()); }
};

TEST_F(PluginCalls, IdentificationCallsNameTypeVersionInOrder) {
    const auto path = Install("gpuTest.dll", "gpuPete.dll", "name=Pete's Soft\nversion=0x010502\n");
    const auto id = IdentifyPsemuPluginFile(path);
    ASSERT_TRUE(id);
    EXPECT_EQ(id->name, "Pete's Soft");
    EXPECT_EQ(id->type, kPsemuTypeGpu);
    EXPECT_EQ(VersionMajor(id->version), 5);
    EXPECT_EQ(VersionMinor(id->version), 2);
    EXPECT_EQ(PadVersionMajor(id->version), 1);
    EXPECT_EQ(PadVersionMinor(id->version), 5);
    EXPECT_EQ(Log("gpuPete.dll"), "PSEgetLibName\nPSEgetLibType\nPSEgetLibVersion\n");

    // A library without the three exports is not a plugin.
    fs::copy_file(std::string(TEST_PLUGIN_DIR) + "/gpuPlatTest.dll", workdir() + "/gpuOther.dll");
    EXPECT_FALSE(IdentifyPsemuPluginFile(".\\gpuOther.dll"));
    EXPECT_FALSE(IdentifyPsemuPluginFile(".\\missing.dll"));
}

TEST_F(PluginCalls, ConfigureRunsInitConfigureShutdownAndStoresSettings) {
    const auto path = Install("spuTest.dll", "spuTest.dll", "setting=reverb on\n");
    auto library = OpenPluginModule(path);
    ASSERT_TRUE(library);
    EXPECT_EQ(RunPsemuConfigure(*library, PluginType::Spu), PsemuConfigureResult::Configured);
    EXPECT_EQ(Log("spuTest.dll"), "SPUinit\nSPUconfigure\nSPUshutdown\n");
    auto registry = OpenSystemRegistry();
    EXPECT_EQ(
        registry->QueryString(RegRoot::CurrentUser, PsemuSettingsKey(PluginType::Spu) + "\\TestPlugin", "Setting"),
        "reverb on");

    const auto bare = Install("gpuNoConfig.dll", "gpuBare.dll");
    auto bareLibrary = OpenPluginModule(bare);
    ASSERT_TRUE(bareLibrary);
    EXPECT_EQ(RunPsemuConfigure(*bareLibrary, PluginType::Gpu), PsemuConfigureResult::NoConfigureEntry);
    EXPECT_EQ(Log("gpuBare.dll"), "");  // not even init without a configure entry
}

TEST_F(PluginCalls, TestResultsAndAbout) {
    for (const auto& [result, passed] :
         std::vector<std::pair<std::string, bool>>{{"0", true}, {"0xF0F0", true}, {"1", false}, {"-1", false}}) {
        const std::string name = "cdr" + std::to_string(std::hash<std::string>{}(result) % 100000) + ".dll";
        auto library = OpenPluginModule(Install("cdrTest.dll", name, "test=" + result + "\n"));
        ASSERT_TRUE(library);
        const auto got = RunPsemuTest(*library, PluginType::Cdr);
        ASSERT_TRUE(got);
        EXPECT_EQ(PsemuTestPassed(*got), passed) << result;
        EXPECT_TRUE(ShowPsemuAbout(*library, PluginType::Cdr));
    }
}

TEST_F(PluginCalls, FpseAboutFillsTheZeroedBlock) {
    auto library = OpenPluginModule(Install("gpuTest.dll", "gpuNative.dll", "name=Native GPU\nfpsetest=1\n"));
    ASSERT_TRUE(library);
    const auto info = FpseAbout(*library, PluginType::Cdr);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->type, kFpseTypeCdr);
    EXPECT_EQ(info->majorVersion, 2);
    EXPECT_EQ(info->minorVersion, 1);
    EXPECT_TRUE(info->TestPassed());
    EXPECT_EQ(info->author, "Dravolo tests");
    EXPECT_EQ(info->name, "Native GPU");
    EXPECT_EQ(info->description, std::string(kFpseDescriptionSize, 'd'));  // cut at its field's end
}

TEST_F(PluginCalls, FpseConfigureWorksOnTheCurrentSettingsFile) {
    auto library = OpenPluginModule(Install("gpuTest.dll", "gpuNative.dll", "setting=640x480\n"));
    ASSERT_TRUE(library);
    WriteHostFile("Fpse/Game.INI", "[TestPlugin]\r\nLong=" + std::string(2000, 'z') + "\r\n");
    SetCurrentSettingsFile(".\\Fpse\\Game.INI");
    EXPECT_TRUE(FpseConfigure(*library, PluginType::Gpu, 0x1234, 0x5678));
    EXPECT_EQ(GetPrivateProfileString("TestPlugin", "GPU", "", ".\\Fpse\\Game.INI"), "640x480");
    EXPECT_EQ(Log("gpuNative.dll"), "GPU_Configure\nread=640x480\nmissing=\nlong=1023\n");

    const FpseSettingsBlock block = MakeFpseSettingsBlock(0x1234, 0x5678);
    for (std::size_t i = 0; i < block.size(); ++i) {
        if (i == kFpseReadCallbackWord || i == kFpseWriteCallbackWord) EXPECT_NE(block[i], 0u);
        else if (i == kFpseWindowWord) EXPECT_EQ(block[i], 0x1234u);
        else if (i == kFpseInstanceWord) EXPECT_EQ(block[i], 0x5678u);
        else EXPECT_EQ(block[i], 0u) << i;
    }
    auto bare = OpenPluginModule(Install("gpuNoConfig.dll", "gpuBare.dll"));
    EXPECT_FALSE(FpseConfigure(*bare, PluginType::Gpu, 0, 0));
    SetCurrentSettingsFile("");
}

}  // namespace
}  // namespace dravolo
