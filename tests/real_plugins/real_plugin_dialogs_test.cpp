// Configure and About of real PSEmu Pro plugins (Debian's pcsxr package)
// from the plugin page inside a real QApplication on an X server. These
// plugins fork to start their settings program; a call that never returns is
// bounded by the test itself: the page runs in a child process that the test
// kills when the call has not come back.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "common/qt/plugin_call_wait.h"
#include "frontend/plugins/plugins_page_logic.h"
#include "tool/core/plugin_page_logic.h"
#include "tests/real_plugins/bounded_child.h"
#include "tests/real_plugins/pcsxr_plugins.h"
#include "tests/real_plugins/x_display.h"
#include "tests/support/memory_registry.h"
#include "tests/support/prefix_fixture.h"
#include "tests/support/recording_prompter.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace dravolo {
namespace {

enum class Action { Configure, About };
enum class Page { Dravolo, Tool };  // the front end's plugin page, the tool's Plugins tab

struct DialogCase {
    const char* test;
    PluginType type;
    const char* library;
    const char* linkName;
    Action action;
    const char* title;  // the window the plugin's settings program opens
    Page page = Page::Dravolo;
};

// Shown in the test's name instead of the bytes of the case.
void PrintTo(const DialogCase& c, std::ostream* out) { *out << c.test; }

class RealPluginDialogs : public test::PrefixFixture, public ::testing::WithParamInterface<DialogCase> {
protected:
    static void SetUpTestSuite() { display = new test::XDisplay; }
    static void TearDownTestSuite() {
        delete display;
        display = nullptr;
    }
    void SetUp() override {
        if (const std::string missing = test::PcsxrPluginsMissing(); !missing.empty())
            GTEST_SKIP() << "Skipped: " << missing;
        if (!display->available()) GTEST_SKIP() << "Skipped: " << display->why();
        test::PrefixFixture::SetUp();
    }

    static test::XDisplay* display;
};

test::XDisplay* RealPluginDialogs::display = nullptr;

// Our own window in the child: it repaints on a timer and counts what it
// gets.
class CountingWindow : public QWidget {
public:
    int paints = 0, presses = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
    void mousePressEvent(QMouseEvent*) override { ++presses; }
};

constexpr const char* kOurTitle = "Dravolo test window";

// Exit codes of the child.
constexpr int kNotDiscovered = 10;
constexpr int kNoRepaintDuringCall = 20;
constexpr int kClickDuringCallArrived = 21;
constexpr int kClickAfterCallLost = 22;
constexpr int kMessageShown = 23;

// The child: a QApplication on the test's X server with a window of ours, the
// ePSXe plugin page on the folder, the plugin's row chosen, the action run.
// While it runs our window must repaint and a click on it must be dropped;
// once it returned (the marker file says so to the parent) a click arrives.
int RunPageAction(const DialogCase& c, const std::string& displayName, const std::string& home,
                  const std::string& returnedMarker) {
    setenv("DISPLAY", displayName.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    setenv("HOME", home.c_str(), 1);  // the plugins keep their settings below it
    int argc = 1;
    char name[] = "real_plugin_dialogs";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    InstallPluginCallWait();
    CountingWindow window;
    window.setWindowTitle(QString::fromLatin1(kOurTitle));
    // In a corner, away from the plugin's dialog (there is no window manager).
    window.setGeometry(824, 668, 200, 100);
    window.show();
    QTimer repaint;
    QObject::connect(&repaint, &QTimer::timeout, &window, [&window] { window.update(); });
    repaint.start(20);
    QApplication::processEvents();

    test::MemoryRegistry registry;
    InProcessRegistryEditor editor{registry};
    test::RecordingPrompter prompter;
    int paintsBefore = 0;
    if (c.page == Page::Dravolo) {
        PluginsPageLogic page(registry, editor, prompter);
        page.SetKind(EmulatorKind::Epsxe);
        page.SetInstallPath("c:\\epsxe\\");
        page.Open();
        const auto& list = page.list(c.type);
        int row = -1;
        for (std::size_t i = 0; i < list.size(); ++i)
            if (list[i].fileName == c.linkName) row = static_cast<int>(i);
        if (row < 0) return kNotDiscovered;
        page.Click(c.type, row);
        paintsBefore = window.paints;
        if (c.action == Action::Configure) page.Configure();
        else page.About();
    } else {
        // The tool's quick configure and its buttons come down to these.
        tool::PluginPageLogic page(registry, prompter);
        page.Fill("c:\\epsxe", 0, 0);
        int row = -1;
        for (std::size_t i = 0; i < page.rows().size(); ++i)
            if (page.rows()[i].dll == c.linkName) row = static_cast<int>(i);
        if (row < 0) return kNotDiscovered;
        paintsBefore = window.paints;
        if (c.action == Action::Configure) page.Configure(row);
        else page.About(row);
    }
    if (!prompter.messages.empty()) return kMessageShown;
    const int paintsDuring = window.paints - paintsBefore;
    QApplication::processEvents();  // a dropped click must not come late either
    if (window.presses != 0) return kClickDuringCallArrived;
    if (paintsDuring < 3) return kNoRepaintDuringCall;

    std::ofstream(returnedMarker) << "returned\n";
    QElapsedTimer waited;
    waited.start();
    while (window.presses == 0 && waited.elapsed() < 10000) QApplication::processEvents(QEventLoop::AllEvents, 50);
    return window.presses > 0 ? 0 : kClickAfterCallLost;
}

TEST_P(RealPluginDialogs, DialogOpensAndTheCallReturnsWhenItCloses) {
    const DialogCase& c = GetParam();
    test::LinkRealPlugin(driveC() + "/epsxe/plugins", c.library, c.linkName);
    const std::string home = root() + "/home";
    fs::create_directories(home);
    const std::string marker = root() + "/returned";

    test::BoundedChild child([&] { return RunPageAction(c, display->name(), home, marker); });
    const std::string dialog = display->WaitForWindow(c.title, 20s);
    EXPECT_FALSE(dialog.empty()) << "the window \"" << c.title << "\" never appeared";
    const std::string ours = display->WaitForWindow(kOurTitle, 5s);
    if (!dialog.empty()) {
        // While the dialog is open the call has not returned: a click on our
        // window is the user trying to work on.
        if (!ours.empty()) display->Click(ours, 50, 50);
        std::this_thread::sleep_for(500ms);
        EXPECT_FALSE(fs::exists(marker)) << "the call returned while its dialog was still open";
        EXPECT_TRUE(display->Close(dialog, c.title));
    }
    // Once the call has returned our window takes clicks again.
    for (int i = 0; i < 200 && !fs::exists(marker) && child.Running(); ++i) std::this_thread::sleep_for(100ms);
    if (fs::exists(marker) && !ours.empty()) display->Click(ours, 50, 50);
    const auto code = child.WaitFor(20s);
    ASSERT_TRUE(code.has_value()) << "the call did not return: the plugin hangs in our process";
    EXPECT_EQ(*code, 0) << "10 not discovered, 20 no repaint during the call, 21 a click arrived during it, "
                           "22 no click arrived after it, 23 a message was shown";
}

INSTANTIATE_TEST_SUITE_P(
    Pcsxr, RealPluginDialogs,
    ::testing::Values(DialogCase{"DfxVideoConfigure", PluginType::Gpu, "libDFXVideo.so", "gpuDFXVideo.dll",
                                 Action::Configure, "Configure X11 Video"},
                      DialogCase{"DfxVideoAbout", PluginType::Gpu, "libDFXVideo.so", "gpuDFXVideo.dll", Action::About,
                                 "About P.E.Op.S PCSXR Video Plugin"},
                      DialogCase{"DfSoundConfigure", PluginType::Spu, "libDFSound.so", "spuDFSound.dll",
                                 Action::Configure, "Configure Sound"},
                      DialogCase{"DfSoundAbout", PluginType::Spu, "libDFSound.so", "spuDFSound.dll", Action::About,
                                 "About dfsound PCSXR Sound Plugin"},
                      DialogCase{"ToolDfxVideoConfigure", PluginType::Gpu, "libDFXVideo.so", "gpuDFXVideo.dll",
                                 Action::Configure, "Configure X11 Video", Page::Tool},
                      DialogCase{"ToolDfSoundAbout", PluginType::Spu, "libDFSound.so", "spuDFSound.dll", Action::About,
                                 "About dfsound PCSXR Sound Plugin", Page::Tool}),
    [](const ::testing::TestParamInfo<DialogCase>& info) { return std::string(info.param.test); });

}  // namespace
}  // namespace dravolo
