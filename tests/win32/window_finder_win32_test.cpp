// The Win32 window finder on windows of this process: found by an ANSI class
// name (also one with the byte 0xA9), moved without a size change, hidden and
// shown. Needs a display (Xvfb under Wine).

#include <gtest/gtest.h>

#include <windows.h>

#include "common/platform/window_finder.h"

namespace dravolo {
namespace {

class TopLevelWindow {
public:
    // Registered through the Unicode functions, as the system keeps it.
    explicit TopLevelWindow(const wchar_t* className) : className_(className) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = className;
        RegisterClassW(&wc);
        window_ = CreateWindowExW(0, className, L"test window", WS_OVERLAPPEDWINDOW, 10, 20, 300, 200, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    }
    ~TopLevelWindow() {
        DestroyWindow(window_);
        UnregisterClassW(className_, GetModuleHandleW(nullptr));
    }
    HWND get() const { return window_; }

private:
    const wchar_t* className_;
    HWND window_;
};

TEST(Win32WindowFinder, FindsMovesHidesAndShowsATopLevelWindow) {
    TopLevelWindow window(L"EPSXGUI");
    ASSERT_NE(window.get(), nullptr);
    auto finder = OpenSystemWindowFinder();
    EXPECT_TRUE(finder->Available());

    const auto found = finder->FindTopLevel("EPSXGUI");
    ASSERT_TRUE(found);
    EXPECT_EQ(reinterpret_cast<HWND>(*found), window.get());
    EXPECT_FALSE(finder->FindTopLevel("NoSuchWindowClass"));

    const auto before = finder->Rect(*found);
    ASSERT_TRUE(before);
    EXPECT_EQ(before->left, 10);
    EXPECT_EQ(before->width(), 300);
    finder->Move(*found, 123, 45);
    const auto after = finder->Rect(*found);
    EXPECT_EQ(after->left, 123);
    EXPECT_EQ(after->top, 45);
    EXPECT_EQ(after->width(), 300);
    EXPECT_EQ(after->height(), 200);

    finder->Show(*found);
    EXPECT_TRUE(IsWindowVisible(window.get()));
    finder->Hide(*found);
    EXPECT_FALSE(IsWindowVisible(window.get()));

    const ScreenSize screen = finder->Screen();
    EXPECT_EQ(screen.width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_GT(screen.height, 0);
}

TEST(Win32WindowFinder, AnsiClassNamesAreWindows1252) {
    if (GetACP() != 1252) GTEST_SKIP() << "the ANSI code page here is " << GetACP();
    TopLevelWindow window(L"P\u00A9SX Main");
    ASSERT_NE(window.get(), nullptr);
    auto finder = OpenSystemWindowFinder();
    const auto found = finder->FindTopLevel("P\xA9SX Main");
    ASSERT_TRUE(found);
    EXPECT_EQ(reinterpret_cast<HWND>(*found), window.get());
    EXPECT_FALSE(finder->FindTopLevel("P\xC2\xA9SX Main"));  // the UTF-8 spelling is another name
    EXPECT_FALSE(finder->Rect(0));
}

}  // namespace
}  // namespace dravolo
