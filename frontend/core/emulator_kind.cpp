#include "frontend/core/emulator_kind.h"

#include "common/base/text.h"

namespace dravolo {

std::optional<EmulatorKind> KindFromDirectoryName(std::string_view name) {
    for (const auto& info : kEmulatorKinds)
        if (EqualsNoCase(info.directory, name)) return info.kind;
    return std::nullopt;
}

}  // namespace dravolo
