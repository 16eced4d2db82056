#include "common/memcard/icon.h"

#include "common/base/bytes.h"

namespace dravolo::memcard {

std::uint32_t PaletteColour(std::uint16_t entry) {
    const std::uint32_t red = (entry & 0x1Fu) * 8;
    const std::uint32_t green = ((entry >> 5) & 0x1Fu) * 8;
    const std::uint32_t blue = ((entry >> 10) & 0x1Fu) * 8;
    return 0xFF000000u | red << 16 | green << 8 | blue;
}

IconPixels MemCardMakeIcon(std::span<const std::uint8_t, kIconSize> pixels,
                           std::span<const std::uint8_t, kPaletteSize> palette) {
    std::array<std::uint32_t, 16> colours{};
    for (std::size_t c = 0; c < colours.size(); ++c) colours[c] = PaletteColour(LoadU16(palette.data() + 2 * c));

    IconPixels icon{};
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        icon[2 * i] = colours[pixels[i] & 0x0F];
        icon[2 * i + 1] = colours[pixels[i] >> 4];
    }
    return icon;
}

}  // namespace dravolo::memcard
