#pragma once
// The three plugin slots a profile fills and the names each interface gives
// them. PSEmu Pro exports are prefixed "GPU", "SPU", "CDR"; FPSE-native ones
// "GPU", "SPU", "CD"; the shared settings area keeps one key per slot.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/platform/calling_convention.h"

namespace dravolo {

enum class PluginType { Gpu, Spu, Cdr };

// Plugins are called with the caller-cleans convention.
#define DRAVOLO_PLUGIN_CALL DRAVOLO_CDECL

// FPSE-native plugins' two blocks, also filled by the plugin host. The
// information block (T + "_About") is 1156 zeroed bytes. The settings block
// (T + "_Configure") is 14 pointer-sized words, all zero but the read and
// write callbacks, the owner window and the calling module's instance.
inline constexpr std::size_t kPluginInfoBlockSize = 1156;
using PluginInfoBlock = std::array<std::uint8_t, kPluginInfoBlockSize>;
inline constexpr std::size_t kFpseSettingsWords = 14;
inline constexpr std::size_t kFpseReadCallbackWord = 9;
inline constexpr std::size_t kFpseWriteCallbackWord = 10;
inline constexpr std::size_t kFpseWindowWord = 12;
inline constexpr std::size_t kFpseInstanceWord = 13;

// PSEgetLibType bits.
inline constexpr std::uint32_t kPsemuTypeCdr = 1;
inline constexpr std::uint32_t kPsemuTypeGpu = 2;
inline constexpr std::uint32_t kPsemuTypeSpu = 4;

inline constexpr std::string_view kPsemuSettingsKey = "Software\\Vision Thing\\PSEmu Pro";

inline std::string_view PsemuPrefix(PluginType type) {
    switch (type) {
    case PluginType::Gpu: return "GPU";
    case PluginType::Spu: return "SPU";
    case PluginType::Cdr: return "CDR";
    }
    return "GPU";
}

inline std::string_view FpsePrefix(PluginType type) {
    switch (type) {
    case PluginType::Gpu: return "GPU";
    case PluginType::Spu: return "SPU";
    case PluginType::Cdr: return "CD";
    }
    return "GPU";
}

// "Software\\Vision Thing\\PSEmu Pro\\GPU": where the slot's plugins keep
// their settings under HKEY_CURRENT_USER.
inline std::string PsemuSettingsKey(PluginType type) {
    return std::string(kPsemuSettingsKey) + "\\" + std::string(PsemuPrefix(type));
}

// "gpu", "spu", "cdr" (also the side-file extension without its dot).
std::optional<PluginType> PluginTypeFromName(std::string_view name);

}  // namespace dravolo
