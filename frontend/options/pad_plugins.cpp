#include "frontend/options/pad_plugins.h"

#include <array>
#include <cstdio>

#include "common/platform/library.h"
#include "common/platform/winfs.h"
#include "common/psemu/fpse_plugin.h"
#include "common/psemu/psemu_plugin.h"

namespace dravolo {

namespace {

using FpseAboutFn = int(DRAVOLO_PLUGIN_CALL*)(void* info);
using FpseConfigureFn = int(DRAVOLO_PLUGIN_CALL*)(void* settings);
using PadConfigureFn = long(DRAVOLO_PLUGIN_CALL*)();

// FPSE numbers its pad plugins 3 and 4 in the information block.
bool IsFpsePadType(std::uint8_t type) { return type == 3 || type == 4; }

}  // namespace

std::vector<PadPlugin> FindPsemuPadPlugins(std::string_view pluginDir) {
    std::vector<PadPlugin> pads;
    for (const FindEntry& entry : FindFiles(std::string(pluginDir) + "pad*.dll", FindWhat::FilesOnly)) {
        const auto identity = IdentifyPsemuPluginFile(std::string(pluginDir) + entry.name);
        if (!identity) continue;
        pads.push_back({entry.name, identity->name, identity->type, PadVersionMajor(identity->version),
                        PadVersionMinor(identity->version)});
    }
    return pads;
}

std::vector<PadPlugin> FindFpsePadPlugins(std::string_view pluginDir) {
    std::vector<PadPlugin> pads;
    for (const FindEntry& entry : FindFiles(std::string(pluginDir) + "*.dll", FindWhat::FilesOnly)) {
        const auto library = Library::Load(std::string(pluginDir) + entry.name);
        if (!library) continue;
        auto about = library->Function<FpseAboutFn>("JOY0_About");
        if (!about) about = library->Function<FpseAboutFn>("JOY1_About");
        if (!about) continue;
        std::array<std::uint8_t, kFpseInfoSize> block{};
        about(block.data());
        const FpseInfo info = ParseFpseInfo(block);
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
    if (const auto library = Library::Load(pluginPath)) {
        loaded = true;
        if (const auto configure = library->Function<PadConfigureFn>("PADconfigure")) configure();
    }
    if (!sideFile.empty()) editor.Export(sideFile, kPadSettingsKeyText);
    return loaded;
}

bool ConfigureFpsePad(std::string_view pluginPath, int pad, std::uintptr_t ownerWindow,
                      std::uintptr_t moduleInstance) {
    const auto library = Library::Load(pluginPath);
    if (!library) return false;
    const auto configure = library->Function<FpseConfigureFn>(pad == 0 ? "JOY0_Configure" : "JOY1_Configure");
    if (!configure) return false;
    FpseSettingsBlock block = MakeFpseSettingsBlock(ownerWindow, moduleInstance);
    configure(block.data());
    return true;
}

}  // namespace dravolo
