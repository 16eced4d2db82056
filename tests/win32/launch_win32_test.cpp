// The launch on Windows itself: the PE fake emulator started by CreateProcess
// with the launch's start-up information, its window found by class through
// the Win32 window finder, centred and shown. Needs a display (Xvfb under Wine).

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "common/platform/process.h"
#include "common/platform/window_finder.h"
#include "frontend/launch/launch.h"
#include "tests/launch/launch_fixture.h"

namespace dravolo {
namespace {

namespace fs = std::filesystem;

using Report = std::map<std::string, std::string>;

class Win32Launch : public test::LaunchFixture {
protected:
    Win32Launch() : test::LaunchFixture(true) {}

    void SetUp() override {
        test::LaunchFixture::SetUp();
        editor = std::make_unique<InProcessRegistryEditor>(registry());
        finder = OpenSystemWindowFinder();
    }
    void TearDown() override {
        CloseAll();
        editor.reset();
        test::LaunchFixture::TearDown();
    }

    std::string Dir(EmulatorKind kind) { return driveC() + "/" + LowerAnsi(KindInfo(kind).directory); }

    // The fake emulator under the kind's name, told which window to open.
    void Install(EmulatorKind kind, const std::string& windowClass, const std::string& size = "400 300") {
        fs::copy_file(FAKE_EMULATOR_PATH, Dir(kind) + "/" + std::string(KindInfo(kind).defaultExe),
                      fs::copy_options::overwrite_existing);
        WriteHostFile(Dir(kind) + "/fake_emulator_window.txt", windowClass + "\n" + size + "\n");
        opened.push_back(windowClass);
    }

    Report WaitForReport(const std::string& dir) {
        const std::string path = dir + "/fake_emulator_report.txt";
        for (int i = 0; i < 1000 && !fs::exists(path); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        Report report;
        std::ifstream in(path);
        std::string line;
        while (std::getline(in, line))
            if (const auto eq = line.find('='); eq != std::string::npos)
                report[line.substr(0, eq)] = line.substr(eq + 1);
        return report;
    }

    bool Launch(EmulatorKind kind, const std::string& name, bool nukeConsole) {
        SleepingWindowPoller poller;
        LaunchRequest request{kind, name, nukeConsole};
        return LaunchSelectedProfile(request,
                                     LaunchServices{registry(), settings(), prompter, *editor, *finder, poller})
            .started;
    }

    // Where the launch must have put a window of this size.
    static std::pair<int, int> Centre(const WindowRect& r, ScreenSize screen) {
        return {std::abs(screen.width / 2 - r.width() / 2), std::abs(screen.height / 2 - r.height() / 2)};
    }

    // Ends the fake emulators this test started: close their windows and wait.
    void CloseAll() {
        for (const std::string& cls : opened) {
            for (int i = 0; i < 500; ++i) {
                HWND w = FindWindowA(cls.c_str(), nullptr);
                if (!w) break;
                PostMessageA(w, WM_CLOSE, 0, 0);
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
    }

    std::unique_ptr<RegistryEditor> editor;
    std::unique_ptr<WindowFinder> finder;
    std::vector<std::string> opened;
};

TEST_F(Win32Launch, PcsxStartsHiddenAtTheCornerAndItsWindowIsFoundCentredAndShown) {
    Install(EmulatorKind::Pcsx, "P\xA9SX Main", "500 400");
    _PCSXDATA r(settings());
    r.Gpu = "gpuTest.dll";
    r.Spu = "spuTest.dll";
    r.Cdr = "cdrTest.dll";
    SaveProfile("Ape", r);
    ASSERT_TRUE(Launch(EmulatorKind::Pcsx, "Ape", false));  // PCSX starts hidden even without NukeConsole
    EXPECT_TRUE(prompter.messages.empty());

    Report report = WaitForReport(Dir(EmulatorKind::Pcsx));
    EXPECT_EQ(report["startup_flags"], std::to_string(STARTF_USEPOSITION | STARTF_USESHOWWINDOW));
    EXPECT_EQ(report["startup_show"], std::to_string(SW_HIDE));
    EXPECT_EQ(report["startup_position"], "0,0");
    EXPECT_EQ(report["window_visible"], "0");
    EXPECT_TRUE(report["window_rect"].starts_with("0,0,")) << report["window_rect"];

    // The launch returned after its window search: the window is centred and shown.
    const auto window = finder->FindTopLevel("P\xA9SX Main");
    ASSERT_TRUE(window);
    const auto rect = finder->Rect(*window);
    ASSERT_TRUE(rect);
    EXPECT_EQ(std::make_pair(rect->left, rect->top), Centre(*rect, finder->Screen()));
    EXPECT_TRUE(IsWindowVisible(reinterpret_cast<HWND>(*window)));
    // The class the emulator registered is "P©SX Main": 0xA9 is the ANSI copyright sign.
    wchar_t name[64] = {};
    GetClassNameW(reinterpret_cast<HWND>(*window), name, 64);
    if (GetACP() == 1252) {
        EXPECT_STREQ(name, L"P\u00A9SX Main");
    }
}

TEST_F(Win32Launch, EpsxeWithConsolesShownStartsVisibleAndIsCentred) {
    Install(EmulatorKind::Epsxe, "EPSXGUI");
    _EPSXEDATA r(settings());
    r.VideoPlugin = "gpuTest.dll";
    r.SoundPlugin = "spuTest.dll";
    r.CdromPlugin = "cdrTest.dll";
    SaveProfile("Crash", r);
    ASSERT_TRUE(Launch(EmulatorKind::Epsxe, "Crash", false));

    Report report = WaitForReport(Dir(EmulatorKind::Epsxe));
    EXPECT_EQ(report["startup_flags"], std::to_string(STARTF_USEPOSITION));  // no show state: starts visible
    EXPECT_EQ(report["startup_position"], "0,0");
    EXPECT_EQ(report["window_visible"], "1");
    EXPECT_EQ(report["argc"], "1");  // "c:\epsxe\epsxe.exe " has no arguments

    const auto window = finder->FindTopLevel("EPSXGUI");
    ASSERT_TRUE(window);
    const auto rect = finder->Rect(*window);
    ASSERT_TRUE(rect);
    EXPECT_EQ(rect->width(), 400);
    EXPECT_EQ(std::make_pair(rect->left, rect->top), Centre(*rect, finder->Screen()));
    EXPECT_TRUE(IsWindowVisible(reinterpret_cast<HWND>(*window)));
}

TEST_F(Win32Launch, NukeConsoleStartsEpsxeHiddenAndTheSearchShowsIt) {
    Install(EmulatorKind::Epsxe, "EPSXGUI");
    _EPSXEDATA r(settings());
    r.VideoPlugin = "gpuTest.dll";
    r.SoundPlugin = "spuTest.dll";
    r.CdromPlugin = "cdrTest.dll";
    SaveProfile("Crash", r);
    ASSERT_TRUE(Launch(EmulatorKind::Epsxe, "Crash", true));
    Report report = WaitForReport(Dir(EmulatorKind::Epsxe));
    EXPECT_EQ(report["startup_flags"], std::to_string(STARTF_USEPOSITION | STARTF_USESHOWWINDOW));
    EXPECT_EQ(report["window_visible"], "0");
    const auto window = finder->FindTopLevel("EPSXGUI");
    ASSERT_TRUE(window);
    EXPECT_TRUE(IsWindowVisible(reinterpret_cast<HWND>(*window)));
}

TEST_F(Win32Launch, AdripsxWindowIsShownWhereItOpened) {
    Install(EmulatorKind::Adripsx, "TMAdvance");
    _ADRIPSXDATA r(settings());
    SaveProfile("Tekken", r);
    ASSERT_TRUE(Launch(EmulatorKind::Adripsx, "Tekken", true));
    Report report = WaitForReport(Dir(EmulatorKind::Adripsx));
    EXPECT_EQ(report["window_visible"], "0");
    const auto window = finder->FindTopLevel("TMAdvance");
    ASSERT_TRUE(window);
    EXPECT_EQ(finder->Rect(*window)->left, 0);
    EXPECT_EQ(finder->Rect(*window)->top, 0);
    EXPECT_TRUE(IsWindowVisible(reinterpret_cast<HWND>(*window)));
}

// The process layer alone: no start-up information unless asked, exit codes,
// working directory and the command line as the C run-time splits it.
TEST_F(Win32Launch, ProcessesGetOnlyTheStartUpInformationAskedFor) {
    const std::string dir = Dir(EmulatorKind::Psinex);
    fs::copy_file(FAKE_EMULATOR_PATH, dir + "/psinex pc emulator.exe");
    const auto code =
        RunAndWait("\"C:\\PSINEX\\psinex pc emulator.exe\" -x \"a b\" c:\\dir\\ \\\"q\\\" --exit 7", "c:\\psinex");
    ASSERT_EQ(code, 7);
    Report report = WaitForReport(dir);
    EXPECT_EQ(LowerAnsi(report["cwd"]), "c:\\psinex");
    EXPECT_EQ(report["argv[1]"], "-x");
    EXPECT_EQ(report["argv[2]"], "a b");
    EXPECT_EQ(report["argv[3]"], "c:\\dir\\");
    EXPECT_EQ(report["argv[4]"], "\"q\"");
    EXPECT_EQ(report["startup_flags"], "0");
    fs::remove(dir + "/fake_emulator_report.txt");

    StartOptions options;
    options.showWindow = SW_SHOWMINIMIZED;
    options.position = StartOptions::Position{30, 40};
    ASSERT_EQ(RunAndWait("\"C:\\psinex\\psinex pc emulator.exe\"", "C:\\psinex", options), 0);
    report = WaitForReport(dir);
    EXPECT_EQ(report["startup_flags"], std::to_string(STARTF_USEPOSITION | STARTF_USESHOWWINDOW));
    EXPECT_EQ(report["startup_show"], std::to_string(SW_SHOWMINIMIZED));
    EXPECT_EQ(report["startup_position"], "30,40");

    EXPECT_FALSE(StartProcess("C:\\psinex\\missing.exe", "C:\\psinex"));
    EXPECT_EQ(RunAndWait("\"C:\\psinex\\psinex pc emulator.exe\"", "C:\\no such dir"), std::nullopt);
}

}  // namespace
}  // namespace dravolo
