// Windows plugins from the Linux front end: 64-bit PE builds of the test
// plugin, installed in the Wine prefix, are discovered, tested, configured and
// shown through pluginhost64.exe under wine64 by the same plugin page, pad
// scan and configuration tool code that loads native plugins in process.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/base/text.h"
#include "cli/cli.h"
#include "common/platform/profile_ini.h"
#include "common/platform/regfile.h"
#include "common/platform/winfs.h"
#include "common/psemu/plugin_module.h"
#include "common/psemu/psemu_plugin.h"
#include "common/psemu/settings_file.h"
#include "frontend/options/pad_plugins.h"
#include "frontend/plugins/plugins_page_logic.h"
#include "tests/support/memory_registry.h"
#include "tests/support/recording_prompter.h"
#include "tests/wine/wine_peer.h"
#include "tool/core/plugin_page_logic.h"
#include "tool/core/report.h"

namespace dravolo::test {
namespace {

namespace fs = std::filesystem;

class PluginHostWine : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_UNLESS_WINE();
        if (std::string(WINE_PLUGINHOST64).empty()) GTEST_SKIP() << "WINE TESTS SKIPPED: no pluginhost64.exe";
        peer = &WinePeer::Get();
        savedDir = fs::current_path();
        // Every start of Wine through the runner leaves a line, so a test can
        // count the plugin host runs.
        runs = peer->scratch() + "/runner-runs.txt";
        fs::remove(runs);
        const std::string runner = peer->scratch() + "/counting-runner.sh";
        {
            std::ofstream script(runner);
            script << "#!/bin/sh\necho \"$@\" >> '" << runs << "'\nexec '" << peer->wine() << "' \"$@\"\n";
        }
        ASSERT_EQ(chmod(runner.c_str(), 0755), 0);
        savedRunner = std::getenv("DRAVOLO_RUNNER") ? std::getenv("DRAVOLO_RUNNER") : "";
        setenv("DRAVOLO_RUNNER", runner.c_str(), 1);
        setenv("DRAVOLO_PLUGINHOST64", WINE_PLUGINHOST64, 1);
    }

    void TearDown() override {
        if (!peer) return;
        fs::current_path(savedDir);  // the tool makes the emulator's folder current
        setenv("DRAVOLO_RUNNER", savedRunner.c_str(), 1);
        unsetenv("DRAVOLO_PLUGINHOST64");
        SetCurrentSettingsFile("");
        EXPECT_TRUE(peer->ServerDown());
    }

    // Copies the PE test plugin `built` to C:\<folder>\<name> with its .cfg.
    void Install(const std::string& built, const std::string& folder, const std::string& name,
                 const std::string& cfg = "") {
        const std::string dir = peer->prefix() + "/drive_c/" + folder + "/";
        fs::create_directories(dir);
        fs::copy_file(fs::path(WINE_PE_PLUGIN_DIR) / built, dir + name, fs::copy_options::overwrite_existing);
        const std::string stem = fs::path(name).stem().string();
        fs::remove(dir + stem + ".log");
        if (!cfg.empty()) std::ofstream(dir + stem + ".cfg", std::ios::binary) << cfg;
    }

    std::string Log(const std::string& folder, const std::string& stem) const {
        std::ifstream in(peer->prefix() + "/drive_c/" + folder + "/" + stem + ".log", std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    int HostRuns() const {
        std::ifstream in(runs);
        int count = 0;
        for (std::string line; std::getline(in, line);)
            if (line.find("pluginhost64.exe") != std::string::npos) ++count;
        return count;
    }

    WinePeer* peer = nullptr;
    std::string runs, savedRunner;
    fs::path savedDir;
    MemoryRegistry registry;
    InProcessRegistryEditor editor{registry};
    RecordingPrompter prompter;
};

std::vector<std::string> Names(const std::vector<PluginEntry>& list) {
    std::vector<std::string> names;
    for (const auto& e : list) names.push_back(e.name);
    return names;
}

TEST_F(PluginHostWine, PluginPageDiscoversTestsAndConfiguresWindowsPluginsInOneHostRun) {
    Install("gpuTest.dll", "pcsx/plugin", "gpuPe.dll", "name=PE Video\nversion=0x0105\n");
    Install("spuTest.dll", "pcsx/plugin", "spuPe.dll", "name=PE Sound\ntest=-1\n");
    Install("cdrTest.dll", "pcsx/plugin", "cdrPe.dll", "name=PE CD-ROM\nsetting=fast\n");
    // Not a plugin at all: a Windows program named like one.
    fs::copy_file(WINE_REGPROBE, peer->prefix() + "/drive_c/pcsx/plugin/gpuNot.dll",
                  fs::copy_options::overwrite_existing);

    PluginsPageLogic page(registry, editor, prompter);
    page.SetKind(EmulatorKind::Pcsx);
    page.SetInstallPath("c:\\pcsx\\");
    page.Open();
    ASSERT_EQ(Names(page.list(PluginType::Gpu)), std::vector<std::string>{"PE Video"});
    EXPECT_EQ(page.list(PluginType::Gpu)[0].version, 0x0105u);
    EXPECT_EQ(PluginVersionText(page.list(PluginType::Gpu)[0], EmulatorKind::Pcsx), "1.5");
    EXPECT_EQ(Names(page.list(PluginType::Spu)), std::vector<std::string>{"PE Sound"});
    EXPECT_EQ(Names(page.list(PluginType::Cdr)), std::vector<std::string>{"PE CD-ROM"});
    EXPECT_EQ(Log("pcsx/plugin", "gpuPe"), "PSEgetLibName\nPSEgetLibType\nPSEgetLibVersion\n");

    page.Click(PluginType::Gpu, 0);
    EXPECT_EQ(page.Test(), PluginTestOutcome::Passed);
    page.Click(PluginType::Spu, 0);
    EXPECT_EQ(page.Test(), PluginTestOutcome::Failed);  // the plugin reports -1
    ASSERT_EQ(prompter.messages.size(), 2u);

    // Configure runs init, configure, shutdown in the host; the plugin stores
    // its setting with RegSetValueExA, in the prefix's registry.
    page.Click(PluginType::Cdr, 0);
    page.Configure();
    EXPECT_EQ(Log("pcsx/plugin", "cdrPe"),
              "PSEgetLibName\nPSEgetLibType\nPSEgetLibVersion\nCDRinit\nCDRconfigure\nCDRshutdown\n");
    page.About();
    EXPECT_NE(Log("pcsx/plugin", "cdrPe").find("CDRabout"), std::string::npos);
    EXPECT_EQ(HostRuns(), 1) << "the scan and every later call share one host run";

    const auto stored = OpenSystemRegistry()->QueryValue(
        RegRoot::CurrentUser, "Software\\Vision Thing\\PSEmu Pro\\CDR\\TestPlugin", "Setting");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(RegDataAsText(stored->data), "fast");
}

TEST_F(PluginHostWine, FpsePluginsReadAndWriteTheProfileFileThroughTheHost) {
    Install("gpuTest.dll", "fpse/plugin", "gpuSoft.dll", "name=Soft PE\nsetting=800x600\nfpsetest=1\n");
    const std::string settings = "C:\\fpse\\profile.ini";
    WritePrivateProfileString("TestPlugin", "Long", std::string(2000, 'L'), settings);

    PluginsPageLogic page(registry, editor, prompter);
    page.SetKind(EmulatorKind::Fpse);
    page.SetInstallPath("c:\\fpse\\");
    page.Open();
    ASSERT_EQ(Names(page.list(PluginType::Gpu)), std::vector<std::string>{"Soft PE"});
    page.Click(PluginType::Gpu, 0);
    EXPECT_EQ(page.Test(), PluginTestOutcome::Passed);
    const auto info = page.About();
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->name, "Soft PE");
    EXPECT_EQ(info->author, "Dravolo tests");
    EXPECT_EQ(info->description, std::string(1024, 'd'));  // a full field without its zero

    // The plugin's callbacks run in the host and are answered here, on the
    // current settings file.
    SetCurrentSettingsFile(settings);
    const auto module = OpenPluginModule("C:\\fpse\\plugin\\gpuSoft.dll");
    ASSERT_NE(module, nullptr);
    EXPECT_TRUE(module->CallSettingsBlock("GPU_Configure", 0, 0));
    EXPECT_FALSE(module->CallSettingsBlock("GPU_NoSuchExport", 0, 0));
    EXPECT_EQ(GetPrivateProfileString("TestPlugin", "GPU", "", settings), "800x600");
    const std::string log = Log("fpse/plugin", "gpuSoft");
    EXPECT_NE(log.find("read=800x600\n"), std::string::npos) << log;
    EXPECT_NE(log.find("missing=\n"), std::string::npos) << log;
    EXPECT_NE(log.find("long=1023\n"), std::string::npos) << log;
}

TEST_F(PluginHostWine, PadScanAndConfigurationToolReachWindowsPlugins) {
    Install("padTest.dll", "epsxe/PLUGINS", "padPe.dll", "name=PE Pad\nversion=0x010200\n");
    Install("gpuTest.dll", "epsxe/PLUGINS", "gpuPe.dll", "name=PE Video\nversion=0x0107\n");

    const auto pads = FindPsemuPadPlugins("c:\\epsxe\\PLUGINS\\");
    ASSERT_EQ(pads.size(), 1u);
    EXPECT_EQ(pads[0].name, "PE Pad");
    EXPECT_EQ(pads[0].major, 1);
    EXPECT_EQ(pads[0].minor, 2);

    tool::PluginPageLogic tool(registry, prompter);
    ASSERT_TRUE(tool.Fill("C:\\epsxe", 0, 0));
    bool video = false;
    for (std::size_t i = 0; i < tool.rows().size(); ++i) {
        if (tool.rows()[i].dll != "gpuPe.dll") continue;
        video = true;
        EXPECT_EQ(tool.rows()[i].title, "PE Video 1.7");
        tool.Test(static_cast<int>(i));
        ASSERT_FALSE(prompter.messages.empty());
        EXPECT_EQ(prompter.messages.back().text, "This driver reports that it should work correctly!");
    }
    EXPECT_TRUE(video);
    PluginLoader loader;
    EXPECT_EQ(tool::PluginFileTitle("C:\\epsxe\\PLUGINS\\gpuPe.dll", loader), "PE Video 1.7");
    EXPECT_EQ(tool::PluginFileTitle("C:\\epsxe\\PLUGINS\\missing.dll", loader), "");
}

// Quick configure with a wineserver up: the plugin's dialog writes through
// Wine, and the profile's side file is exported from what it wrote.
TEST_F(PluginHostWine, QuickConfigureKeepsWhatAWindowsPluginStored) {
    const std::string work = peer->scratch() + "/quick";
    fs::create_directories(work + "/Pcsx");
    fs::current_path(work);
    Install("spuTest.dll", "pcsx/plugin", "spuQuick.dll", "setting=reverb 3\n");
    std::ostringstream out, err;
    cli::Context context{out, err, prompter};
    ASSERT_EQ(cli::Run({"profiles", "new", "Pcsx", "Quick"}, context), 0) << err.str();
    ASSERT_EQ(cli::Run({"profiles", "set", "Pcsx", "Quick", "Spu=spuQuick.dll"}, context), 0) << err.str();
    ASSERT_TRUE(peer->ServerUp());
    ASSERT_EQ(cli::Run({"quick-configure", "Pcsx", "Quick", "spu"}, context), 0) << err.str();
    EXPECT_EQ(Log("pcsx/plugin", "spuQuick"), "SPUinit\nSPUconfigure\nSPUshutdown\n");

    MemoryRegistry side;
    ASSERT_EQ(ImportRegistryFile(side, ToWindowsPath(work + "/Pcsx/Quick.spu")), RegImportResult::Ok);
    EXPECT_EQ(side.QueryString(RegRoot::CurrentUser, "Software\\Vision Thing\\PSEmu Pro\\SPU\\TestPlugin", "Setting"),
              "reverb 3");
}

// A plugin that takes its host down with it fails the calls after it, and
// the next module opens in a fresh host.
TEST_F(PluginHostWine, AHostThatDiesIsReplaced) {
    Install("gpuTest.dll", "crash/plugin", "gpuCrash.dll", "name=Crash\n");
    PluginLoader loader;
    auto module = loader.Open("C:\\crash\\plugin\\gpuCrash.dll");
    ASSERT_NE(module, nullptr);
    EXPECT_TRUE(module->Has("GPUtest"));
    EXPECT_FALSE(module->Has("GPUnothing"));
    // ExitProcess as a long f(void): the host ends in the middle of a call.
    EXPECT_FALSE(module->CallLong("TestPluginExit").has_value());
    EXPECT_FALSE(module->CallLong("GPUtest").has_value());
    auto again = loader.Open("C:\\crash\\plugin\\gpuCrash.dll");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->CallLong("GPUtest"), 0);
    EXPECT_EQ(HostRuns(), 2);
}

}  // namespace
}  // namespace dravolo::test
