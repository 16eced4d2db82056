#include "frontend/launch/window_watch.h"

#include <algorithm>
#include <cstdlib>
#include <thread>

namespace dravolo {

WindowWatch::WindowWatch(WindowFinder& finder, std::string className, bool moveWindow, bool nukeConsole, int maxLooks)
    : finder_(finder),
      className_(std::move(className)),
      moveWindow_(moveWindow),
      nukeConsole_(nukeConsole),
      maxLooks_(maxLooks) {
    // Where no window can ever be found, waiting half a minute helps nobody.
    if (!finder_.Available() || maxLooks_ <= 0) done_ = true;
}

bool WindowWatch::Step() {
    if (done_) return true;
    if (arranging_) {
        // Found; the search is over once the window is where it belongs.
        waiting_ = finder_.ChangesPending();
        done_ = !waiting_;
        return done_;
    }
    const WindowFinder::Look look = finder_.PollTopLevel(className_);
    waiting_ = !look.ended;
    if (waiting_) return false;
    // A finder whose look waits by itself uses up that many pauses' worth of
    // looks, so the search lasts as long as anywhere else.
    const auto span = finder_.LookSpan() / kWindowSearchPause;
    looks_ = std::min(maxLooks_, looks_ + (span > 1 ? static_cast<int>(span) : 1));
    if (look.window) {
        found_ = true;
        Arrange(*look.window);
        arranging_ = waiting_ = finder_.ChangesPending();
        done_ = !arranging_;
        return done_;
    }
    if (looks_ >= maxLooks_) done_ = true;
    return done_;
}

void WindowWatch::Arrange(WindowHandle window) {
    const auto rect = finder_.Rect(window);
    if (!rect) return;  // gone again
    const ScreenSize screen = finder_.Screen();
    // Halves truncate toward zero; a window larger than the screen gets a
    // negative offset, which is used as its absolute value.
    const int x = screen.width / 2 - rect->width() / 2;
    const int y = screen.height / 2 - rect->height() / 2;
    if (!nukeConsole_) finder_.Hide(window);
    if (moveWindow_) finder_.Move(window, std::abs(x), std::abs(y));
    finder_.Show(window);
}

void SleepingWindowPoller::Poll(WindowWatch& watch) {
    while (!watch.Step()) std::this_thread::sleep_for(watch.pause());
}

}  // namespace dravolo
