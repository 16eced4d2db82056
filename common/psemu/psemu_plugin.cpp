#include "common/psemu/psemu_plugin.h"

#include <memory>

namespace dravolo {

namespace {

using NameFn = const char*(DRAVOLO_PLUGIN_CALL*)();
using LongFn = long(DRAVOLO_PLUGIN_CALL*)();
using VoidFn = void(DRAVOLO_PLUGIN_CALL*)();

std::string Export(PluginType type, std::string_view suffix) {
    return std::string(PsemuPrefix(type)) + std::string(suffix);
}

}  // namespace

std::optional<PsemuIdentity> IdentifyPsemuPlugin(const Library& library) {
    const auto getName = library.Function<NameFn>("PSEgetLibName");
    const auto getType = library.Function<LongFn>("PSEgetLibType");
    const auto getVersion = library.Function<LongFn>("PSEgetLibVersion");
    if (!getName || !getType || !getVersion) return std::nullopt;
    PsemuIdentity id;
    const char* name = getName();
    id.name = name ? name : "";
    id.type = static_cast<std::uint32_t>(getType());
    id.version = static_cast<std::uint32_t>(getVersion());
    return id;
}

std::optional<PsemuIdentity> IdentifyPsemuPluginFile(std::string_view path) {
    const auto library = Library::Load(path);
    if (!library) return std::nullopt;
    return IdentifyPsemuPlugin(*library);
}

PsemuConfigureResult RunPsemuConfigure(const Library& library, PluginType type) {
    const auto configure = library.Function<LongFn>(Export(type, "configure").c_str());
    if (!configure) return PsemuConfigureResult::NoConfigureEntry;
    if (const auto init = library.Function<LongFn>(Export(type, "init").c_str())) init();
    configure();
    if (const auto shutdown = library.Function<LongFn>(Export(type, "shutdown").c_str())) shutdown();
    return PsemuConfigureResult::Configured;
}

bool ShowPsemuAbout(const Library& library, PluginType type) {
    const auto about = library.Function<VoidFn>(Export(type, "about").c_str());
    if (!about) return false;
    about();
    return true;
}

std::optional<std::int32_t> RunPsemuTest(const Library& library, PluginType type) {
    const auto test = library.Function<LongFn>(Export(type, "test").c_str());
    if (!test) return std::nullopt;
    return static_cast<std::int32_t>(test());
}

}  // namespace dravolo
