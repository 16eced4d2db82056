#include "frontend/shell/window_placement.h"

#include "frontend/core/known_settings.h"
#include "frontend/core/settings_store.h"

namespace dravolo {

WindowPlacement ReadWindowPlacement(const SettingsStore& settings) {
    WindowPlacement p;
    p.flags = settings.Get(kPlacementFlagsSetting);
    p.showCmd = settings.Get(kPlacementShowCmdSetting);
    p.normal.left = settings.Get(kPlacementLeftSetting);
    p.normal.top = settings.Get(kPlacementTopSetting);
    p.normal.right = settings.Get(kPlacementRightSetting);
    p.normal.bottom = settings.Get(kPlacementBottomSetting);
    return p;
}

bool WriteWindowPlacement(SettingsStore& settings, const WindowPlacement& p) {
    bool ok = settings.Set(kPlacementFlagsSetting, p.flags);
    ok = settings.Set(kPlacementShowCmdSetting, p.showCmd) && ok;
    ok = settings.Set(kPlacementLeftSetting, p.normal.left) && ok;
    ok = settings.Set(kPlacementTopSetting, p.normal.top) && ok;
    ok = settings.Set(kPlacementRightSetting, p.normal.right) && ok;
    ok = settings.Set(kPlacementBottomSetting, p.normal.bottom) && ok;
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
