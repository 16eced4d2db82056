#include <filesystem>
#include <system_error>

#include "common/platform/process.h"

// Where installed programs in bin/ find their private folder; set by the
// build from the install directories.
#ifndef DRAVOLO_PRIVATE_DIR_FROM_BIN
#define DRAVOLO_PRIVATE_DIR_FROM_BIN "../libexec/dravolo"
#endif

namespace dravolo {

std::string OwnHelperProgram(std::string_view fileName) {
    const std::string dir = OwnProgramDirectory();
    if (dir.empty()) return {};
    const std::filesystem::path own(dir);
    std::error_code ec;
    for (const std::filesystem::path& candidate : {own / fileName, own / DRAVOLO_PRIVATE_DIR_FROM_BIN / fileName}) {
        if (std::filesystem::is_regular_file(candidate, ec)) return candidate.string();
    }
    return {};
}

}  // namespace dravolo
