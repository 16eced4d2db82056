#pragma once
// Pad plugin lists of the option pages. PCSX, AdriPSX and PSinex use PSEmu Pro
// pad plugins ("pad*.dll" in their plugin folder); FPSE uses its own pad
// plugins, any "*.dll" in its "plugin\\" folder whose JOY0_About (or
// JOY1_About) reports a pad. A list shows "name - major.minor"; choosing an
// entry stores its file name in the record.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/base/prompter.h"
#include "frontend/launch/plugin_settings.h"

namespace dravolo {

struct PadPlugin {
    std::string fileName;  // "padJoy.dll", without folder
    std::string name;
    std::uint32_t type = 0;
    long major = 0;
    long minor = 0;
};

// PCSX-Reloaded's pads: the lib*.so files of its plugin folder (host path
// ending in '/') that say they are pads.
std::vector<PadPlugin> FindPcsxrPadPlugins(std::string_view pluginDir);

// pluginDir ends in a backslash. Libraries that do not load or lack the
// identification entries are left out.
std::vector<PadPlugin> FindPsemuPadPlugins(std::string_view pluginDir);
std::vector<PadPlugin> FindFpsePadPlugins(std::string_view pluginDir);

// "%s - %ld.%ld".
std::string PadEntryText(const PadPlugin& pad);
// The list's order: indices into pads, sorted by entry text ignoring case as
// a sorted Windows list sorts (equal texts keep the folder's order). Each
// entry stands for its plugin, so a name with hyphens, or two plugins that
// show alike, still lead to the right file.
std::vector<std::size_t> PadListOrder(const std::vector<PadPlugin>& pads);
// The plugin stored as `fileName`; nullopt when none is.
std::optional<std::size_t> FindPadByFile(const std::vector<PadPlugin>& pads, std::string_view fileName);

// "Config" of a PSEmu Pro pad: imports the profile's ".pad" side file when it
// exists, runs the plugin's PADconfigure (when exported) and exports the PAD
// settings key back into the side file. An empty sideFile (no profile) skips
// both. False when the plugin could not be loaded. A plugin that takes its
// host down is reported through the prompter.
inline constexpr std::string_view kPadSettingsKeyText = "HKEY_CURRENT_USER\\Software\\Vision Thing\\PSEmu Pro\\PAD";
bool ConfigurePsemuPad(std::string_view pluginPath, std::string_view sideFile, RegistryEditor& editor,
                       Prompter& prompter);

// "Config" of one of PCSX-Reloaded's pads (in pluginsDir): the profile's
// copy of the plugin's settings file goes back to ~/.pcsxr/plugins/ first and
// the file is copied into the side file afterwards.
bool ConfigurePcsxrPad(std::string_view pluginsDir, std::string_view pluginFile, std::string_view sideFile,
                       Prompter& prompter);

// "Config" of an FPSE pad: JOY0_Configure (pad 0) or JOY1_Configure (pad 1)
// with the FPSE settings block. False when the plugin or the entry is missing.
bool ConfigureFpsePad(std::string_view pluginPath, int pad, std::uintptr_t ownerWindow, std::uintptr_t moduleInstance,
                      Prompter& prompter);

}  // namespace dravolo
