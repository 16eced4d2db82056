#pragma once
// A PNG file from 32-bit pixels, without a compression library: the image
// data goes into stored (uncompressed) deflate blocks, which every PNG reader
// takes. Meant for small pictures such as shortcut icons.

#include <cstdint>
#include <span>

#include "common/base/bytes.h"

namespace dravolo {

// pixels: width * height values 0xAARRGGBB, rows top to bottom. Written as
// 8-bit RGBA, no interlace. Empty when the sizes do not match the pixels.
Bytes EncodePng(int width, int height, std::span<const std::uint32_t> pixels);

// CRC-32 as PNG chunks use it (ISO 3309, reflected, 0xEDB88320).
std::uint32_t PngCrc32(std::span<const std::uint8_t> data, std::uint32_t crc = 0);

}  // namespace dravolo
