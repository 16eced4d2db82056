#include "optionslib/core/bios_list.h"

#include "common/platform/winfs.h"
#include "optionslib/core/module_path.h"

namespace dravolo::kstuff {

std::vector<std::string> FindBiosImages(std::string_view libraryPath) {
    const std::string folder = DirectoryOf(libraryPath);
    const std::string biosFolder = folder.empty() ? std::string("Bios\\") : folder + "\\Bios\\";
    std::vector<std::string> images;
    for (const auto& entry : FindFiles(biosFolder + "*.bin", FindWhat::FilesOnly))
        images.push_back(biosFolder + entry.name);
    return images;
}

}  // namespace dravolo::kstuff
