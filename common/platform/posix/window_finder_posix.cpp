// Windows of programs running under Wine are not reachable from a native
// process: the finder is not available and finds nothing.

#include "common/platform/window_finder.h"

namespace dravolo {

namespace {

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

}  // namespace

std::unique_ptr<WindowFinder> OpenSystemWindowFinder() { return std::make_unique<NoWindowFinder>(); }

}  // namespace dravolo
