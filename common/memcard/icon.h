#pragma once
// A save's 16x16 icon as true-colour pixels, for the UI to turn into its own
// image type.

#include <array>
#include <cstdint>
#include <span>

#include "common/memcard/card_layout.h"

namespace dravolo::memcard {

inline constexpr int kIconWidth = 16;
inline constexpr int kIconHeight = 16;

// Row-major, top row first; each pixel 0xAARRGGBB, always opaque.
using IconPixels = std::array<std::uint32_t, kIconWidth * kIconHeight>;

// 0xFFRRGGBB of a 15-bit palette entry (bits 0-4 red, 5-9 green, 10-14 blue,
// bit 15 ignored), each channel scaled by 8 as the card's colours always were.
std::uint32_t PaletteColour(std::uint16_t entry);

// Decodes the 4-bit icon bitmap (two pixels a byte, the low four bits the
// left one) through the 16-entry palette.
IconPixels MemCardMakeIcon(std::span<const std::uint8_t, kIconSize> pixels,
                           std::span<const std::uint8_t, kPaletteSize> palette);

}  // namespace dravolo::memcard
