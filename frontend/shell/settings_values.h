#pragma once
// How the Settings dialog cleans what the user typed before it stores it, and
// the Windows colour value the list's text colour is kept as.

#include <cstdint>
#include <string>
#include <string_view>

namespace dravolo {

// An empty install folder becomes the default; a folder not ending in a
// backslash gets one, since paths are built by appending file names.
std::string NormaliseInstallPath(std::string_view path, std::string_view defaultPath);

// Spaces trimmed from both ends; an empty name becomes the default.
std::string NormaliseProgramName(std::string_view name, std::string_view defaultName);

// A Windows RGB value: 0x00BBGGRR.
inline constexpr std::uint32_t MakeColorRef(int red, int green, int blue) {
    return (static_cast<std::uint32_t>(red) & 0xFFu) | ((static_cast<std::uint32_t>(green) & 0xFFu) << 8) |
           ((static_cast<std::uint32_t>(blue) & 0xFFu) << 16);
}
inline constexpr int RedOf(std::uint32_t colorRef) { return static_cast<int>(colorRef & 0xFFu); }
inline constexpr int GreenOf(std::uint32_t colorRef) { return static_cast<int>((colorRef >> 8) & 0xFFu); }
inline constexpr int BlueOf(std::uint32_t colorRef) { return static_cast<int>((colorRef >> 16) & 0xFFu); }

}  // namespace dravolo
