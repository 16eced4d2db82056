// Plugin discovery and the plugin page's rules, through the real test plugins
// installed in a private prefix under real-looking names.

#include <gtest/gtest.h>

#include <filesystem>

#include "common/platform/profile_ini.h"
#include "frontend/core/settings_store.h"
#include "frontend/plugins/plugins_page_logic.h"
#include "tests/support/memory_registry.h"
#include "tests/support/prefix_fixture.h"
#include "tests/support/recording_prompter.h"

namespace fs = std::filesystem;

namespace dravolo {
namespace {

class PluginsPageTest : public test::PrefixFixture {
protected:
    void Install(const std::string& built, const std::string& folder, const std::string& name,
                 const std::string& cfg = "") {
        const std::string dir = driveC() + "/" + folder + "/";
        fs::create_directories(dir);
        fs::copy_file(fs::path(TEST_PLUGIN_DIR) / built, dir + name, fs::copy_options::overwrite_existing);
        if (!cfg.empty()) WriteHostFile(dir + fs::path(name).stem().string() + ".cfg", cfg);
    }
    std::string Log(const std::string& folder, const std::string& stem) {
        return ReadHostFile(driveC() + "/" + folder + "/" + stem + ".log");
    }
    PluginsPageLogic Page(EmulatorKind kind, const std::string& installPath, const std::string& profile = "") {
        PluginsPageLogic page(registry, editor, prompter);
        page.SetKind(kind);
        page.SetInstallPath(installPath);
        page.SetProfileName(profile);
        return page;
    }
    static std::vector<std::string> Names(const std::vector<PluginEntry>& list) {
        std::vector<std::string> names;
        for (const auto& e : list) names.push_back(e.name);
        return names;
    }

    test::MemoryRegistry registry;
    InProcessRegistryEditor editor{registry};
    test::RecordingPrompter prompter;
};

TEST_F(PluginsPageTest, EpsxeListsItsInternalPluginsFirst) {
    registry.SetString(RegRoot::CurrentUser, "Software\\epsxe\\config", "Version", "400 beta");
    Install("cdrTest.dll", "epsxe/plugins", "cdrMooby.dll", "name=Mooby\n");
    // Named like a GPU plugin, but it says it is a sound plugin.
    Install("gpuTest.dll", "epsxe/plugins", "gpuOdd.dll", "type=4\n");
    auto page = Page(EmulatorKind::Epsxe, "c:\\epsxe\\");
    page.Open();
    EXPECT_TRUE(page.list(PluginType::Gpu).empty());
    ASSERT_EQ(Names(page.list(PluginType::Spu)), std::vector<std::string>{"Internal SPU Plugin"});
    EXPECT_EQ(page.list(PluginType::Spu)[0].fileName, "SPUCORE");
    EXPECT_EQ(PluginVersionText(page.list(PluginType::Spu)[0], EmulatorKind::Epsxe), "0.1");
    EXPECT_EQ(Names(page.list(PluginType::Cdr)),
              (std::vector<std::string>{"Internal Win9X CDR Plugin", "Internal Win2K CDR Plugin", "Mooby"}));
    EXPECT_EQ(page.list(PluginType::Cdr)[1].fileName, "W2KCDRCORE");

    // No readable version: 0.
    registry.SetDword(RegRoot::CurrentUser, "Software\\epsxe\\config", "Version", 400);
    EXPECT_EQ(EpsxeInternalVersion(registry), 0u);
    registry.SetString(RegRoot::CurrentUser, "Software\\epsxe\\config", "Version", std::string(300, '7'));
    EXPECT_EQ(EpsxeInternalVersion(registry), 0u);
}

TEST_F(PluginsPageTest, FpseOwnPluginsCarryTheMarkerAndAreWrittenToTheSettingsFile) {
    Install("gpuTest.dll", "fpse/plugin", "gpuSoft.dll", "name=Soft GPU\n");
    Install("gpuTest.dll", "fpse/plugin", "GPUPSEMU.DLL");  // the bridge is no plugin of its own
    Install("spuTest.dll", "fpse/plugin/psemu", "spuDSound.dll", "name=DSound\n");
    auto page = Page(EmulatorKind::Fpse, "c:\\fpse\\", "Crash");
    page.SetCurrentFile(PluginType::Spu, "spuDSound.dll");
    page.Open();
    ASSERT_EQ(Names(page.list(PluginType::Gpu)), std::vector<std::string>{"Soft GPU"});
    const PluginEntry& gpu = page.list(PluginType::Gpu)[0];
    EXPECT_EQ(gpu.fileName, "FgpuSoft.dll");
    EXPECT_EQ(PluginShownFileName(gpu, EmulatorKind::Fpse), "gpuSoft.dll");
    EXPECT_EQ(PluginVersionText(gpu, EmulatorKind::Fpse), "2.1 - FPSE");
    EXPECT_EQ(page.chosenRow(PluginType::Spu), 0);

    registry.SetString(RegRoot::CurrentUser, "Software\\Vision Thing\\PSEmu Pro\\GPU\\Soft", "Mode", "1");
    page.Click(PluginType::Gpu, 0);
    page.Ok();
    EXPECT_EQ(page.currentFile(PluginType::Gpu), "FgpuSoft.dll");
    const std::string ini = ".\\Fpse\\Crash.ini";
    EXPECT_EQ(GetPrivateProfileString("FPSE", "LastGPU", "", ini), "gpuSoft.dll");
    EXPECT_EQ(GetPrivateProfileString("FPSE", "LastSPU", "", ini), "SPUPSEMU.DLL");
    EXPECT_EQ(GetPrivateProfileString("SPUPSEMU", "PluginName", "", ini), "spuDSound.dll");
    EXPECT_EQ(GetPrivateProfileString("FPSE", "LastPAR", "", ini), "PARNULL.DLL");
    // The side files are written for the profile.
    EXPECT_TRUE(HostExists("Fpse/Crash.gpu"));
}

TEST_F(PluginsPageTest, ClicksChooseRowsAndOkKeepsWhatIsNotChosen) {
    Install("gpuTest.dll", "pcsx/plugin", "gpuA.dll");
    Install("gpuTest.dll", "pcsx/plugin", "gpuB.dll");
    auto page = Page(EmulatorKind::Pcsx, "c:\\pcsx\\");
    // A plugin that is no longer installed leaves every row unchosen.
    page.SetCurrentFile(PluginType::Gpu, "gpuGone.dll");
    page.Open();
    EXPECT_EQ(page.chosenRow(PluginType::Gpu), -1);
    EXPECT_EQ(page.activeRow(), -1);
    page.Ok();
    EXPECT_EQ(page.currentFile(PluginType::Gpu), "gpuGone.dll");

    // A click on empty space unchooses: the buttons do nothing, OK keeps.
    page.Click(PluginType::Gpu, 1);
    page.Click(PluginType::Gpu, -1);
    page.Configure();
    EXPECT_EQ(page.Test(), PluginTestOutcome::NotRun);
    EXPECT_EQ(Log("pcsx/plugin", "gpuB").find("GPUconfigure"), std::string::npos);
    page.Ok();
    EXPECT_EQ(page.currentFile(PluginType::Gpu), "gpuGone.dll");

    page.DoubleClick(PluginType::Gpu, 1);
    EXPECT_NE(Log("pcsx/plugin", "gpuB").find("GPUinit\nGPUconfigure\nGPUshutdown"), std::string::npos);
    EXPECT_TRUE(page.RightClick(PluginType::Gpu, 0));
    EXPECT_FALSE(page.RightClick(PluginType::Gpu, -1));
    page.Ok();
    EXPECT_EQ(page.currentFile(PluginType::Gpu), "gpuA.dll");
}

// Every call runs in the plugin host, in the plugin's own folder: a plugin
// that crashes in its dialog takes only the host down, the user is told, and
// the page goes on with a new host.
TEST_F(PluginsPageTest, APluginThatCrashesIsReportedAndThePageGoesOn) {
#ifdef _WIN32
    GTEST_SKIP() << "the Windows build loads plugins of its own bitness into its own process";
#endif
    Install("gpuTest.dll", "pcsx/plugin", "gpuCrash.dll", "name=Crash\nconfigure=crash\n");
    Install("gpuTest.dll", "pcsx/plugin", "gpuFine.dll", "name=Fine\n");
    auto page = Page(EmulatorKind::Pcsx, "c:\\pcsx\\");
    page.Open();
    const auto& gpus = page.list(PluginType::Gpu);
    ASSERT_EQ(gpus.size(), 2u);
    const int crash = gpus[0].name == "Crash" ? 0 : 1;
    page.Click(PluginType::Gpu, crash);
    page.Configure();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, kPluginLostText);
    EXPECT_EQ(prompter.messages[0].caption, kPluginLostCaption);
    EXPECT_EQ(prompter.messages[0].icon, PromptIcon::Stop);

    prompter.messages.clear();
    page.Click(PluginType::Gpu, 1 - crash);
    EXPECT_EQ(page.Test(), PluginTestOutcome::Passed);
    page.Configure();
    EXPECT_NE(Log("pcsx/plugin", "gpuFine").find("GPUinit\nGPUconfigure\nGPUshutdown"), std::string::npos);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, kTestPassedText);
}

TEST_F(PluginsPageTest, TestResultsFollowEachInterfacesRule) {
    Install("gpuTest.dll", "fpse/plugin/psemu", "gpuPsemu.dll", "test=1\n");
    Install("gpuTest.dll", "fpse/plugin", "gpuNative.dll", "fpsetest=1\n");
    Install("spuTest.dll", "fpse/plugin/psemu", "spuF0.dll", "test=0xF0F0\n");
    auto page = Page(EmulatorKind::Fpse, "c:\\fpse\\");
    page.Open();
    ASSERT_EQ(page.list(PluginType::Gpu).size(), 2u);
    ASSERT_EQ(page.list(PluginType::Gpu)[0].fileName, "FgpuNative.dll");

    page.Click(PluginType::Gpu, 0);
    EXPECT_EQ(page.Test(), PluginTestOutcome::Passed);
    page.Click(PluginType::Gpu, 1);
    EXPECT_EQ(page.Test(), PluginTestOutcome::Failed);
    page.Click(PluginType::Spu, 0);
    EXPECT_EQ(page.Test(), PluginTestOutcome::Passed);
    ASSERT_EQ(prompter.messages.size(), 3u);
    EXPECT_EQ(prompter.messages[0].text, "Plugin Test Passed.");
    EXPECT_EQ(prompter.messages[0].icon, PromptIcon::Information);
    EXPECT_EQ(prompter.messages[1].text, "Plugin Test Failed!");
    EXPECT_EQ(prompter.messages[1].caption, "Test Result");
    EXPECT_EQ(prompter.messages[1].icon, PromptIcon::Stop);

    page.Click(PluginType::Gpu, 0);
    const auto info = page.About();
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->author, "Dravolo tests");
    page.Click(PluginType::Gpu, 1);
    EXPECT_FALSE(page.About().has_value());
    EXPECT_NE(Log("fpse/plugin/psemu", "gpuPsemu").find("GPUabout"), std::string::npos);
}

TEST_F(PluginsPageTest, RowsBeyondHundredCanBeChosenButNotUsed) {
    fs::create_directories(driveC() + "/pcsx/plugin");
    Install("gpuTest.dll", "pcsx/plugin", "gpu000.dll");
    for (int i = 1; i <= 101; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "gpu%03d.dll", i);
#ifdef _WIN32
        fs::copy_file(driveC() + "/pcsx/plugin/gpu000.dll", driveC() + "/pcsx/plugin/" + name);
#else
        fs::create_symlink("gpu000.dll", driveC() + "/pcsx/plugin/" + name);
#endif
    }
    auto page = Page(EmulatorKind::Pcsx, "c:\\pcsx\\");
    page.Open();
    ASSERT_EQ(page.list(PluginType::Gpu).size(), 102u);
    // The copies share one library file, so whichever name the loader keeps
    // for it carries the log: count the calls over all logs.
    auto calls = [&](const std::string& entry) {
        std::size_t count = 0;
        for (const auto& file : fs::directory_iterator(driveC() + "/pcsx/plugin"))
            if (file.path().extension() == ".log") {
                const std::string log = ReadHostFile(file.path().string());
                for (auto at = log.find(entry); at != std::string::npos; at = log.find(entry, at + 1)) ++count;
            }
        return count;
    };
    page.Click(PluginType::Gpu, 101);
    page.Configure();
    EXPECT_EQ(page.Test(), PluginTestOutcome::NotRun);
    EXPECT_EQ(calls("GPUconfigure"), 0u);
    EXPECT_EQ(calls("GPUtest"), 0u);
    page.Ok();
    EXPECT_EQ(page.currentFile(PluginType::Gpu), "gpu101.dll");
    page.Click(PluginType::Gpu, 100);
    page.Configure();
    EXPECT_EQ(calls("GPUconfigure"), 1u);
}

TEST_F(PluginsPageTest, RecordExchangeUsesTheKindsFields) {
    test::MemoryRegistry settingsRegistry;
    SettingsStore settings(settingsRegistry);
    _ADRIPSXDATA adri(settings);
    auto page = Page(EmulatorKind::Adripsx, "c:\\adripsx\\");
    page.Exchange(adri, false);
    EXPECT_EQ(page.currentFile(PluginType::Gpu), "gpuPeopsSoft.dll");
    page.SetCurrentFile(PluginType::Cdr, "cdrNew.dll");
    page.Exchange(adri, true);
    EXPECT_EQ(adri.CDRplugin, "cdrNew.dll");
    _EPSXEDATA epsxe(settings);
    page.Exchange(epsxe, true);
    EXPECT_EQ(epsxe.CdromPlugin, "cdrNew.dll");
}

}  // namespace
}  // namespace dravolo
