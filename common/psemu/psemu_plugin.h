#pragma once
// Calls into PSEmu Pro plugins: identification, the configure sequence, the
// about box and the self test. Every call takes a loaded module; loading and
// releasing stay with the caller so a page can run several calls on one load.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/psemu/plugin_module.h"
#include "common/psemu/plugin_types.h"

namespace dravolo {

struct PsemuIdentity {
    std::string name;        // PSEgetLibName
    std::uint32_t type = 0;  // PSEgetLibType bits (kPsemuType...)
    std::uint32_t version = 0;
};

// Calls PSEgetLibName, PSEgetLibType and PSEgetLibVersion in this order;
// nullopt when any of the three is not exported.
std::optional<PsemuIdentity> IdentifyPsemuPlugin(PluginModule& module);
// Loads the file, identifies it and releases it.
std::optional<PsemuIdentity> IdentifyPsemuPluginFile(std::string_view path);

// The two ways callers cut the version word.
inline int VersionMajor(std::uint32_t v) { return static_cast<int>((v >> 8) & 0xFF); }
inline int VersionMinor(std::uint32_t v) { return static_cast<int>(v & 0xFF); }
inline int PadVersionMajor(std::uint32_t v) { return static_cast<int>(v >> 16); }
inline int PadVersionMinor(std::uint32_t v) { return static_cast<int>((v >> 8) & 0xFF); }

enum class PsemuConfigureResult { Configured, NoConfigureEntry };
// T + "init" (when exported), T + "configure" (the plugin's modal dialog, which
// stores its settings in the plugin's registry key), T + "shutdown" (when
// exported). A plugin without a configure entry is not called at all: an init
// without its shutdown could leave the plugin running when it is released.
PsemuConfigureResult RunPsemuConfigure(PluginModule& module, PluginType type);

// T + "about"; false when not exported.
bool ShowPsemuAbout(PluginModule& module, PluginType type);

// T + "test": nullopt when not exported.
std::optional<std::int32_t> RunPsemuTest(PluginModule& module, PluginType type);
// 0 and 0xF0F0 mean passed.
inline bool PsemuTestPassed(std::int32_t result) { return result == 0 || result == 0xF0F0; }

}  // namespace dravolo
