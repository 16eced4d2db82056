#pragma once
// Waiting for an emulator's window and centring it. The search looks once,
// then again after each pause, up to kWindowSearchLooks times. Each Step()
// looks once or, where a look takes long (a Wine process on Linux), only
// checks on the look in flight; likewise for the centring afterwards. So a
// Step never waits for Wine: the user interface drives the watch from a timer
// and keeps painting, while dravolo-cli simply sleeps between steps.

#include <chrono>
#include <string>

#include "common/platform/window_finder.h"

namespace dravolo {

inline constexpr int kWindowSearchLooks = 30001;
inline constexpr std::chrono::milliseconds kWindowSearchPause{1};
// Between checks on a look or a window change in flight (a look through Wine
// lasts at least half a second).
inline constexpr std::chrono::milliseconds kWindowLookCheckPause{10};

class WindowWatch {
public:
    // moveWindow false: the window is found and shown but stays where it is.
    // nukeConsole false: the window started visible, so it is hidden while it
    // is moved.
    WindowWatch(WindowFinder& finder, std::string className, bool moveWindow, bool nukeConsole,
                int maxLooks = kWindowSearchLooks);

    // One look, or a check on the one in flight; when the window is there it
    // is centred and shown. True once the watch is over (found and arranged,
    // or out of looks, or no finder on this system). Looks count when they
    // end.
    bool Step();

    bool done() const { return done_; }
    bool found() const { return found_; }
    int looks() const { return looks_; }
    // How long to wait before the next Step.
    std::chrono::milliseconds pause() const { return waiting_ ? kWindowLookCheckPause : kWindowSearchPause; }

private:
    void Arrange(WindowHandle window);

    WindowFinder& finder_;
    std::string className_;
    bool moveWindow_;
    bool nukeConsole_;
    int maxLooks_;
    int looks_ = 0;
    bool done_ = false;
    bool found_ = false;
    bool waiting_ = false;  // on a look or the window's changes, in flight
    bool arranging_ = false;
};

// Runs a watch to its end. The UI implements this with a timer and its event
// loop; it must not start another launch before Poll returns.
class WindowPoller {
public:
    virtual ~WindowPoller() = default;
    virtual void Poll(WindowWatch& watch) = 0;
};

// Sleeps between looks (dravolo-cli, tests).
class SleepingWindowPoller : public WindowPoller {
public:
    void Poll(WindowWatch& watch) override;
};

}  // namespace dravolo
