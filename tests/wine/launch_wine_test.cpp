// End to end under wine64: dravolo-cli launch writes a profile's configuration
// and starts a Windows stand-in emulator (the PE probe, installed under the
// emulator's name in C:\<emulator>) through Wine; the stand-in reads its
// configuration with the registry API and reports it.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "cli/cli.h"
#include "common/base/text.h"
#include "common/platform/posix/hive_registry.h"
#include "tests/support/recording_prompter.h"
#include "tests/wine/wine_peer.h"

namespace dravolo::test {
namespace {

struct Report {
    std::string commandLine;
    std::string currentDir;
    std::string startup;                          // "FLAGS SHOW X Y" of GetStartupInfoA
    std::optional<std::vector<RegValue>> values;  // of the one key asked for
};

std::string UnhexText(const std::string& hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out += static_cast<char>(std::stoul(hex.substr(i, 2), nullptr, 16));
    return out;
}

std::optional<Report> WaitForReport(const std::string& hostPath) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!std::filesystem::exists(hostPath)) {
        if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::ifstream in(hostPath, std::ios::binary);
    Report r;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.starts_with("cmdline ")) r.commandLine = UnhexText(line.substr(8));
        else if (line.starts_with("cwd ")) r.currentDir = UnhexText(line.substr(4));
        else if (line.starts_with("startup ")) r.startup = line.substr(8);
        else if (line.starts_with("key ")) r.values.emplace();
        else if (line == "missing") r.values.reset();
        else if (line.starts_with("v ") && r.values) {
            std::istringstream fields(line.substr(2));
            std::string name, type, data;
            fields >> name >> type >> data;
            const std::string bytes = data == "-" ? std::string() : UnhexText(data);
            r.values->push_back({name == "-" ? std::string() : UnhexText(name),
                                 static_cast<std::uint32_t>(std::stoul(type)), Bytes(bytes.begin(), bytes.end())});
        }
    }
    return r;
}

class LaunchWine : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_UNLESS_WINE();
        peer = &WinePeer::Get();
        work = peer->scratch() + "/work";
        for (const char* kind : {"Epsxe", "Fpse", "Psinex", "Adripsx", "Pcsx"})
            std::filesystem::create_directories(work + "/" + kind);
        saved = std::filesystem::current_path();
        std::filesystem::current_path(work);
    }
    void TearDown() override {
        if (!peer) return;
        std::filesystem::current_path(saved);
        unsetenv("PROBE_REPORT");
        unsetenv("PROBE_KEYS");
        unsetenv("DRAVOLO_WINHELPER");
        EXPECT_TRUE(peer->ServerDown());
    }

    int Cli(std::vector<std::string> args) {
        std::ostringstream out, err;
        cli::Context context{out, err, prompter};
        const int rc = cli::Run(args, context);
        EXPECT_TRUE(prompter.messages.empty())
            << prompter.messages.front().caption << ": " << prompter.messages.front().text;
        lastErr = err.str();
        return rc;
    }

    // Installs the stand-in as C:\<folder>\<exe>, launches the profile and
    // returns the stand-in's report of `key` ("HKCU\..." or "HKLM\...|32").
    std::optional<Report> LaunchAndReport(const std::string& kind, const std::string& folder, const std::string& exe,
                                          const std::string& key, const std::string& profile = "Game") {
        const std::string dir = peer->prefix() + "/drive_c/" + folder;
        std::filesystem::create_directories(dir);
        std::filesystem::copy_file(WINE_REGPROBE, dir + "/" + exe, std::filesystem::copy_options::overwrite_existing);
        std::filesystem::remove(dir + "/report.txt");
        setenv("PROBE_REPORT", ("C:\\" + folder + "\\report.txt").c_str(), 1);
        setenv("PROBE_KEYS", key.c_str(), 1);
        EXPECT_EQ(Cli({"launch", kind, profile}), 0) << lastErr;
        return WaitForReport(dir + "/report.txt");
    }

    void ExpectReportMatchesRegistry(const Report& report, RegRoot root, const std::string& key) {
        ASSERT_TRUE(report.values.has_value()) << "the emulator found no " << key;
        ASSERT_TRUE(peer->ServerDown());  // our own view straight from the files
        const auto ours = OpenSystemRegistry()->EnumValues(root, key);
        ASSERT_TRUE(ours.has_value());
        const auto theirs = ByName(*report.values);
        EXPECT_EQ(theirs.size(), ours->size());
        for (const RegValue& v : *ours) {
            const auto it = theirs.find(LowerAnsi(v.name));
            ASSERT_NE(it, theirs.end()) << Describe(v);
            EXPECT_EQ(it->second.type, v.type) << Describe(v);
            EXPECT_EQ(it->second.data, v.data) << Describe(v) << " vs " << Describe(it->second);
        }
    }

    WinePeer* peer = nullptr;
    std::string work, lastErr;
    std::filesystem::path saved;
    RecordingPrompter prompter;
};

std::string TextOf(const std::optional<Report>& r, const std::string& name) {
    for (const auto& v : r->values.value_or(std::vector<RegValue>{}))
        if (EqualsNoCase(v.name, name)) return RegDataAsText(v.data);
    return "<none>";
}

TEST_F(LaunchWine, EpsxeWithoutAServerReadsItsProfile) {
    ASSERT_TRUE(peer->ServerDown());
    ASSERT_EQ(Cli({"profiles", "new", "Epsxe", "Game"}), 0);
    ASSERT_EQ(Cli({"profiles", "set", "Epsxe", "Game", "VideoPlugin=gpuA.dll", "SoundPlugin=spuA.dll",
                   "CdromPlugin=cdrA.dll", "BiosName=scph\xe9.bin"}),
              0);
    const auto report = LaunchAndReport("Epsxe", "epsxe", "epsxe.exe", "HKCU\\Software\\epsxe\\config");
    ASSERT_TRUE(report.has_value()) << "the stand-in never reported";
    EXPECT_TRUE(EqualsNoCase(report->currentDir, "C:\\epsxe")) << report->currentDir;
    // Without our helper, Wine rebuilds the command line from the runner's
    // arguments and quotes the program.
    EXPECT_NE(LowerAnsi(report->commandLine).find("c:\\epsxe\\epsxe.exe"), std::string::npos) << report->commandLine;
    EXPECT_EQ(TextOf(report, "VideoPlugin"), "gpuA.dll");
    EXPECT_EQ(TextOf(report, "BiosName"), "scph\xe9.bin");
    ExpectReportMatchesRegistry(*report, RegRoot::CurrentUser, "Software\\epsxe\\config");
}

// With a server running the configuration goes in through Wine; the emulator
// starts through the kind's own runner setting.
TEST_F(LaunchWine, PcsxWithARunningServerAndItsOwnRunner) {
    ASSERT_EQ(Cli({"profiles", "new", "Pcsx", "Game"}), 0);
    ASSERT_EQ(Cli({"profiles", "set", "Pcsx", "Game", "Gpu=gpuB.dll", "Spu=spuB.dll", "Cdr=cdrB.dll"}), 0);
    const std::string runner = peer->scratch() + "/pcsx-runner.sh";
    {
        std::ofstream script(runner);
        script << "#!/bin/sh\necho \"$@\" > \"$0.used\"\nexec '" << peer->wine() << "' \"$@\"\n";
    }
    ASSERT_EQ(chmod(runner.c_str(), 0755), 0);
    // A command with arguments: the setting is split on blanks.
    ASSERT_EQ(Cli({"settings", "set", "PcsxRunner", "/bin/sh " + runner}), 0);
    ASSERT_TRUE(peer->ServerUp());
    const auto report = LaunchAndReport("Pcsx", "pcsx", "pcsx.exe", "HKCU\\Software\\Pcsx");
    ASSERT_TRUE(report.has_value()) << "the stand-in never reported";
    EXPECT_EQ(TextOf(report, "Gpu"), "gpuB.dll");
    EXPECT_EQ(TextOf(report, "PluginsDir"), "c:\\pcsx\\plugin\\");
    ExpectReportMatchesRegistry(*report, RegRoot::CurrentUser, "Software\\Pcsx");
    std::ifstream used(runner + ".used");
    std::string usedLine;
    EXPECT_TRUE(std::getline(used, usedLine) && LowerAnsi(usedLine).find("c:\\pcsx\\pcsx.exe") == 0) << usedLine;
    ASSERT_EQ(Cli({"settings", "set", "PcsxRunner", ""}), 0);
}

// The stand-in sees the command line byte for byte as the launch built it,
// and the start-up information: hidden ("Nuke ePSXe/FPSE Console") or not,
// and the first window's place at the top-left corner.
TEST_F(LaunchWine, TheEmulatorGetsTheLaunchsCommandLineAndStartUpInformation) {
    setenv("DRAVOLO_WINHELPER", WINE_WINHELPER, 1);  // Windows programs start through our helper
    // Without its GUI ePSXe's window is not searched for: the stand-in has none.
    ASSERT_EQ(Cli({"profiles", "new", "Epsxe", "Lines"}), 0);
    ASSERT_EQ(Cli({"profiles", "set", "Epsxe", "Lines", "VideoPlugin=gpuA.dll", "SoundPlugin=spuA.dll",
                   "CdromPlugin=cdrA.dll", "DVOEnableGui=0", "DVOCommandLine=-slowboot  \"C:\\a b\\\\\" x"}),
              0);
    ASSERT_EQ(Cli({"settings", "set", "NukeConsole", "1"}), 0);
    auto report = LaunchAndReport("Epsxe", "epsxe", "epsxe.exe", "HKCU\\Software\\epsxe\\config", "Lines");
    ASSERT_TRUE(report.has_value()) << "the stand-in never reported";
    EXPECT_EQ(report->commandLine, "c:\\epsxe\\epsxe.exe -slowboot  \"C:\\a b\\\\\" x -nogui");
    EXPECT_EQ(report->startup, "5 0 0 0");  // STARTF_USESHOWWINDOW | STARTF_USEPOSITION, SW_HIDE, at 0,0
    EXPECT_TRUE(EqualsNoCase(report->currentDir, "C:\\epsxe")) << report->currentDir;

    ASSERT_EQ(Cli({"settings", "set", "NukeConsole", "0"}), 0);
    report = LaunchAndReport("Epsxe", "epsxe", "epsxe.exe", "HKCU\\Software\\epsxe\\config", "Lines");
    ASSERT_TRUE(report.has_value()) << "the stand-in never reported";
    EXPECT_EQ(report->startup.substr(0, 2), "4 ");  // only the position: shown as the program likes
    EXPECT_TRUE(report->startup.ends_with(" 0 0")) << report->startup;
    ASSERT_EQ(Cli({"settings", "set", "NukeConsole", "1"}), 0);
}

// PCSX in a prefix of its own, named by its runner's WINEPREFIX=: its key, its
// drive C: and its program are all there, and the front end's settings stay
// in the front end's prefix. The prefix is a copy of the peer's, which Wine
// has set up already (a second set-up would cost a second wineboot).
TEST_F(LaunchWine, PcsxInAPrefixOfItsOwn) {
    namespace fs = std::filesystem;
    ASSERT_TRUE(peer->ServerDown());
    const std::string own = peer->scratch() + "/pcsx-prefix";
    fs::remove_all(own);
    fs::copy(peer->prefix(), own, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    ASSERT_TRUE(OpenRegistryOfPrefix(own)->DeleteTree(RegRoot::CurrentUser, "Software\\Pcsx"));
    ASSERT_EQ(Cli({"profiles", "new", "Pcsx", "Own"}), 0);
    ASSERT_EQ(Cli({"profiles", "set", "Pcsx", "Own", "Gpu=gpuOwn.dll", "Spu=spuB.dll", "Cdr=cdrB.dll"}), 0);
    ASSERT_EQ(Cli({"settings", "set", "PcsxRunner", "env WINEPREFIX=" + own + " " + peer->wine()}), 0);

    const std::string dir = own + "/drive_c/pcsx";
    fs::create_directories(dir);
    fs::copy_file(WINE_REGPROBE, dir + "/pcsx.exe", fs::copy_options::overwrite_existing);
    fs::remove(dir + "/report.txt");  // the copy's, from the front end's prefix
    setenv("PROBE_REPORT", "C:\\pcsx\\report.txt", 1);
    setenv("PROBE_KEYS", "HKCU\\Software\\Pcsx", 1);
    EXPECT_EQ(Cli({"launch", "Pcsx", "Own"}), 0) << lastErr;
    const auto report = WaitForReport(dir + "/report.txt");
    ASSERT_TRUE(report.has_value()) << "the stand-in never reported in its own prefix";
    EXPECT_EQ(TextOf(report, "Gpu"), "gpuOwn.dll")
        << "own: "
        << OpenRegistryOfPrefix(own)->QueryString(RegRoot::CurrentUser, "Software\\Pcsx", "Gpu").value_or("-")
        << " ours: " << OpenSystemRegistry()->QueryString(RegRoot::CurrentUser, "Software\\Pcsx", "Gpu").value_or("-")
        << " cmd: " << report->commandLine << " err: " << lastErr;
    EXPECT_TRUE(EqualsNoCase(report->currentDir, "C:\\pcsx")) << report->currentDir;
    EXPECT_TRUE(peer->ServerDownIn(own));
    const auto query = wine::RunInPrefix(own, {peer->wine()}, {"reg", "query", "HKCU\\Software\\Pcsx", "/v", "Gpu"},
                                         std::chrono::seconds(60));
    EXPECT_NE(query.output.find("gpuOwn.dll"), std::string::npos) << query.output;
    EXPECT_TRUE(peer->ServerDownIn(own));

    // Nothing of PCSX's went to the front end's prefix; its settings did.
    EXPECT_NE(OpenSystemRegistry()->QueryString(RegRoot::CurrentUser, "Software\\Pcsx", "Gpu").value_or(""),
              "gpuOwn.dll");
    EXPECT_EQ(OpenSystemRegistry()
                  ->QueryString(RegRoot::CurrentUser, "Software\\Dravolo\\Dravolo\\Settings", "PcsxRunner")
                  .value_or("<none>")
                  .find("WINEPREFIX=" + own),
              4u);
    ASSERT_EQ(Cli({"settings", "set", "PcsxRunner", ""}), 0);
}

// AdriPSX keeps its settings in HKEY_LOCAL_MACHINE; a 32-bit program reads
// them from Wow6432Node in this 64-bit prefix.
TEST_F(LaunchWine, AdripsxSeesItsMachineKeyInThe32BitView) {
    ASSERT_EQ(Cli({"profiles", "new", "Adripsx", "Game"}), 0);
    ASSERT_EQ(Cli({"profiles", "set", "Adripsx", "Game", "GPUplugin=gpuC.dll", "CDRplugin=cdrC.dll"}), 0);
    ASSERT_TRUE(peer->ServerUp());
    const auto report = LaunchAndReport("Adripsx", "adripsx", "adriile.exe", "HKLM\\Software\\Adripsx|32");
    ASSERT_TRUE(report.has_value()) << "the stand-in never reported";
    EXPECT_EQ(TextOf(report, "GPUplugin"), "Plugins\\gpuC.dll");
    ExpectReportMatchesRegistry(*report, RegRoot::LocalMachine, "Software\\Adripsx");
    EXPECT_FALSE(OpenPrefixRegistry(peer->prefix(), RegistryView::Native)
                     ->KeyExists(RegRoot::LocalMachine, "Software\\Adripsx"));
}

}  // namespace
}  // namespace dravolo::test
