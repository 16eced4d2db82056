// The launch end to end: profiles written through the real profile files,
// plugin settings through the real side files, the prefix's own registry, and
// the fake emulator started through the real process layer. What the emulator
// saw (command line, working directory) comes from its report; what it would
// read (registry, INI files, libraries) is read back right after it reported.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "common/platform/profile_ini.h"
#include "common/platform/winfs.h"
#include "frontend/launch/config_writers.h"
#include "frontend/launch/launch.h"
#include "frontend/launch/quick_configure.h"
#include "tests/launch/fake_windows.h"
#include "tests/launch/launch_fixture.h"

namespace dravolo {
namespace {

namespace fs = std::filesystem;
constexpr auto HKCU = RegRoot::CurrentUser;
constexpr auto HKLM = RegRoot::LocalMachine;

// A directory as the host compares it: Windows keeps the case a program was
// given ("c:\epsxe") but ignores it.
std::string HostDir(const std::string& path) {
#ifdef _WIN32
    return LowerAnsi(path);
#else
    return path;
#endif
}

struct Report {
    std::string cwd;
    std::vector<std::string> args;  // argv without the program
};

class EndToEnd : public test::LaunchFixture {
protected:
    EndToEnd() : test::LaunchFixture(true) {}

    void SetUp() override {
        test::LaunchFixture::SetUp();
        editor = std::make_unique<InProcessRegistryEditor>(registry());
    }
    void TearDown() override {
        editor.reset();
        test::LaunchFixture::TearDown();
    }

    std::string EmulatorDir(EmulatorKind kind) { return driveC() + "/" + LowerAnsi(KindInfo(kind).directory); }

    void InstallEmulator(EmulatorKind kind, std::string exe = "") {
        if (exe.empty()) exe = std::string(KindInfo(kind).defaultExe);
        const std::string target = EmulatorDir(kind) + "/" + exe;
        fs::copy_file(FAKE_EMULATOR_PATH, target, fs::copy_options::overwrite_existing);
    }

    void InstallPlugin(const std::string& built, const std::string& hostDir, const std::string& name,
                       const std::string& cfg = "") {
        fs::create_directories(hostDir);
        fs::copy_file(std::string(TEST_PLUGIN_DIR) + "/" + built, hostDir + "/" + name,
                      fs::copy_options::overwrite_existing);
        if (!cfg.empty()) WriteHostFile(hostDir + "/" + fs::path(name).stem().string() + ".cfg", cfg);
    }

    LaunchOutcome Launch(EmulatorKind kind, std::optional<std::string> name, bool nukeConsole = true) {
        LaunchRequest request{kind, std::move(name), nukeConsole};
        return LaunchSelectedProfile(request,
                                     LaunchServices{registry(), settings(), prompter, *editor, windows, poller});
    }

    QuickConfigureResult QuickConfigure(EmulatorKind kind, const std::string& name, PluginType type) {
        return QuickConfigurePlugin(QuickConfigureRequest{kind, name, type, 0, 0}, settings(), prompter, *editor);
    }

    // Waits for the fake emulator's report in the emulator's directory.
    Report WaitForReport(EmulatorKind kind) {
        const std::string path = EmulatorDir(kind) + "/fake_emulator_report.txt";
        for (int i = 0; i < 1000 && !fs::exists(path); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        Report report;
        std::ifstream in(path);
        std::string line;
        while (std::getline(in, line)) {
            if (line.starts_with("cwd=")) report.cwd = line.substr(4);
            if (line.starts_with("argv[") && !line.starts_with("argv[0]"))
                report.args.push_back(line.substr(line.find('=') + 1));
        }
        in.close();  // Windows refuses to delete a file that is still open
        fs::remove(path);
        return report;
    }

    // Saved plugin settings of one profile: the key as a plugin left it,
    // exported into the side file, then the key is gone again.
    void MakeSideFile(EmulatorKind kind, const std::string& profile, const std::string& slot,
                      const std::string& value) {
        const std::string key = "Software\\Vision Thing\\PSEmu Pro\\" + slot + "\\TestPlugin";
        ASSERT_TRUE(registry().SetString(HKCU, key, "Setting", value));
        ASSERT_TRUE(editor->Export(ProfilePath(kind, profile, "." + LowerAnsi(slot)),
                                   "HKEY_CURRENT_USER\\Software\\Vision Thing\\PSEmu Pro\\" + slot));
        ASSERT_TRUE(registry().DeleteTree(HKCU, "Software\\Vision Thing\\PSEmu Pro\\" + slot));
    }

    std::string PluginSetting(const std::string& slot) {
        return registry()
            .QueryString(HKCU, "Software\\Vision Thing\\PSEmu Pro\\" + slot + "\\TestPlugin", "Setting")
            .value_or("<none>");
    }

    std::unique_ptr<RegistryEditor> editor;
    test::FakeWindows windows;
    SleepingWindowPoller poller;
};

_EPSXEDATA EpsxeWithPlugins(const SettingsStore& settings) {
    _EPSXEDATA r(settings);
    r.VideoPlugin = "gpuTest.dll";
    r.SoundPlugin = "spuTest.dll";
    r.CdromPlugin = "cdrTest.dll";
    return r;
}

TEST_F(EndToEnd, EpsxeRestoresSideFilesWritesItsKeyStartsAndCentres) {
    InstallEmulator(EmulatorKind::Epsxe);
    SaveProfile("Crash", EpsxeWithPlugins(settings()));
    MakeSideFile(EmulatorKind::Epsxe, "Crash", "GPU", "crash gpu");
    MakeSideFile(EmulatorKind::Epsxe, "Crash", "SPU", "crash spu");
    MakeSideFile(EmulatorKind::Epsxe, "Crash", "CDR", "crash cdr");
    MakeSideFile(EmulatorKind::Epsxe, "Crash", "PAD", "crash pad");
    windows.windowClass = "EPSXGUI";

    const std::string before = GetCurrentDir();
    ASSERT_TRUE(Launch(EmulatorKind::Epsxe, "Crash"));
    const Report report = WaitForReport(EmulatorKind::Epsxe);
    EXPECT_EQ(HostDir(report.cwd), HostDir(fs::canonical(EmulatorDir(EmulatorKind::Epsxe)).string()));
    EXPECT_TRUE(report.args.empty());  // "c:\epsxe\epsxe.exe " has no arguments
    EXPECT_EQ(GetCurrentDir(), before);
    EXPECT_TRUE(prompter.messages.empty());

    for (const char* slot : {"GPU", "SPU", "CDR", "PAD"})
        EXPECT_EQ(PluginSetting(slot), LowerAnsi("crash " + std::string(slot)));
    EXPECT_EQ(String(HKCU, kEpsxeConfigKey, "VideoPlugin"), "gpuTest.dll");
    EXPECT_EQ(String(HKCU, kEpsxeConfigKey, "DVOEnableGui"), "1");
    EXPECT_EQ(String(HKCU, kEpsxeConfigKey, "SubchannelW2KCdromEnabled"), "1");  // Wine is NT
    EXPECT_EQ(ValueNames(HKCU, kEpsxeConfigKey).size(), 19u);
    // Console windows start hidden: the found window is moved and shown.
    EXPECT_EQ(windows.actions, (std::vector<std::string>{"move 192,144", "show"}));
}

TEST_F(EndToEnd, EpsxeWithoutGuiPassesNoguiAndSearchesNoWindow) {
    InstallEmulator(EmulatorKind::Epsxe);
    _EPSXEDATA r = EpsxeWithPlugins(settings());
    r.DVOEnableGui = 0;
    SaveProfile("Bare", r);
    r.DVOCommandLine = "-slowboot -loadbin c:\\games\\crash.bin";
    SaveProfile("Boot", r);
    windows.windowClass = "EPSXGUI";

    ASSERT_TRUE(Launch(EmulatorKind::Epsxe, "Bare"));
    EXPECT_EQ(WaitForReport(EmulatorKind::Epsxe).args, std::vector<std::string>{"-nogui"});
    ASSERT_TRUE(Launch(EmulatorKind::Epsxe, "Boot"));
    EXPECT_EQ(WaitForReport(EmulatorKind::Epsxe).args,
              (std::vector<std::string>{"-slowboot", "-loadbin", "c:\\games\\crash.bin", "-nogui"}));
    EXPECT_EQ(windows.looks, 0);
}

TEST_F(EndToEnd, ACustomExecutableStartsWithoutWindowSearch) {
    InstallEmulator(EmulatorKind::Epsxe, "ePSXe.exe");
    ASSERT_TRUE(settings().SetString("EpsxeExe", "ePSXe.exe"));
    SaveProfile("Crash", EpsxeWithPlugins(settings()));
    windows.windowClass = "EPSXGUI";
    ASSERT_TRUE(Launch(EmulatorKind::Epsxe, "Crash"));
    EXPECT_TRUE(WaitForReport(EmulatorKind::Epsxe).args.empty());
    EXPECT_EQ(windows.looks, 0);
}

TEST_F(EndToEnd, PcsxWritesItsKeyAndItsWindowIsCentred) {
    InstallEmulator(EmulatorKind::Pcsx);
    _PCSXDATA r(settings());
    r.Gpu = "gpuTest.dll";
    r.Spu = "spuTest.dll";
    r.Cdr = "cdrTest.dll";
    r.Country = "NTSC";
    SaveProfile("Ape", r);
    windows.windowClass = "P\xA9SX Main";
    ASSERT_TRUE(Launch(EmulatorKind::Pcsx, "Ape", false));
    const Report report = WaitForReport(EmulatorKind::Pcsx);
    EXPECT_EQ(HostDir(report.cwd), HostDir(fs::canonical(EmulatorDir(EmulatorKind::Pcsx)).string()));
    EXPECT_EQ(String(HKCU, kPcsxConfigKey, "Cdr"), "cdrTest.dll");
    EXPECT_EQ(Dword(HKCU, kPcsxConfigKey, "PsxType"), 0);
    EXPECT_EQ(Dword(HKCU, kPcsxConfigKey, "Xa"), 0);
    EXPECT_EQ(String(HKCU, kPcsxConfigKey, "PluginsDir"), "c:\\pcsx\\plugin\\");
    EXPECT_EQ(windows.actions, (std::vector<std::string>{"hide", "move 192,144", "show"}));
}

TEST_F(EndToEnd, AdripsxWritesMachineKeyAndFileAndIsNeverMoved) {
    InstallEmulator(EmulatorKind::Adripsx);
    _ADRIPSXDATA r(settings());
    r.EnableHLE = 0;
    SaveProfile("Tekken", r);
    windows.windowClass = "TMAdvance";
    ASSERT_TRUE(Launch(EmulatorKind::Adripsx, "Tekken", false));
    WaitForReport(EmulatorKind::Adripsx);
    EXPECT_EQ(Dword(HKLM, kAdripsxConfigKey, "NOSTATIC"), 1);
    EXPECT_EQ(String(HKLM, kAdripsxConfigKey, "CDRplugin"), "Plugins\\cdrMooby2.dll");
    const std::string ini = ReadHostFile(EmulatorDir(EmulatorKind::Adripsx) + "/AdriPSX.ini");
    EXPECT_TRUE(ini.starts_with("#PSEmuPro Plugins\r\nGPU= Plugins\\gpuPeopsSoft.dll\r\n"));
    EXPECT_TRUE(ini.ends_with("CDLETTER=  \r\nCPUTYPE= 0\r\nRTCIRQ= 1\r\nMULTITASK= 1\r\nNOHLE= 0\r\nNOSTATIC= 1"));
    EXPECT_EQ(windows.actions, (std::vector<std::string>{"hide", "show"}));
}

#ifndef _WIN32  // a damaged hive file: the prefix's registry
TEST_F(EndToEnd, AMachineHiveThatCannotBeWrittenKeepsTheUserImportsAndIsReported) {
    InstallEmulator(EmulatorKind::Adripsx);
    SaveProfile("Tekken", _ADRIPSXDATA(settings()));
    MakeSideFile(EmulatorKind::Adripsx, "Tekken", "GPU", "imported");
    WriteHostFile(prefix() + "/system.reg", "damaged\n");
    windows.windowClass = "TMAdvance";

    const LaunchOutcome outcome = Launch(EmulatorKind::Adripsx, "Tekken", false);
    EXPECT_TRUE(outcome.started);  // AdriPSX still finds its file
    EXPECT_FALSE(outcome.complete());
    WaitForReport(EmulatorKind::Adripsx);
    EXPECT_EQ(PluginSetting("GPU"), "imported");
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, std::string(kUnwrittenSettingsText) + prefix() + "/system.reg");
    EXPECT_EQ(prompter.messages[0].caption, kRegistryErrorCaption);
    EXPECT_EQ(prompter.messages[0].icon, PromptIcon::Stop);
    EXPECT_EQ(outcome.unwritten, std::vector<std::string>{prefix() + "/system.reg"});
    EXPECT_TRUE(ReadHostFile(EmulatorDir(EmulatorKind::Adripsx) + "/AdriPSX.ini").starts_with("#PSEmuPro Plugins\r\n"));
    EXPECT_EQ(ReadHostFile(prefix() + "/system.reg"), "damaged\n");  // refused, not replaced
}
#endif

TEST_F(EndToEnd, APsinexIniThatCannotBeReadIsLeftAloneAndReported) {
    InstallEmulator(EmulatorKind::Psinex);
    _PSINEXDATA r(settings());
    r.Graphics = r.Sound = r.CdRom = "x.dll";
    SaveProfile("Tomba", r);
    fs::create_directories(EmulatorDir(EmulatorKind::Psinex) + "/psinex pc emulator.ini");
    windows.windowClass = "\xA9 psinex - revision 5 beta";

    const LaunchOutcome outcome = Launch(EmulatorKind::Psinex, "Tomba");
    EXPECT_TRUE(outcome.started);
    EXPECT_FALSE(outcome.complete());
    WaitForReport(EmulatorKind::Psinex);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, std::string(kUnwrittenSettingsText) + "c:\\psinex\\psinex pc emulator.ini");
    EXPECT_EQ(prompter.messages[0].caption, kUnwrittenFileCaption);
    EXPECT_TRUE(fs::is_directory(EmulatorDir(EmulatorKind::Psinex) + "/psinex pc emulator.ini"));
}

TEST_F(EndToEnd, PsinexFindsItsExecutableWithBlanksAndWritesItsIni) {
    InstallEmulator(EmulatorKind::Psinex);
    _PSINEXDATA r(settings());
    r.Graphics = "gpuTest.dll";
    r.Sound = "spuTest.dll";
    r.CdRom = "cdrTest.dll";
    SaveProfile("Tomba", r);
    windows.windowClass = "\xA9 psinex - revision 5 beta";
    ASSERT_TRUE(Launch(EmulatorKind::Psinex, "Tomba"));
    const Report report = WaitForReport(EmulatorKind::Psinex);
    EXPECT_TRUE(report.args.empty());
    const std::string ini = "c:\\psinex\\psinex pc emulator.ini";
    EXPECT_EQ(GetPrivateProfileString("PLUGINS", "Cd-ROM", "", ini), "plugins\\cdrTest.dll");
    EXPECT_EQ(GetPrivateProfileString("GENERAL", "CPU Mode", "", ini), "True");
    EXPECT_EQ(windows.actions, (std::vector<std::string>{"move 192,144", "show"}));
}

TEST_F(EndToEnd, FpseGetsItsIniLibrariesAndCommandLine) {
    InstallEmulator(EmulatorKind::Fpse);
    const std::string fpse = EmulatorDir(EmulatorKind::Fpse);
    InstallPlugin("gpuTest.dll", fpse + "/plugin", "gpuTest.dll");
    InstallPlugin("gpuTest.dll", fpse + "/plugin", "GPUPsemu.dll");
    InstallPlugin("spuTest.dll", fpse + "/plugin", "SPUPsemu.dll");
    InstallPlugin("cdrTest.dll", fpse + "/plugin", "CDPsemu.dll");
    _FPSEDATA r(settings());
    r.GpuPlugin = "FgpuTest.dll";
    r.SpuPlugin = "spuPsemuPlugin.dll";
    r.CdrPlugin = "cdrPsemuPlugin.dll";
    r.CommandLine = "-cdrom d: -nosound";
    SaveProfile("Wipeout", r);
    WriteHostFile("Fpse/Wipeout.ini", "[SPU]\r\nPluginName=spuPsemuPlugin.dll\r\n");
    windows.windowClass = "FPSE";

    ASSERT_TRUE(Launch(EmulatorKind::Fpse, "Wipeout"));
    EXPECT_EQ(WaitForReport(EmulatorKind::Fpse).args, (std::vector<std::string>{"-cdrom", "d:", "-nosound"}));
    EXPECT_EQ(ReadHostFile(fpse + "/FPSE.INI"), "[SPU]\r\nPluginName=spuPsemuPlugin.dll\r\n");
    EXPECT_EQ(ReadHostFile(fpse + "/GPURend.dll"), ReadHostFile(fpse + "/plugin/gpuTest.dll"));
    EXPECT_EQ(ReadHostFile(fpse + "/SPURend.dll"), ReadHostFile(fpse + "/plugin/SPUPsemu.dll"));
    EXPECT_EQ(ReadHostFile(fpse + "/CDRend.dll"), ReadHostFile(fpse + "/plugin/CDPsemu.dll"));
    EXPECT_EQ(windows.looks, 0);  // FPSE's window is never searched for
}

TEST_F(EndToEnd, AMissingProfileFileStopsEachKindWithItsMessage) {
    for (const auto& info : kEmulatorKinds) InstallEmulator(info.kind);
    const std::string open = "Cannot Open File.";
    const std::string plugin(kNoPluginText);
    const std::vector<std::pair<EmulatorKind, std::vector<std::string>>> cases = {
        {EmulatorKind::Epsxe, {open, plugin}},
        {EmulatorKind::Psinex, {open, plugin}},
        {EmulatorKind::Pcsx, {open, plugin}},
        {EmulatorKind::Adripsx, {open, open, std::string(kRegistryErrorText)}},
        {EmulatorKind::Fpse, {open, std::string(kFpseErrorText)}},
    };
    for (const auto& [kind, texts] : cases) {
        prompter.messages.clear();
        EXPECT_FALSE(Launch(kind, "Nothing"));
        EXPECT_EQ(Texts(), texts) << KindInfo(kind).directory;
    }
    EXPECT_EQ(prompter.messages.back().caption, kFpseErrorCaption);
    EXPECT_FALSE(fs::exists(EmulatorDir(EmulatorKind::Epsxe) + "/fake_emulator_report.txt"));
}

TEST_F(EndToEnd, SideFilesStayImportedWhenThePluginCheckStops) {
    InstallEmulator(EmulatorKind::Epsxe);
    SaveProfile("NoPlugins", _EPSXEDATA(settings()));
    MakeSideFile(EmulatorKind::Epsxe, "NoPlugins", "GPU", "imported");
    EXPECT_FALSE(Launch(EmulatorKind::Epsxe, "NoPlugins"));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, kNoPluginText);
    EXPECT_EQ(prompter.messages[0].caption, kNoPluginCaption);
    EXPECT_EQ(prompter.messages[0].icon, PromptIcon::Information);
    EXPECT_EQ(PluginSetting("GPU"), "imported");
    EXPECT_FALSE(registry().KeyExists(HKCU, kEpsxeConfigKey));

    prompter.messages.clear();
    EXPECT_FALSE(Launch(EmulatorKind::Epsxe, std::nullopt));  // nothing selected
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(EndToEnd, StartFailuresAreReportedAndTheDirectoryRestored) {
    SaveProfile("Crash", EpsxeWithPlugins(settings()));
    const std::string before = GetCurrentDir();
    EXPECT_FALSE(Launch(EmulatorKind::Epsxe, "Crash"));  // no epsxe.exe installed
    EXPECT_EQ(Texts(), std::vector<std::string>{std::string(kStartErrorText)});
    EXPECT_EQ(prompter.messages[0].caption, kStartErrorCaption);
    EXPECT_EQ(prompter.messages[0].icon, PromptIcon::Stop);
    EXPECT_EQ(GetCurrentDir(), before);

    prompter.messages.clear();
    ASSERT_TRUE(settings().SetString("EpsxePath", "c:\\nowhere\\"));
    EXPECT_FALSE(Launch(EmulatorKind::Epsxe, "Crash"));
    EXPECT_EQ(Texts(), std::vector<std::string>{std::string(kNoEmulatorDirText)});
    EXPECT_EQ(GetCurrentDir(), before);
    // The configuration written before the directory check stays written.
    EXPECT_EQ(String(HKCU, kEpsxeConfigKey, "VideoPlugin"), "gpuTest.dll");
}

TEST_F(EndToEnd, AnOverlongCommandLineIsRefusedNotCut) {
    InstallEmulator(EmulatorKind::Epsxe);
    _EPSXEDATA r = EpsxeWithPlugins(settings());
    r.DVOCommandLine = std::string(kMaxCommandLineLength, 'x');
    SaveProfile("Long", r);
    const std::string before = GetCurrentDir();
    EXPECT_FALSE(Launch(EmulatorKind::Epsxe, "Long"));
    EXPECT_EQ(Texts(), std::vector<std::string>{std::string(kCommandTooLongText)});
    EXPECT_EQ(GetCurrentDir(), before);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(fs::exists(EmulatorDir(EmulatorKind::Epsxe) + "/fake_emulator_report.txt"));
}

TEST_F(EndToEnd, TwoProfilesKeepTheirOwnPluginSettings) {
    InstallEmulator(EmulatorKind::Epsxe);
    const std::string plugins = EmulatorDir(EmulatorKind::Epsxe) + "/plugins";
    InstallPlugin("gpuTest.dll", plugins, "gpuTest.dll", "setting=1024x768\n");
    SaveProfile("Crash", EpsxeWithPlugins(settings()));
    SaveProfile("Spyro", EpsxeWithPlugins(settings()));
    windows.windowClass = "EPSXGUI";

    // Quick configure without a side file yet: the plugin runs on the shared
    // key and the side file is created.
    EXPECT_EQ(QuickConfigure(EmulatorKind::Epsxe, "Crash", PluginType::Gpu), QuickConfigureResult::Configured);
    EXPECT_TRUE(HostExists("Epsxe/Crash.gpu"));
    WriteHostFile(plugins + "/gpuTest.cfg", "setting=320x240\n");
    EXPECT_EQ(QuickConfigure(EmulatorKind::Epsxe, "Spyro", PluginType::Gpu), QuickConfigureResult::Configured);
    EXPECT_EQ(ReadHostFile(plugins + "/gpuTest.log"),
              "GPUinit\nGPUconfigure\nGPUshutdown\nGPUinit\nGPUconfigure\nGPUshutdown\n");

    ASSERT_TRUE(Launch(EmulatorKind::Epsxe, "Crash"));
    WaitForReport(EmulatorKind::Epsxe);
    EXPECT_EQ(PluginSetting("GPU"), "1024x768");
    ASSERT_TRUE(Launch(EmulatorKind::Epsxe, "Spyro"));
    WaitForReport(EmulatorKind::Epsxe);
    EXPECT_EQ(PluginSetting("GPU"), "320x240");
}

TEST_F(EndToEnd, QuickConfigureLeavesTheSideFileWhenThePluginCannotRun) {
    const std::string plugins = EmulatorDir(EmulatorKind::Pcsx) + "/plugin";
    InstallPlugin("gpuNoConfig.dll", plugins, "gpuBare.dll");
    _PCSXDATA r(settings());
    r.Gpu = "gpuMissing.dll";
    r.Spu = "gpuBare.dll";
    SaveProfile("Ape", r);
    WriteHostFile("Pcsx/Ape.gpu", "previous");
    WriteHostFile("Pcsx/Ape.spu", "previous");
    EXPECT_EQ(QuickConfigure(EmulatorKind::Pcsx, "Ape", PluginType::Gpu), QuickConfigureResult::LibraryNotLoaded);
    EXPECT_EQ(QuickConfigure(EmulatorKind::Pcsx, "Ape", PluginType::Spu), QuickConfigureResult::NoConfigureEntry);
    EXPECT_EQ(ReadHostFile("Pcsx/Ape.gpu"), "previous");
    EXPECT_EQ(ReadHostFile("Pcsx/Ape.spu"), "previous");
    EXPECT_EQ(QuickConfigure(EmulatorKind::Pcsx, "Gone", PluginType::Gpu), QuickConfigureResult::RecordUnreadable);
    EXPECT_EQ(QuickConfigurePlugin(QuickConfigureRequest{EmulatorKind::Pcsx, std::nullopt, PluginType::Gpu, 0, 0},
                                   settings(), prompter, *editor),
              QuickConfigureResult::NoProfile);
}

TEST_F(EndToEnd, QuickConfigureOfAnFpseNativePluginUsesTheProfileIniAndStillExports) {
    const std::string fpse = EmulatorDir(EmulatorKind::Fpse);
    // A native plugin whose own name starts with "F": only the marker goes.
    InstallPlugin("gpuTest.dll", fpse + "/plugin", "FastGpu.dll", "setting=native 2x\n");
    InstallPlugin("cdrTest.dll", fpse + "/plugin/psemu", "cdrTest.dll", "setting=psemu cdr\n");
    _FPSEDATA r(settings());
    r.GpuPlugin = "FFastGpu.dll";
    r.CdrPlugin = "cdrTest.dll";
    SaveProfile("Wipeout", r);
    WriteHostFile("Fpse/Wipeout.ini", "[CPU]\r\nMode=1\r\n");
    ASSERT_TRUE(registry().SetString(HKCU, "Software\\Vision Thing\\PSEmu Pro\\GPU\\Other", "x", "shared"));

    EXPECT_EQ(QuickConfigure(EmulatorKind::Fpse, "Wipeout", PluginType::Gpu), QuickConfigureResult::Configured);
    EXPECT_EQ(GetPrivateProfileString("TestPlugin", "GPU", "", ".\\Fpse\\Wipeout.ini"), "native 2x");
    EXPECT_EQ(GetPrivateProfileString("CPU", "Mode", "", ".\\Fpse\\Wipeout.ini"), "1");
    EXPECT_TRUE(HostExists("Fpse/Wipeout.gpu"));  // the PSEmu Pro key is exported all the same

    EXPECT_EQ(QuickConfigure(EmulatorKind::Fpse, "Wipeout", PluginType::Cdr), QuickConfigureResult::Configured);
    EXPECT_EQ(PluginSetting("CDR"), "psemu cdr");
    ASSERT_TRUE(registry().DeleteTree(HKCU, "Software\\Vision Thing\\PSEmu Pro\\CDR"));
    ASSERT_TRUE(editor->Import(".\\Fpse\\Wipeout.cdr"));
    EXPECT_EQ(PluginSetting("CDR"), "psemu cdr");
}

}  // namespace
}  // namespace dravolo
