#include "frontend/plugins/plugin_discovery.h"

#include <cstdio>

#include "common/platform/winfs.h"
#include "common/psemu/fpse_plugin.h"
#include "common/psemu/psemu_plugin.h"
#include "frontend/launch/quick_configure.h"

namespace dravolo {

namespace {

std::uint32_t PsemuTypeBit(PluginType type) {
    switch (type) {
    case PluginType::Gpu: return kPsemuTypeGpu;
    case PluginType::Spu: return kPsemuTypeSpu;
    case PluginType::Cdr: return kPsemuTypeCdr;
    }
    return 0;
}

std::string_view PsemuMask(PluginType type) {
    switch (type) {
    case PluginType::Gpu: return "gpu*.dll";
    case PluginType::Spu: return "spu*.dll";
    case PluginType::Cdr: return "cdr*.dll";
    }
    return "gpu*.dll";
}

std::uint8_t FpseTypeNumber(PluginType type) {
    switch (type) {
    case PluginType::Gpu: return kFpseTypeGpu;
    case PluginType::Spu: return kFpseTypeSpu;
    case PluginType::Cdr: return kFpseTypeCdr;
    }
    return 0;
}

std::string_view FpseMask(PluginType type) {
    switch (type) {
    case PluginType::Gpu: return "gpu*.dll";
    case PluginType::Spu: return "spu*.dll";
    case PluginType::Cdr: return "cd*.dll";
    }
    return "gpu*.dll";
}

// ePSXe's registry value can hold at most this many bytes for it to be read.
constexpr std::size_t kVersionValueLimit = 260;

}  // namespace

std::string_view FpseBridgeFile(PluginType type) {
    switch (type) {
    case PluginType::Gpu: return "GPUPSEMU.DLL";
    case PluginType::Spu: return "SPUPSEMU.DLL";
    case PluginType::Cdr: return "CDPSEMU.DLL";
    }
    return "GPUPSEMU.DLL";
}

std::uint32_t EpsxeInternalVersion(Registry& registry) {
    const auto value = registry.QueryValue(RegRoot::CurrentUser, kEpsxeConfigKey, "Version");
    if (!value || !IsRegStringType(value->type) || value->data.size() > kVersionValueLimit) return 0;
    const std::string text = RegDataAsText(value->data);
    // The leading decimal number, as atoi reads it: blanks, a sign, digits.
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::uint64_t number = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        number = number * 10 + static_cast<unsigned>(text[i] - '0');
        if (number > 0x7FFFFFFF) return 0;  // not a version ePSXe writes
    }
    if (negative) return 0;
    return static_cast<std::uint32_t>(number) >> 8;
}

std::vector<PluginEntry> DiscoverPsemuPlugins(EmulatorKind kind, std::string_view installPath, PluginType type,
                                              Registry& registry, PluginLoader& loader) {
    std::vector<PluginEntry> list;
    if (kind == EmulatorKind::Epsxe && type != PluginType::Gpu) {
        const std::uint32_t version = EpsxeInternalVersion(registry);
        if (type == PluginType::Spu) {
            list.push_back({"Internal SPU Plugin", kPsemuTypeSpu, version, "SPUCORE"});
        } else {
            list.push_back({"Internal Win9X CDR Plugin", kPsemuTypeCdr, version, "W9XCDRCORE"});
            list.push_back({"Internal Win2K CDR Plugin", kPsemuTypeCdr, version, "W2KCDRCORE"});
        }
    }
    const std::string dir = std::string(installPath) + std::string(PsemuPluginDirectory(kind));
    for (const FindEntry& entry : FindFiles(dir + std::string(PsemuMask(type)), FindWhat::FilesOnly)) {
        const auto module = loader.Open(dir + entry.name);
        const auto identity = module ? IdentifyPsemuPlugin(*module) : std::nullopt;
        if (!identity || identity->type != PsemuTypeBit(type)) continue;
        list.push_back({identity->name, identity->type, identity->version, entry.name});
    }
    return list;
}

std::vector<PluginEntry> DiscoverPcsxrPlugins(std::string_view pluginsDir, PluginType type, PluginLoader& loader) {
    std::vector<PluginEntry> list;
    const std::string dir(pluginsDir);
    for (const FindEntry& entry : FindFiles(dir + "lib*.so", FindWhat::FilesOnly)) {
        const auto module = loader.Open(dir + entry.name);
        const auto identity = module ? IdentifyPsemuPlugin(*module) : std::nullopt;
        if (!identity || identity->type != PsemuTypeBit(type)) continue;
        list.push_back({identity->name, identity->type, identity->version, entry.name});
    }
    return list;
}

std::vector<PluginEntry> DiscoverFpseNativePlugins(std::string_view fpsePath, PluginType type, PluginLoader& loader) {
    std::vector<PluginEntry> list;
    const std::string dir = std::string(fpsePath) + "plugin\\";
    for (const FindEntry& entry : FindFiles(dir + std::string(FpseMask(type)), FindWhat::FilesOnly)) {
        if (entry.name == FpseBridgeFile(type)) continue;
        const auto module = loader.Open(dir + entry.name);
        if (!module) continue;
        const auto info = FpseAbout(*module, type);
        if (!info || info->type != FpseTypeNumber(type)) continue;
        const std::uint32_t version = static_cast<std::uint32_t>(info->majorVersion) * 256 + info->minorVersion;
        list.push_back({info->name, info->type, version, entry.name});
    }
    // Only FPSE's own plugins are in the list yet.
    for (PluginEntry& e : list) e.fileName.insert(0, 1, 'F');
    return list;
}

std::vector<PluginEntry> DiscoverPlugins(EmulatorKind kind, std::string_view installPath, PluginType type,
                                         Registry& registry, PluginLoader& loader) {
    std::vector<PluginEntry> list;
    if (kind == EmulatorKind::Fpse) list = DiscoverFpseNativePlugins(installPath, type, loader);
    for (PluginEntry& e : DiscoverPsemuPlugins(kind, installPath, type, registry, loader)) list.push_back(std::move(e));
    return list;
}

bool IsFpseNativeEntry(const PluginEntry& entry, EmulatorKind kind) {
    return kind == EmulatorKind::Fpse && !entry.fileName.empty() && entry.fileName[0] == 'F';
}

std::string PluginVersionText(const PluginEntry& entry, EmulatorKind kind) {
    char text[64];
    std::snprintf(text, sizeof text, "%ld.%ld%s", static_cast<long>(VersionMajor(entry.version)),
                  static_cast<long>(VersionMinor(entry.version)), IsFpseNativeEntry(entry, kind) ? " - FPSE" : "");
    return text;
}

std::string PluginShownFileName(const PluginEntry& entry, EmulatorKind kind) {
    return IsFpseNativeEntry(entry, kind) ? entry.fileName.substr(1) : entry.fileName;
}

std::string_view PluginNameColumn(PluginType type) {
    switch (type) {
    case PluginType::Gpu: return "Gpu Name";
    case PluginType::Spu: return "Spu Name";
    case PluginType::Cdr: return "Cdrom Name";
    }
    return "Gpu Name";
}

}  // namespace dravolo
