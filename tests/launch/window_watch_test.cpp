// The window search: centring arithmetic, the hide/move/show order and the
// number of looks.

#include <gtest/gtest.h>

#include "frontend/launch/launch.h"
#include "frontend/launch/window_watch.h"
#include "tests/launch/fake_windows.h"

namespace dravolo {
namespace {

TEST(WindowWatch, CentresAFoundWindowHidingItFirstWhenConsolesShow) {
    test::FakeWindows windows;
    windows.windowClass = "EPSXGUI";
    WindowWatch watch(windows, "EPSXGUI", true, false);
    SleepingWindowPoller().Poll(watch);
    EXPECT_TRUE(watch.found());
    EXPECT_EQ(watch.looks(), 3);
    EXPECT_EQ(windows.actions, (std::vector<std::string>{"hide", "move 192,144", "show"}));

    test::FakeWindows hiddenStart;
    hiddenStart.windowClass = "EPSXGUI";
    hiddenStart.rect = {0, 0, 641, 481};  // odd sizes: halves truncate
    hiddenStart.screen = {1023, 767};
    WindowWatch nuked(hiddenStart, "EPSXGUI", true, true);
    SleepingWindowPoller().Poll(nuked);
    EXPECT_EQ(hiddenStart.actions, (std::vector<std::string>{"move 191,143", "show"}));
}

TEST(WindowWatch, AWindowLargerThanTheScreenMovesToTheAbsoluteOffset) {
    test::FakeWindows windows;
    windows.windowClass = "TMAdvance";
    windows.appearAfter = 1;
    windows.rect = {0, 0, 1500, 1000};
    WindowWatch watch(windows, "TMAdvance", true, true);
    EXPECT_TRUE(watch.Step());
    EXPECT_EQ(windows.actions, (std::vector<std::string>{"move 238,116", "show"}));

    test::FakeWindows adri;
    adri.windowClass = "TMAdvance";
    adri.appearAfter = 1;
    WindowWatch unmoved(adri, "TMAdvance", false, false);
    EXPECT_TRUE(unmoved.Step());
    EXPECT_EQ(adri.actions, (std::vector<std::string>{"hide", "show"}));
}

TEST(WindowWatch, GivesUpAfterItsLooksAndWaitsForNothingWithoutAFinder) {
    test::FakeWindows windows;
    windows.windowClass = "other";
    WindowWatch watch(windows, "EPSXGUI", true, true, 50);
    int steps = 0;
    while (!watch.Step()) ++steps;
    EXPECT_EQ(watch.looks(), 50);
    EXPECT_EQ(steps, 49);
    EXPECT_FALSE(watch.found());
    EXPECT_TRUE(windows.actions.empty());

    test::FakeWindows none;
    none.available = false;
    WindowWatch idle(none, "EPSXGUI", true, true);
    EXPECT_TRUE(idle.done());
    EXPECT_TRUE(idle.Step());
    EXPECT_EQ(none.looks, 0);
}

TEST(StartFlags, CustomExecutablesAndTheAlwaysHiddenEmulators) {
    auto flags = [](EmulatorKind kind, std::string_view exe, bool nuke) {
        const StartFlags f = ChooseStartFlags(kind, exe, nuke);
        return std::make_pair(f.hidden, f.searchWindow);
    };
    EXPECT_EQ(flags(EmulatorKind::Epsxe, "epsxe.exe", true), std::make_pair(true, true));
    EXPECT_EQ(flags(EmulatorKind::Epsxe, "epsxe.exe", false), std::make_pair(false, true));
    EXPECT_EQ(flags(EmulatorKind::Epsxe, "ePSXe.exe", true), std::make_pair(false, false));  // case counts
    EXPECT_EQ(flags(EmulatorKind::Psinex, "psinex pc emulator.exe", false), std::make_pair(true, true));
    EXPECT_EQ(flags(EmulatorKind::Pcsx, "pcsx.exe", false), std::make_pair(true, true));
    EXPECT_EQ(flags(EmulatorKind::Pcsx, "pcsxr.exe", false), std::make_pair(true, false));
    EXPECT_EQ(flags(EmulatorKind::Fpse, "fpse.exe", true), std::make_pair(true, false));
    EXPECT_EQ(ComposeCommandLine("c:\\epsxe\\", "epsxe.exe", ""), "c:\\epsxe\\epsxe.exe ");
    EXPECT_EQ(EmulatorWindowClass(EmulatorKind::Pcsx), "P\xA9SX Main");
}

}  // namespace
}  // namespace dravolo
