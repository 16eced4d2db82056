#pragma once
// Where the main window keeps the position and visibility of its toolbar,
// status bar and emulator bar between runs: the settings branch's
// "MainToolBar" section. The layout itself is opaque bytes of the window
// toolkit; the status bar's visibility is kept beside it.

#include <optional>
#include <string_view>

#include "common/base/bytes.h"

namespace dravolo {

class Registry;

inline constexpr std::string_view kBarStateKeyPath = "Software\\Dravolo\\Dravolo\\MainToolBar";

struct BarState {
    Bytes layout;                        // empty: nothing saved
    std::optional<bool> statusBarShown;  // nullopt: nothing saved
};

BarState ReadBarState(Registry& registry);
bool WriteBarState(Registry& registry, const BarState& state);

}  // namespace dravolo
