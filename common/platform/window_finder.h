#pragma once
// Top-level windows of other programs: find one by its window class, read its
// rectangle, move, hide and show it. The launch uses this to centre an
// emulator's window once it appears. Win32 on Windows; on POSIX the windows
// of programs under Wine are reached through a small Windows helper run under
// the prefix's Wine, and without it the finder says it is not available and
// finds nothing.
//
// A look may take a while (on POSIX it is a Wine process), so a caller that
// must stay responsive, the main window, looks through PollTopLevel: it
// starts a look and comes back at once, and later calls say whether that look
// has ended.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

namespace dravolo {

using WindowHandle = std::uintptr_t;

struct WindowRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

struct ScreenSize {
    int width = 0, height = 0;
};

class WindowFinder {
public:
    virtual ~WindowFinder() = default;
    // False when this system cannot see other programs' windows at all;
    // callers then skip their search instead of waiting for nothing.
    virtual bool Available() = 0;
    // A top-level window of that class (ANSI), any title. May keep looking
    // for up to LookSpan() before it reports nothing.
    virtual std::optional<WindowHandle> FindTopLevel(std::string_view className) = 0;
    // Zero where a look is cheap. Where each look starts a process, one call
    // waits this long itself, and a search counts it as that much of its time.
    virtual std::chrono::milliseconds LookSpan() const { return std::chrono::milliseconds(0); }

    struct Look {
        bool ended = true;                   // false: still looking, ask again later
        std::optional<WindowHandle> window;  // what an ended look found
    };
    // FindTopLevel without waiting for it. The first call starts a look; the
    // following calls for the same class only check on it, until one reports
    // it ended (a whole look, LookSpan() included); the call after that starts
    // the next look. Asking for another class drops the look in flight. By
    // default a look is one FindTopLevel, for systems where looking is cheap.
    virtual Look PollTopLevel(std::string_view className) { return Look{true, FindTopLevel(className)}; }
    virtual std::optional<WindowRect> Rect(WindowHandle window) = 0;  // screen coordinates
    virtual ScreenSize Screen() = 0;
    // Hide, Show and Move may come back before the window has changed where
    // each change is a process of its own: the changes are then made in the
    // background, one after another in the order asked, and every other call
    // waits for them first.
    virtual void Hide(WindowHandle window) = 0;
    virtual void Show(WindowHandle window) = 0;
    // Moves the window's top-left corner, keeping its size, without repainting.
    virtual void Move(WindowHandle window, int x, int y) = 0;
    // Never waits: true while changes asked for are still being made.
    virtual bool ChangesPending() { return false; }
};

// Sees no windows, so a search for one ends at once: for starts that show no
// window of ours to centre (native programs, dry runs, benchmarks).
class NoWindowFinder : public WindowFinder {
public:
    bool Available() override { return false; }
    std::optional<WindowHandle> FindTopLevel(std::string_view) override { return std::nullopt; }
    std::optional<WindowRect> Rect(WindowHandle) override { return std::nullopt; }
    ScreenSize Screen() override { return {}; }
    void Hide(WindowHandle) override {}
    void Show(WindowHandle) override {}
    void Move(WindowHandle, int, int) override {}
};

// `runner`: on POSIX the command that runs Windows programs (an emulator
// kind's own runner setting), so the search asks the same wineserver the
// emulator runs under; empty: DRAVOLO_RUNNER, else "wine". Windows has no
// runner and ignores it.
std::unique_ptr<WindowFinder> OpenSystemWindowFinder(std::string_view runner = {});

}  // namespace dravolo
