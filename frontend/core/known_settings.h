#pragma once
// The settings the front end keeps under its Settings key and that
// "dravolo-cli settings" reads and writes, besides each emulator's install
// folder, program, runner and prefix (see settings_store.h).

#include "frontend/core/setting.h"

namespace dravolo {

inline constexpr IntSetting kCurrentEmulatorSetting{"CurrentEmulator", 0};  // the emulator bar's item
inline constexpr IntSetting kCurrentViewSetting{"CurrentView", 0};          // 0 large icons, 1 details, 2 small icons
inline constexpr IntSetting kUseBitmapSetting{"UseBitmap", 0};
inline constexpr IntSetting kTileBitmapSetting{"TileBitmap", 0};
inline constexpr TextSetting kBackgroundSetting{"Background", ""};
inline constexpr IntSetting kTextColorSetting{"TextColor", 0};  // 0x00BBGGRR
inline constexpr IntSetting kNukeConsoleSetting{"NukeConsole", 1};
inline constexpr IntSetting kXpMenuSetting{"XPMenu", 0};
// The main window's placement; -1: none stored.
inline constexpr IntSetting kPlacementFlagsSetting{"flags", -1};
inline constexpr IntSetting kPlacementShowCmdSetting{"showCmd", -1};
inline constexpr IntSetting kPlacementLeftSetting{"x1", -1};
inline constexpr IntSetting kPlacementTopSetting{"y1", -1};
inline constexpr IntSetting kPlacementRightSetting{"x2", -1};
inline constexpr IntSetting kPlacementBottomSetting{"y2", -1};

}  // namespace dravolo
