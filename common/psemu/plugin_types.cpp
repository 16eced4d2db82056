#include "common/psemu/plugin_types.h"

#include "common/base/text.h"

namespace dravolo {

std::optional<PluginType> PluginTypeFromName(std::string_view name) {
    if (EqualsNoCase(name, "gpu")) return PluginType::Gpu;
    if (EqualsNoCase(name, "spu")) return PluginType::Spu;
    if (EqualsNoCase(name, "cdr")) return PluginType::Cdr;
    return std::nullopt;
}

}  // namespace dravolo
