#include "frontend/shell/bitmap_rle.h"

#include <algorithm>

namespace dravolo {

namespace {

class RleCanvas {
public:
    RleCanvas(std::int64_t width, std::int64_t height, std::span<const std::int64_t> rows,
              std::vector<std::vector<std::int16_t>>& out)
        : width_(width), slotOfRow_(static_cast<std::size_t>(height), -1), out_(out) {
        out_.assign(rows.size(), std::vector<std::int16_t>(static_cast<std::size_t>(width), kRleUnset));
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i] >= 0 && rows[i] < height) slotOfRow_[static_cast<std::size_t>(rows[i])] = static_cast<int>(i);
    }

    void Put(std::int64_t x, std::int64_t y, std::uint8_t index) {
        if (x >= width_) return;
        const int slot = slotOfRow_[static_cast<std::size_t>(y)];
        if (slot >= 0) out_[static_cast<std::size_t>(slot)][static_cast<std::size_t>(x)] = index;
    }

private:
    std::int64_t width_;
    std::vector<int> slotOfRow_;
    std::vector<std::vector<std::int16_t>>& out_;
};

// The i-th pixel of a run or an absolute block: RLE4 packs two per byte,
// high nibble first.
std::uint8_t Nibble(std::uint8_t byte, std::int64_t i) {
    return static_cast<std::uint8_t>(i % 2 == 0 ? byte >> 4 : byte & 0x0F);
}

}  // namespace

bool ExpandRle(std::span<const std::uint8_t> data, int bits, std::int64_t width, std::int64_t height,
               std::span<const std::int64_t> rows, std::vector<std::vector<std::int16_t>>& out) {
    if ((bits != 8 && bits != 4) || width <= 0 || height <= 0) return false;
    RleCanvas canvas(width, height, rows, out);
    const std::size_t size = data.size();
    std::size_t pos = 0;
    std::int64_t x = 0, y = 0;
    while (pos < size && y < height) {
        if (size - pos < 2) return false;
        const std::uint8_t count = data[pos];
        const std::uint8_t value = data[pos + 1];
        pos += 2;
        if (count > 0) {
            for (std::int64_t i = 0; i < count && x + i < width; ++i)
                canvas.Put(x + i, y, bits == 8 ? value : Nibble(value, i));
            x += count;
            continue;
        }
        switch (value) {
        case 0:  // end of line
            x = 0;
            ++y;
            break;
        case 1:  // end of bitmap
            return true;
        case 2:  // move
            if (size - pos < 2) return false;
            x += data[pos];
            y += data[pos + 1];
            pos += 2;
            break;
        default: {  // that many pixels, one by one
            const std::size_t bytes = bits == 8 ? value : (value + 1u) / 2u;
            if (size - pos < bytes) return false;
            for (std::int64_t i = 0; i < value && x + i < width; ++i) {
                const std::uint8_t index = bits == 8 ? data[pos + static_cast<std::size_t>(i)]
                                                     : Nibble(data[pos + static_cast<std::size_t>(i / 2)], i);
                canvas.Put(x + i, y, index);
            }
            x += value;
            // Padded to a 16-bit boundary; a stream may end before the pad.
            pos += std::min(size - pos, bytes + (bytes & 1u));
            break;
        }
        }
    }
    return true;
}

}  // namespace dravolo
