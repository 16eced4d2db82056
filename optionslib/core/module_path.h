#pragma once
// Where the library lives. The options library finds its BIOS folder and
// ePSXe beside itself, wherever the host loaded it from.

#include <string>
#include <string_view>

namespace dravolo::kstuff {

// Full Windows path of the module (shared library or program) this code is
// linked into: GetModuleFileName on Windows; on POSIX the loaded file's path,
// made absolute when the library was loaded (not against the host's directory
// of the moment), mapped into the prefix ("Z:\\...", or "C:\\..." below drive_c). Empty when
// it cannot be told.
std::string ThisModulePath();

// The path up to, not including, its last backslash; empty without one.
std::string DirectoryOf(std::string_view windowsPath);
// The path with everything after its last backslash replaced by name; just
// name when there is no backslash.
std::string SiblingPath(std::string_view windowsPath, std::string_view name);

}  // namespace dravolo::kstuff
