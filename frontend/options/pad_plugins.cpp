#include "frontend/options/pad_plugins.h"

#include <array>
#include <cstdio>

#include "common/platform/winfs.h"
#include "common/psemu/fpse_plugin.h"
#include "common/psemu/psemu_plugin.h"

namespace dravolo {

namespace {

// FPSE numbers its pad plugins 3 and 4 in the information block.
bool IsFpsePadType(std::uint8_t type) { return type == 3 || type == 4; }

}  // namespace

std::vector<PadPlugin> FindPsemuPadPlugins(std::string_view pluginDir) {
    std::vector<PadPlugin> pads;
    PluginLoader loader;  // one plugin host run for the whole folder
    for (const FindEntry& entry : FindFiles(std::string(pluginDir) + "pad*.dll", FindWhat::FilesOnly)) {
        const auto module = loader.Open(std::string(pluginDir) + entry.name);
        const auto identity = module ? IdentifyPsemuPlugin(*module) : std::nullopt;
        if (!identity) continue;
        pads.push_back({entry.name, identity->name, identity->type, PadVersionMajor(identity->version),
                        PadVersionMinor(identity->version)});
    }
    return pads;
}

std::vector<PadPlugin> FindFpsePadPlugins(std::string_view pluginDir) {
    std::vector<PadPlugin> pads;
    PluginLoader loader;
    for (const FindEntry& entry : FindFiles(std::string(pluginDir) + "*.dll", FindWhat::FilesOnly)) {
        const auto module = loader.Open(std::string(pluginDir) + entry.name);
        if (!module) continue;
        auto block = module->CallInfoBlock("JOY0_About");
        if (!block) block = module->CallInfoBlock("JOY1_About");
        if (!block) continue;
        const FpseInfo info = ParseFpseInfo(*block);
        if (!IsFpsePadType(info.type)) continue;
        pads.push_back({entry.name, info.name, info.type, info.majorVersion, info.minorVersion});
    }
    return pads;
}

std::string PadEntryText(const PadPlugin& pad) {
    char version[48];
    std::snprintf(version, sizeof version, " - %ld.%ld", pad.major, pad.minor);
    return pad.name + version;
}

std::string PadEntryTextForFile(const std::vector<PadPlugin>& pads, std::string_view fileName) {
    for (const PadPlugin& pad : pads)
        if (pad.fileName == fileName) return PadEntryText(pad);
    return {};
}

std::string PadNameOfEntryText(std::string_view entryText) {
    const std::size_t hyphen = entryText.find('-');
    if (hyphen == std::string_view::npos) return std::string(entryText);
    return std::string(entryText.substr(0, hyphen == 0 ? 0 : hyphen - 1));
}

const PadPlugin* FindPadByName(const std::vector<PadPlugin>& pads, std::string_view name) {
    for (const PadPlugin& pad : pads)
        if (pad.name == name) return &pad;
    return nullptr;
}

std::optional<std::string> PadFileForEntryText(const std::vector<PadPlugin>& pads, std::string_view entryText) {
    if (entryText.empty()) return std::nullopt;
    const PadPlugin* pad = FindPadByName(pads, PadNameOfEntryText(entryText));
    if (!pad) return std::nullopt;
    return pad->fileName;
}

bool ConfigurePsemuPad(std::string_view pluginPath, std::string_view sideFile, RegistryEditor& editor) {
    // The plugin's dialog opens on this profile's pad settings.
    if (!sideFile.empty() && FileExists(sideFile)) editor.Import(sideFile);
    bool loaded = false;
    if (const auto module = OpenPluginModule(pluginPath)) {
        loaded = true;
        module->CallLong("PADconfigure");
    }
    if (!sideFile.empty()) editor.Export(sideFile, kPadSettingsKeyText);
    return loaded;
}

bool ConfigureFpsePad(std::string_view pluginPath, int pad, std::uintptr_t ownerWindow,
                      std::uintptr_t moduleInstance) {
    const auto module = OpenPluginModule(pluginPath);
    if (!module) return false;
    return module->CallSettingsBlock(pad == 0 ? "JOY0_Configure" : "JOY1_Configure", ownerWindow, moduleInstance);
}

}  // namespace dravolo
