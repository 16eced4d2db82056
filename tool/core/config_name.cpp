#include "tool/core/config_name.h"

namespace dravolo::tool {

bool IsUsableConfigurationName(std::string_view name) {
    return !name.empty() && name.size() <= kMaxKeyNameLength && name.find('\\') == std::string_view::npos;
}

std::string ConfigurationKeyName(std::string_view name) {
    if (name == kActiveConfigurationName) return std::string(name);
    return "KestrineCFG\\" + std::string(name);
}

std::string ConfigurationKeyPath(std::string_view name) {
    return std::string(kVisionThingKey) + "\\" + ConfigurationKeyName(name);
}

}  // namespace dravolo::tool
