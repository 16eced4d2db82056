// The window finder through winhelper.exe under wine64: a stand-in emulator
// window of class "EPSXGUI" is found by a launch's window watch, whose steps
// never wait for the helper, centred while hidden and shown again; hide, show
// and move each reach the window. Windows need a display: an Xvfb of our own
// when DISPLAY is not set.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "common/platform/window_finder.h"
#include "frontend/launch/window_watch.h"
#include "tests/wine/wine_peer.h"

extern char** environ;

namespace dravolo {
namespace {

using test::WinePeer;

// Starts args[0] with no output; fd3, when given, becomes the child's fd 3.
pid_t Spawn(const std::vector<std::string>& args, int fd3) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (fd3 >= 0) posix_spawn_file_actions_adddup2(&actions, fd3, 3);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

void Stop(pid_t& pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    pid = -1;
}

// DISPLAY as it is, or a private Xvfb that tells its display number on fd 3.
class Display {
public:
    Display() {
        if (const char* d = std::getenv("DISPLAY"); d && *d) {
            ok_ = true;
            return;
        }
        const auto xvfb = wine::RunnerCommand("Xvfb");
        if (xvfb.empty()) return;
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) return;
        pid_ = Spawn({xvfb[0], "-displayfd", "3", "-nolisten", "tcp", "-screen", "0", "1280x1024x24"}, fds[1]);
        close(fds[1]);
        std::string number;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (number.empty()) return;
        setenv("DISPLAY", (":" + number).c_str(), 1);
        ok_ = true;
    }
    ~Display() {
        if (pid_ > 0) unsetenv("DISPLAY");
        Stop(pid_);
    }
    bool ok() const { return ok_; }

private:
    pid_t pid_ = -1;
    bool ok_ = false;
};

// The helper's own view of a window: its rectangle and visibility.
struct Seen {
    WindowRect rect;
    bool visible = false;
};
std::optional<Seen> Look(WinePeer& peer, WindowHandle window) {
    const auto run = peer.Run({WINE_WINHELPER, "rect", std::to_string(window)});
    std::istringstream in(run.output);
    for (std::string line; std::getline(in, line);) {
        std::istringstream f(line);
        std::string word;
        Seen s;
        int visible = 0;
        if (f >> word && word == "rect" && f >> s.rect.left >> s.rect.top >> s.rect.right >> s.rect.bottom >> visible) {
            s.visible = visible == 1;
            return s;
        }
    }
    return std::nullopt;
}

TEST(WindowWine, WithoutTheHelperTheFinderIsNotAvailable) {
    setenv("DRAVOLO_WINHELPER", "/nonexistent/winhelper.exe", 1);
    auto finder = OpenSystemWindowFinder();
    unsetenv("DRAVOLO_WINHELPER");
    EXPECT_FALSE(finder->Available());
    WindowWatch watch(*finder, "EPSXGUI", true, false);
    EXPECT_TRUE(watch.done());
    EXPECT_FALSE(watch.found());
}

TEST(WindowWine, TheWatchFindsCentresHidesAndShowsAnEmulatorWindow) {
    SKIP_UNLESS_WINE();
    if (std::string(WINE_WINHELPER).empty() || std::string(WINE_TESTWINDOW).empty())
        GTEST_SKIP() << "WINE TESTS SKIPPED: the window helper was not built";
    Display display;
    if (!display.ok()) GTEST_SKIP() << "WINE TESTS SKIPPED: no display and no Xvfb";
    WinePeer& peer = WinePeer::Get();
    ASSERT_TRUE(peer.ServerDown());  // a fresh server sees our display
    const auto open = [] {
        setenv("DRAVOLO_WINHELPER", WINE_WINHELPER, 1);
        auto finder = OpenSystemWindowFinder();
        unsetenv("DRAVOLO_WINHELPER");
        return finder;
    };
    auto finder = open();
    ASSERT_TRUE(finder->Available());
    ASSERT_GT(finder->LookSpan().count(), 0);

    // No such window: one look waits for its whole span and finds nothing.
    const auto before = std::chrono::steady_clock::now();
    EXPECT_FALSE(finder->FindTopLevel("EPSXGUI"));
    EXPECT_GE(std::chrono::steady_clock::now() - before, finder->LookSpan());

    pid_t emulator = Spawn({peer.wine(), WINE_TESTWINDOW, "EPSXGUI", "120"}, -1);
    ASSERT_GT(emulator, 0);
    // Driven as the main window drives it: no Step waits for the helper, not
    // even while the window is centred.
    WindowWatch watch(*finder, "EPSXGUI", true, false);
    auto longest = std::chrono::steady_clock::duration::zero();
    for (;;) {
        const auto start = std::chrono::steady_clock::now();
        const bool over = watch.Step();
        longest = std::max(longest, std::chrono::steady_clock::now() - start);
        if (over) break;
        std::this_thread::sleep_for(watch.pause());
    }
    ASSERT_TRUE(watch.found()) << "after " << watch.looks() << " looks";
    EXPECT_LT(longest, std::chrono::milliseconds(50));
    // Each helper run stands for a span of looks, not one.
    EXPECT_GT(watch.looks(), 1);

    const auto window = finder->FindTopLevel("EPSXGUI");
    ASSERT_TRUE(window);
    const ScreenSize screen = finder->Screen();
    ASSERT_GT(screen.width, 0);
    auto seen = Look(peer, *window);
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->rect.left, screen.width / 2 - 150);
    EXPECT_EQ(seen->rect.top, screen.height / 2 - 100);
    EXPECT_EQ(seen->rect.width(), 300);
    EXPECT_EQ(seen->rect.height(), 200);
    EXPECT_TRUE(seen->visible);

    // A change is made in the background; the finder says when it is done.
    finder->Hide(*window);
    EXPECT_TRUE(finder->ChangesPending());
    while (finder->ChangesPending()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    seen = Look(peer, *window);
    ASSERT_TRUE(seen);
    EXPECT_FALSE(seen->visible);
    finder->Move(*window, 123, 45);
    const auto moved = finder->Rect(*window);  // after the move
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->left, 123);
    EXPECT_EQ(moved->top, 45);
    EXPECT_EQ(moved->width(), 300);
    finder->Show(*window);
    finder = open();  // a finder that goes makes its changes first
    seen = Look(peer, *window);
    ASSERT_TRUE(seen);
    EXPECT_TRUE(seen->visible);

    EXPECT_FALSE(finder->FindTopLevel("NoSuchWindowClass"));
    Stop(emulator);
    EXPECT_TRUE(peer.ServerDown());
    EXPECT_FALSE(finder->Rect(*window)) << "a window of a stopped server";
}

}  // namespace
}  // namespace dravolo
