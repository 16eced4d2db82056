#pragma once
// The "Date" columns: a file's last write time in local time as "%Y/%m/%d".

#include <optional>
#include <string>
#include <string_view>

namespace dravolo::tool {

// nullopt when the file cannot be opened for reading.
std::optional<std::string> FileDateText(std::string_view windowsPath);

}  // namespace dravolo::tool
