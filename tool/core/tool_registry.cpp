#include "tool/core/tool_registry.h"

#include "tool/core/config_name.h"

namespace dravolo::tool {

std::optional<RegValueBuffer> ToolRegistry::ReadValue(std::string_view key, std::string_view name) {
    auto value = registry_.QueryValue(RegRoot::CurrentUser, key, name);
    if (!value) return std::nullopt;
    return RegValueBuffer(value->type, std::move(value->data));
}

bool ToolRegistry::WriteValue(std::string_view key, std::string_view name, const RegValueBuffer& value) {
    return registry_.SetValue(RegRoot::CurrentUser, key, name, value.type(), value.bytes());
}

bool ToolRegistry::DeleteValue(std::string_view key, std::string_view name) {
    return registry_.DeleteValue(RegRoot::CurrentUser, key, name);
}

bool ToolRegistry::DeleteKey(std::string_view key) { return registry_.DeleteTree(RegRoot::CurrentUser, key); }

std::optional<std::string> ToolRegistry::ReadPsemuText(std::string_view subkey, std::string_view name) {
    return ReadText(std::string(kActiveConfigurationKey) + "\\" + std::string(subkey), name);
}

bool ToolRegistry::WritePsemuText(std::string_view subkey, std::string_view name, std::string_view text) {
    RegValueBuffer value;
    value.SetText(text);
    return WriteValue(std::string(kActiveConfigurationKey) + "\\" + std::string(subkey), name, value);
}

std::optional<std::string> ToolRegistry::ReadText(std::string_view key, std::string_view name) {
    const auto value = ReadValue(key, name);
    return value ? value->AsText() : std::nullopt;
}

std::optional<std::uint32_t> ToolRegistry::ReadNumber(std::string_view key, std::string_view name) {
    const auto value = ReadValue(key, name);
    return value ? value->AsNumber() : std::nullopt;
}

}  // namespace dravolo::tool
