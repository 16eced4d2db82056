#pragma once
// KestrineTool lives in the ePSXe folder; everything it finds there is derived
// from its own location.

#include <optional>
#include <string>
#include <string_view>

namespace dravolo::tool {

// The tool's own full file name as a Windows path (on POSIX through the
// prefix's drive mapping: "C:\..." below drive_c, else "Z:\..."). Empty when it
// cannot be told.
std::string ToolModulePath();

// The tool's path upper-cased, with the part after its last backslash
// replaced by "\ePSXe.EXE"; nullopt without a backslash.
std::optional<std::string> EmulatorPathFromToolPath(std::string_view toolPath);

// The path up to, not including, its last backslash; empty without one.
std::string DirectoryOf(std::string_view windowsPath);

// The executable's file name without extension: the program name below the
// settings root ("KestrineTool").
std::string ProgramName(std::string_view toolPath);

}  // namespace dravolo::tool
