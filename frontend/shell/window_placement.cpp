#include "frontend/shell/window_placement.h"

#include "frontend/core/settings_store.h"

namespace dravolo {

WindowPlacement ReadWindowPlacement(const SettingsStore& settings) {
    WindowPlacement p;
    p.flags = settings.GetInt("flags", -1);
    p.showCmd = settings.GetInt("showCmd", -1);
    p.normal.left = settings.GetInt("x1", -1);
    p.normal.top = settings.GetInt("y1", -1);
    p.normal.right = settings.GetInt("x2", -1);
    p.normal.bottom = settings.GetInt("y2", -1);
    return p;
}

bool WriteWindowPlacement(SettingsStore& settings, const WindowPlacement& p) {
    bool ok = settings.SetInt("flags", p.flags);
    ok = settings.SetInt("showCmd", p.showCmd) && ok;
    ok = settings.SetInt("x1", p.normal.left) && ok;
    ok = settings.SetInt("y1", p.normal.top) && ok;
    ok = settings.SetInt("x2", p.normal.right) && ok;
    ok = settings.SetInt("y2", p.normal.bottom) && ok;
    return ok;
}

PlacementRect ClampToScreen(PlacementRect rect, int screenWidth, int screenHeight, int iconWidth, int iconHeight) {
    const int width = rect.width();
    const int height = rect.height();
    if (rect.left > screenWidth - iconWidth) rect.left = screenWidth - iconWidth;
    if (rect.top > screenHeight - iconHeight) rect.top = screenHeight - iconHeight;
    // A window pushed off the left or top edge is brought back the same way.
    if (width > 0 && rect.left + width < iconWidth) rect.left = iconWidth - width;
    if (height > 0 && rect.top + height < iconHeight) rect.top = iconHeight - height;
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
    return rect;
}

}  // namespace dravolo
