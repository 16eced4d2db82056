#pragma once
// Finding the GPU, SPU and CD-ROM plugins of an emulator for the plugin page:
// PSEmu Pro plugins in the emulator's plugin folder, ePSXe's built-in
// plugins, and for FPSE also its own plugins (file names marked with "F").

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/platform/registry.h"
#include "common/psemu/plugin_module.h"
#include "common/psemu/plugin_types.h"
#include "frontend/core/emulator_kind.h"

namespace dravolo {

struct PluginEntry {
    std::string name;
    std::uint32_t type = 0;
    std::uint32_t version = 0;  // bits 8..15 major, 0..7 minor
    std::string fileName;       // FPSE's own plugins carry the marker "F"
};

inline constexpr std::string_view kEpsxeConfigKey = "Software\\epsxe\\config";

// ePSXe's "Version" text value, its leading number shifted right by 8; 0 when
// it cannot be read.
std::uint32_t EpsxeInternalVersion(Registry& registry);

// PSEmu Pro plugins of the type: for ePSXe first its built-in entries, then
// installPath + plugin folder + "gpu*.dll" / "spu*.dll" / "cdr*.dll" whose
// PSEgetLibType equals the type's bit.
// All plugins of one scan go through `loader`, so Windows DLLs on Linux share
// one plugin host run.
std::vector<PluginEntry> DiscoverPsemuPlugins(EmulatorKind kind, std::string_view installPath, PluginType type,
                                              Registry& registry, PluginLoader& loader);
// PCSX-Reloaded's plugins of the type: "lib*.so" in its plugin folder (host
// path ending in '/') whose PSEgetLibType equals the type's bit.
std::vector<PluginEntry> DiscoverPcsxrPlugins(std::string_view pluginsDir, PluginType type, PluginLoader& loader);
// FPSE's own plugins of the type in fpsePath + "plugin\\", bridge libraries
// skipped, file names marked.
std::vector<PluginEntry> DiscoverFpseNativePlugins(std::string_view fpsePath, PluginType type, PluginLoader& loader);
// The page's list of the type: FPSE's own plugins first (FPSE only), then the
// PSEmu Pro ones.
std::vector<PluginEntry> DiscoverPlugins(EmulatorKind kind, std::string_view installPath, PluginType type,
                                         Registry& registry, PluginLoader& loader);

bool IsFpseNativeEntry(const PluginEntry& entry, EmulatorKind kind);
// "%ld.%ld%s": major, minor, " - FPSE" for FPSE's own plugins.
std::string PluginVersionText(const PluginEntry& entry, EmulatorKind kind);
// The file name the list shows: without the marker.
std::string PluginShownFileName(const PluginEntry& entry, EmulatorKind kind);

// "Gpu Name", "Spu Name", "Cdrom Name".
std::string_view PluginNameColumn(PluginType type);
// The bridge library FPSE loads for a PSEmu Pro plugin of the type.
std::string_view FpseBridgeFile(PluginType type);

}  // namespace dravolo
