#pragma once
// The tool's registry operations, all below HKEY_CURRENT_USER: read, write and
// delete one value, delete a key tree, and the text shortcuts for the
// subkeys of the active configuration area.

#include <optional>
#include <string>
#include <string_view>

#include "common/platform/registry.h"
#include "tool/core/reg_value_buffer.h"

namespace dravolo::tool {

class ToolRegistry {
public:
    explicit ToolRegistry(Registry& registry) : registry_(registry) {}
    Registry& registry() { return registry_; }

    // nullopt when the key or the value is missing.
    std::optional<RegValueBuffer> ReadValue(std::string_view key, std::string_view name);
    // Creates the key when it is missing.
    bool WriteValue(std::string_view key, std::string_view name, const RegValueBuffer& value);
    bool DeleteValue(std::string_view key, std::string_view name);
    // The key with all its subkeys.
    bool DeleteKey(std::string_view key);

    // Text values of "Software\Vision Thing\PSEmu Pro\<subkey>".
    std::optional<std::string> ReadPsemuText(std::string_view subkey, std::string_view name);
    bool WritePsemuText(std::string_view subkey, std::string_view name, std::string_view text);

    // Typed reads under the buffer's rules.
    std::optional<std::string> ReadText(std::string_view key, std::string_view name);
    std::optional<std::uint32_t> ReadNumber(std::string_view key, std::string_view name);

private:
    Registry& registry_;
};

}  // namespace dravolo::tool
