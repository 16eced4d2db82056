#pragma once
// The tool's window settings: section "Position" below its per-user settings
// root "Software\Kestrine\Kestrine\<program name>", DWORD values read with
// their defaults at start and written back when the dialog closes.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/platform/registry.h"

namespace dravolo::tool {

struct ToolWindowSettings {
    std::uint32_t selCol = 0;  // sort column of the plugin list
    std::uint32_t selDir = 0;  // 0 ascending, 1 descending
    // "ToolX1".."ToolX6": plugin list "Plugins", "DLL", "Date"; card list
    // "Cards", "Information", "Date".
    std::array<std::uint32_t, 6> widths = {250, 130, 70, 116, 281, 70};
};

// "Software\Kestrine\Kestrine\<programName>\Position".
std::string PositionKey(std::string_view programName);

ToolWindowSettings LoadWindowSettings(Registry& registry, std::string_view programName);
bool SaveWindowSettings(Registry& registry, std::string_view programName, const ToolWindowSettings& settings);

}  // namespace dravolo::tool
