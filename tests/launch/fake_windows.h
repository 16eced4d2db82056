#pragma once
// A window finder whose emulator window appears after a few looks, and which
// records what the launch did to it.

#include <string>
#include <vector>

#include "common/platform/window_finder.h"

namespace dravolo::test {

class FakeWindows : public WindowFinder {
public:
    bool available = true;
    std::string windowClass;  // the class that exists (after appearAfter looks)
    int appearAfter = 3;
    WindowRect rect{100, 100, 740, 580};  // 640 x 480
    ScreenSize screen{1024, 768};
    int looks = 0;
    std::vector<std::string> actions;

    bool Available() override { return available; }
    std::optional<WindowHandle> FindTopLevel(std::string_view className) override {
        ++looks;
        if (className != windowClass || looks < appearAfter) return std::nullopt;
        return WindowHandle{42};
    }
    std::optional<WindowRect> Rect(WindowHandle) override { return rect; }
    ScreenSize Screen() override { return screen; }
    void Hide(WindowHandle) override { actions.push_back("hide"); }
    void Show(WindowHandle) override { actions.push_back("show"); }
    void Move(WindowHandle, int x, int y) override {
        actions.push_back("move " + std::to_string(x) + "," + std::to_string(y));
    }
};

}  // namespace dravolo::test
