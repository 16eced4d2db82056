#include "frontend/options/pad_plugins.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "common/base/text.h"
#include "common/platform/winfs.h"
#include "common/psemu/fpse_plugin.h"
#include "common/psemu/psemu_plugin.h"
#include "frontend/launch/pcsxr_plugin_settings.h"
#include "frontend/profiles/pcsxr_program.h"

namespace dravolo {

namespace {

// PSEgetLibType's pad bit.
constexpr std::uint32_t kPadTypeBit = 8;

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

std::vector<PadPlugin> FindPcsxrPadPlugins(std::string_view pluginDir) {
    std::vector<PadPlugin> pads;
    PluginLoader loader;
    for (const FindEntry& entry : FindFiles(std::string(pluginDir) + "lib*.so", FindWhat::FilesOnly)) {
        const auto module = loader.Open(std::string(pluginDir) + entry.name);
        const auto identity = module ? IdentifyPsemuPlugin(*module) : std::nullopt;
        if (!identity || (identity->type & kPadTypeBit) == 0) continue;
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

std::vector<std::size_t> PadListOrder(const std::vector<PadPlugin>& pads) {
    std::vector<std::string> texts;
    texts.reserve(pads.size());
    for (const PadPlugin& pad : pads) texts.push_back(PadEntryText(pad));
    std::vector<std::size_t> order(pads.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&texts](std::size_t a, std::size_t b) { return CompareNoCase(texts[a], texts[b]) < 0; });
    return order;
}

std::optional<std::size_t> FindPadByFile(const std::vector<PadPlugin>& pads, std::string_view fileName) {
    if (fileName.empty()) return std::nullopt;
    for (std::size_t i = 0; i < pads.size(); ++i)
        if (pads[i].fileName == fileName) return i;
    return std::nullopt;
}

bool ConfigurePsemuPad(std::string_view pluginPath, std::string_view sideFile, RegistryEditor& editor,
                       Prompter& prompter) {
    // The plugin's dialog opens on this profile's pad settings.
    if (!sideFile.empty() && FileExists(sideFile)) editor.Import(sideFile);
    bool loaded = false;
    if (const auto module = OpenPluginModule(pluginPath)) {
        loaded = true;
        module->CallLong("PADconfigure");
        ReportPluginLost(*module, prompter);
    }
    if (!sideFile.empty()) editor.Export(sideFile, kPadSettingsKeyText);
    return loaded;
}

bool ConfigurePcsxrPad(std::string_view pluginsDir, std::string_view pluginFile, std::string_view sideFile,
                       Prompter& prompter) {
    const auto home = PcsxrHome();
    if (!sideFile.empty() && home) RestorePcsxrPluginSettings(sideFile, *home);
    bool loaded = false;
    if (const auto module = OpenPluginModule(std::string(pluginsDir) + std::string(pluginFile))) {
        loaded = true;
        module->CallLong("PADconfigure");
        ReportPluginLost(*module, prompter);
    }
    if (!sideFile.empty() && home) CapturePcsxrPluginSettings(sideFile, pluginFile, *home);
    return loaded;
}

bool ConfigureFpsePad(std::string_view pluginPath, int pad, std::uintptr_t ownerWindow, std::uintptr_t moduleInstance,
                      Prompter& prompter) {
    const auto module = OpenPluginModule(pluginPath);
    if (!module) return false;
    const bool called =
        module->CallSettingsBlock(pad == 0 ? "JOY0_Configure" : "JOY1_Configure", ownerWindow, moduleInstance);
    ReportPluginLost(*module, prompter);
    return called;
}

}  // namespace dravolo
