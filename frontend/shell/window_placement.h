#pragma once
// The main window's saved placement: flags, showCmd and the normal-position
// rectangle x1, y1, x2, y2 (left, top, right, bottom in screen pixels), as
// Windows' WINDOWPLACEMENT holds them. All six at -1 (nothing saved) keeps the
// system's default placement.

#include <optional>

namespace dravolo {

class SettingsStore;

struct PlacementRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

struct WindowPlacement {
    int flags = -1;
    int showCmd = -1;
    PlacementRect normal{-1, -1, -1, -1};

    bool IsUnset() const {
        return flags == -1 && showCmd == -1 && normal.left == -1 && normal.top == -1 && normal.right == -1 &&
               normal.bottom == -1;
    }
};

// Window show commands as Windows numbers them.
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSwShowMinimized = 2;
inline constexpr int kSwShowMaximized = 3;
// WPF_RESTORETOMAXIMIZED: a minimised window comes back maximised.
inline constexpr int kWpfRestoreToMaximized = 2;

WindowPlacement ReadWindowPlacement(const SettingsStore& settings);
bool WriteWindowPlacement(SettingsStore& settings, const WindowPlacement& placement);

// Moves the rectangle, keeping its size, so that at least an icon's width and
// height of it stay on a screen of the given size: the left edge at most
// screen width minus icon width, the top edge at most screen height minus icon
// height, and (likewise) the right and bottom edges no further left or up
// than one icon.
PlacementRect ClampToScreen(PlacementRect rect, int screenWidth, int screenHeight, int iconWidth, int iconHeight);

}  // namespace dravolo
