#pragma once
// Quick Configure (Profiles menu and the list's context menu): restore the
// profile's saved settings of one plugin, open that plugin's own settings
// dialog, and save the result back into the profile's side file. Nothing here
// shows a message of its own; the record load tells the user when the
// profile cannot be read.

#include <cstdint>
#include <optional>
#include <string>

#include "common/base/prompter.h"
#include "common/psemu/plugin_types.h"
#include "frontend/core/emulator_kind.h"
#include "frontend/launch/plugin_settings.h"

namespace dravolo {

class SettingsStore;

struct QuickConfigureRequest {
    EmulatorKind kind = EmulatorKind::Epsxe;
    std::optional<std::string> profileName;  // nullopt: no row remembered
    PluginType type = PluginType::Gpu;
    // Handed to FPSE-native plugins as the owner of their dialog.
    std::uintptr_t ownerWindow = 0;
    std::uintptr_t moduleInstance = 0;
};

enum class QuickConfigureResult {
    NoProfile,         // nothing selected: nothing done
    RecordUnreadable,  // the side file was imported, nothing else
    LibraryNotLoaded,  // no export (FPSE still exports)
    NoConfigureEntry,  // no export (FPSE still exports)
    Configured,        // the plugin's dialog ran and the side file was written
    PluginLost,        // the plugin's host ended during the call; the user was told
};

// Where quick configure looks for the kind's plugins, below its install path.
std::string_view PsemuPluginDirectory(EmulatorKind kind);  // "plugins\\", "plugin\\psemu\\" ...
inline constexpr std::string_view kFpseNativePluginDirectory = "plugin\\";

QuickConfigureResult QuickConfigurePlugin(const QuickConfigureRequest& request, const SettingsStore& settings,
                                          Prompter& prompter, RegistryEditor& editor);

}  // namespace dravolo
