#pragma once
// Run-length encoded Windows bitmaps (BI_RLE8, BI_RLE4). The pixel data is a
// stream of two-byte commands over a bottom-up picture: a count and a colour
// (a run), or a zero and an escape: 0 end of line, 1 end of bitmap, 2 a
// move right and up by the next two bytes, 3 to 255 that many pixels given
// one by one (one byte each in RLE8, two per byte in RLE4), padded to an
// even number of bytes. Pixels the stream leaves out stay unset.

#include <cstdint>
#include <span>
#include <vector>

namespace dravolo {

inline constexpr std::int16_t kRleUnset = -1;

// Expands the stream of a picture of width x height (bits 8 or 4), keeping
// only the rows asked for (counted from the bottom, as the stream counts):
// rows[i] comes out as out[i], one palette index per pixel or kRleUnset.
// Runs beyond the right edge are cut, commands beyond the top are ignored.
// False when a command runs past the end of the data; a stream may end
// without its end-of-bitmap mark.
bool ExpandRle(std::span<const std::uint8_t> data, int bits, std::int64_t width, std::int64_t height,
               std::span<const std::int64_t> rows, std::vector<std::vector<std::int16_t>>& out);

}  // namespace dravolo
