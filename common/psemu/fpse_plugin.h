#pragma once
// Calls into FPSE-native plugins: T + "_About" fills an information block,
// T + "_Configure" shows the plugin's dialog with a settings block whose
// callbacks read and write the current settings file (settings_file.h).

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "common/base/bytes.h"
#include "common/psemu/plugin_module.h"
#include "common/psemu/plugin_types.h"

namespace dravolo {

// The information block: 1156 bytes, zeroed before the call.
inline constexpr std::size_t kFpseInfoSize = kPluginInfoBlockSize;
inline constexpr std::size_t kFpseAuthorOffset = 4, kFpseAuthorSize = 64;
inline constexpr std::size_t kFpseNameOffset = 68, kFpseNameSize = 64;
inline constexpr std::size_t kFpseDescriptionOffset = 132, kFpseDescriptionSize = 1024;
static_assert(kFpseDescriptionOffset + kFpseDescriptionSize == kFpseInfoSize);

// Plugin type numbers of the information block.
inline constexpr std::uint8_t kFpseTypeGpu = 1;
inline constexpr std::uint8_t kFpseTypeSpu = 2;
inline constexpr std::uint8_t kFpseTypeCdr = 5;

struct FpseInfo {
    std::uint8_t type = 0;
    std::uint8_t minorVersion = 0;
    std::uint8_t majorVersion = 0;
    std::uint8_t testResult = 0;  // 0 or 1: passed
    std::string author, name, description;

    bool TestPassed() const { return testResult == 0 || testResult == 1; }
};

// Reads a filled block. Texts end at their first zero or at the end of their
// field, whichever comes first, so a plugin that fills a field to the brim
// never makes us read into the next one.
FpseInfo ParseFpseInfo(const std::array<std::uint8_t, kFpseInfoSize>& block);

// T + "_About" with a zeroed block; nullopt when not exported.
std::optional<FpseInfo> FpseAbout(PluginModule& module, PluginType type);

// The settings block (plugin_types.h). A word is pointer-sized: 32 bits in
// the 32-bit Windows build the plugins are made for, 64 bits where native
// test plugins run.
using FpseSettingsBlock = std::array<std::uintptr_t, kFpseSettingsWords>;

// The block the front end passes: our callbacks on the current settings file.
FpseSettingsBlock MakeFpseSettingsBlock(std::uintptr_t ownerWindow, std::uintptr_t moduleInstance);

// T + "_Configure" with that block; false when not exported.
bool FpseConfigure(PluginModule& module, PluginType type, std::uintptr_t ownerWindow, std::uintptr_t moduleInstance);

}  // namespace dravolo
