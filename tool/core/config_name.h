#pragma once
// Configurations are key trees under HKEY_CURRENT_USER\Software\Vision Thing:
// the active one in "PSEmu Pro" (where plugins and ePSXe read it), stored ones
// in "KestrineCFG\<name>".

#include <cstddef>
#include <string>
#include <string_view>

namespace dravolo::tool {

inline constexpr std::string_view kVisionThingKey = "Software\\Vision Thing";
inline constexpr std::string_view kActiveConfigurationName = "PSEmu Pro";
inline constexpr std::string_view kActiveConfigurationKey = "Software\\Vision Thing\\PSEmu Pro";
// The longest key name the registry allows.
inline constexpr std::size_t kMaxKeyNameLength = 255;

// A name is used as one key name below "KestrineCFG": an empty name would
// address "KestrineCFG" itself, a backslash another key further down, and a
// name longer than a key name may be cannot be created at all. Since a
// configuration copy deletes its destination first, such names are refused
// before the registry is touched.
bool IsUsableConfigurationName(std::string_view name);

// "PSEmu Pro" for the active area, else "KestrineCFG\" + name.
std::string ConfigurationKeyName(std::string_view name);
// The full path below HKEY_CURRENT_USER.
std::string ConfigurationKeyPath(std::string_view name);

}  // namespace dravolo::tool
