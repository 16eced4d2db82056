#include "common/psemu/psemu_plugin.h"

namespace dravolo {

namespace {

std::string Export(PluginType type, std::string_view suffix) {
    return std::string(PsemuPrefix(type)) + std::string(suffix);
}

}  // namespace

std::optional<PsemuIdentity> IdentifyPsemuPlugin(PluginModule& module) {
    if (!module.Has("PSEgetLibName") || !module.Has("PSEgetLibType") || !module.Has("PSEgetLibVersion"))
        return std::nullopt;
    const auto name = module.CallText("PSEgetLibName");
    const auto type = module.CallLong("PSEgetLibType");
    const auto version = module.CallLong("PSEgetLibVersion");
    if (!name || !type || !version) return std::nullopt;  // the plugin host went away
    PsemuIdentity id;
    id.name = *name;
    id.type = static_cast<std::uint32_t>(*type);
    id.version = static_cast<std::uint32_t>(*version);
    return id;
}

std::optional<PsemuIdentity> IdentifyPsemuPluginFile(std::string_view path) {
    const auto module = OpenPluginModule(path);
    if (!module) return std::nullopt;
    return IdentifyPsemuPlugin(*module);
}

PsemuConfigureResult RunPsemuConfigure(PluginModule& module, PluginType type) {
    const std::string configure = Export(type, "configure");
    if (!module.Has(configure)) return PsemuConfigureResult::NoConfigureEntry;
    module.CallLong(Export(type, "init"));
    module.CallLong(configure);
    module.CallLong(Export(type, "shutdown"));
    return PsemuConfigureResult::Configured;
}

bool ShowPsemuAbout(PluginModule& module, PluginType type) { return module.CallVoid(Export(type, "about")); }

std::optional<std::int32_t> RunPsemuTest(PluginModule& module, PluginType type) {
    return module.CallLong(Export(type, "test"));
}

}  // namespace dravolo
