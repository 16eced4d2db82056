// Top-level windows through the Win32 user interface functions.

#include "common/platform/window_finder.h"

#include <string>

#include "common/platform/windows_api.h"

#ifdef _MSC_VER
#pragma comment(lib, "user32")
#endif

namespace dravolo {

namespace {

HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

class Win32WindowFinder : public WindowFinder {
public:
    bool Available() override { return true; }

    std::optional<WindowHandle> FindTopLevel(std::string_view className) override {
        const std::string name(className);
        HWND found = FindWindowA(name.c_str(), nullptr);
        if (!found) return std::nullopt;
        return reinterpret_cast<WindowHandle>(found);
    }

    std::optional<WindowRect> Rect(WindowHandle window) override {
        RECT r{};
        if (!GetWindowRect(ToHwnd(window), &r)) return std::nullopt;
        return WindowRect{r.left, r.top, r.right, r.bottom};
    }

    ScreenSize Screen() override { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

    void Hide(WindowHandle window) override { ShowWindow(ToHwnd(window), SW_HIDE); }
    void Show(WindowHandle window) override { ShowWindow(ToHwnd(window), SW_SHOW); }

    void Move(WindowHandle window, int x, int y) override {
        RECT r{};
        if (!GetWindowRect(ToHwnd(window), &r)) return;
        MoveWindow(ToHwnd(window), x, y, r.right - r.left, r.bottom - r.top, FALSE);
    }
};

}  // namespace

std::unique_ptr<WindowFinder> OpenSystemWindowFinder(std::string_view) { return std::make_unique<Win32WindowFinder>(); }

}  // namespace dravolo
