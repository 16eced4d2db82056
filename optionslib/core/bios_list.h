#pragma once
// The BIOS images offered in the dialog's list: the ".bin" files of the "Bios"
// folder beside the library.

#include <string>
#include <string_view>
#include <vector>

namespace dravolo::kstuff {

// Full paths "<library folder>\\Bios\\<name>" in the order the file system
// lists them; empty when the folder is missing or holds no image.
std::vector<std::string> FindBiosImages(std::string_view libraryPath);

}  // namespace dravolo::kstuff
