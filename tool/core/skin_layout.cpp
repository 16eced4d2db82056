#include "tool/core/skin_layout.h"

namespace dravolo::tool {

std::string SkinPath(std::string_view toolDirectory) { return std::string(toolDirectory) + "\\skins\\kestrine.bmp"; }

bool IsUsableSkinFile(std::span<const std::uint8_t> file) {
    constexpr std::size_t kFileHeader = 14;
    constexpr std::size_t kSmallestInfoHeader = 12;  // the old OS/2 core header
    if (file.size() < kFileHeader + kSmallestInfoHeader) return false;
    if (file[0] != 'B' || file[1] != 'M') return false;
    const std::uint32_t declared = LoadU32(file.data() + 2);
    const std::uint32_t pixelsAt = LoadU32(file.data() + 10);
    const std::uint32_t infoSize = LoadU32(file.data() + kFileHeader);
    if (infoSize < kSmallestInfoHeader || kFileHeader + infoSize > file.size()) return false;
    if (pixelsAt > file.size()) return false;
    // A cut file: fewer bytes than the header promises.
    return declared <= file.size();
}

}  // namespace dravolo::tool
