#include "frontend/shell/profile_picture.h"

#include <algorithm>
#include <map>

#include "common/base/bytes.h"
#include "common/platform/winfs.h"
#include "frontend/shell/bitmap_rle.h"

namespace dravolo {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;
// Larger pictures than this are refused rather than allocated: a profile icon
// never needs them, and a damaged length field must not exhaust memory.
constexpr std::uint32_t kMaxFileLength = 64u * 1024 * 1024;
constexpr std::int64_t kMaxDimension = 16384;
constexpr std::uint32_t kMagenta = 0xFFFF00FFu;

struct DibInfo {
    std::uint32_t headerSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
};

// A bit-field channel: mask, shift to its lowest bit, and its width in bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    explicit Channel(std::uint32_t m = 0) : mask(m) {
        if (!mask) return;
        while (!((mask >> shift) & 1u)) ++shift;
        while (shift + bits < 32 && ((mask >> (shift + bits)) & 1u)) ++bits;
    }
    std::uint32_t Expand(std::uint32_t value) const {
        if (!bits) return 0;
        const std::uint32_t v = (value & mask) >> shift;
        if (bits >= 8) return v >> (bits - 8);
        // Scaled so that full intensity stays 255 (5-bit 31 -> 255).
        return v * 255u / ((1u << bits) - 1u);
    }
};

class DibSampler {
public:
    DibSampler(const DibInfo& info, std::span<const std::uint8_t> table, std::span<const std::uint8_t> pixels,
               std::size_t stride)
        : info_(info), table_(table), pixels_(pixels), stride_(stride) {}

    // Run-length pictures: the rows the icons sample, expanded (bottom-up
    // numbers as keys), one palette index per pixel or kRleUnset.
    void SetExpandedRows(std::map<std::int64_t, std::vector<std::int16_t>> rows) { expanded_ = std::move(rows); }

    void SetMasks(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
        red_ = Channel(red);
        green_ = Channel(green);
        blue_ = Channel(blue);
    }

    // Row y counted from the top; then the colour of pixel x in it.
    const std::uint8_t* Row(std::int64_t y) const {
        const std::int64_t rows = info_.height < 0 ? -static_cast<std::int64_t>(info_.height) : info_.height;
        const std::int64_t row = info_.height < 0 ? y : rows - 1 - y;
        if (!expanded_.empty()) return reinterpret_cast<const std::uint8_t*>(expanded_.at(row).data());
        return pixels_.data() + static_cast<std::size_t>(row) * stride_;
    }

    std::uint32_t AtInRow(const std::uint8_t* line, std::int64_t x) const {
        if (!expanded_.empty()) {
            // Pixels the stream left out are black, as a new bitmap starts.
            const std::int16_t index = reinterpret_cast<const std::int16_t*>(line)[x];
            return index == kRleUnset ? Rgb(0, 0, 0) : Palette(static_cast<std::uint32_t>(index));
        }
        switch (info_.bitCount) {
        case 1: return Palette((line[x / 8] >> (7 - x % 8)) & 1u);
        case 4: return Palette((line[x / 2] >> (x % 2 ? 0 : 4)) & 0xFu);
        case 8: return Palette(line[x]);
        case 16: return FromMasks(LoadU16(line + x * 2));
        case 24: {
            const std::uint8_t* p = line + x * 3;
            return Rgb(p[2], p[1], p[0]);
        }
        default: return FromMasks(LoadU32(line + x * 4));
        }
    }

private:
    static std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
        return 0xFF000000u | (r << 16) | (g << 8) | b;
    }
    std::uint32_t Palette(std::uint32_t index) const {
        // An index beyond a short colour table shows black, as GDI draws it.
        if ((index + 1) * 4 > table_.size()) return Rgb(0, 0, 0);
        const std::uint8_t* q = table_.data() + index * 4;
        return Rgb(q[2], q[1], q[0]);
    }
    std::uint32_t FromMasks(std::uint32_t value) const {
        return Rgb(red_.Expand(value), green_.Expand(value), blue_.Expand(value));
    }

    DibInfo info_;
    std::span<const std::uint8_t> table_;
    std::span<const std::uint8_t> pixels_;
    std::size_t stride_;
    Channel red_, green_, blue_;
    std::map<std::int64_t, std::vector<std::int16_t>> expanded_;
};

// The source rows (counted from the bottom) the two icon sizes sample.
std::vector<std::int64_t> SampledRows(std::int64_t height) {
    std::vector<std::int64_t> rows;
    for (int size : {kLargeIconSize, kSmallIconSize})
        for (int y = 0; y < size; ++y) rows.push_back(height - 1 - y * height / size);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

IconImage Shrink(const DibSampler& sampler, std::int64_t width, std::int64_t height, int size) {
    static_assert(kSmallIconSize <= kLargeIconSize);
    // Plain copy: every target pixel takes the source pixel its corner falls on.
    IconImage image;
    image.size = size;
    image.pixels.resize(static_cast<std::size_t>(size) * size);
    std::int64_t columns[kLargeIconSize];
    for (int x = 0; x < size; ++x) columns[x] = x * width / size;
    for (int y = 0; y < size; ++y) {
        const std::uint8_t* line = sampler.Row(y * height / size);
        std::uint32_t* out = image.pixels.data() + static_cast<std::size_t>(y) * size;
        for (int x = 0; x < size; ++x) {
            const std::uint32_t colour = sampler.AtInRow(line, columns[x]);
            out[x] = colour == kMagenta ? 0 : colour;
        }
    }
    return image;
}

// The information header, colour table and pixels that follow the file header.
std::optional<ProfilePicture> DecodeDib(std::span<const std::uint8_t> dib) {
    ByteReader reader(dib);
    DibInfo info;
    std::uint16_t planes = 0;
    std::uint32_t sizeImage = 0, xPels = 0, yPels = 0, important = 0;
    if (!reader.U32(info.headerSize) || !reader.I32(info.width) || !reader.I32(info.height) || !reader.U16(planes) ||
        !reader.U16(info.bitCount) || !reader.U32(info.compression) || !reader.U32(sizeImage) || !reader.U32(xPels) ||
        !reader.U32(yPels) || !reader.U32(info.colorsUsed) || !reader.U32(important))
        return std::nullopt;
    if (info.headerSize < kInfoHeaderSize || info.headerSize > dib.size()) return std::nullopt;

    const std::uint16_t bits = info.bitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return std::nullopt;
    const bool bitfields = info.compression == kBiBitfields;
    const bool rle = (info.compression == kBiRle8 && bits == 8) || (info.compression == kBiRle4 && bits == 4);
    if (info.compression != kBiRgb && !rle && !(bitfields && (bits == 16 || bits == 32))) return std::nullopt;
    // Run-length pictures are always stored bottom-up.
    if (rle && info.height < 0) return std::nullopt;

    const std::int64_t width = info.width;
    const std::int64_t height = info.height < 0 ? -static_cast<std::int64_t>(info.height) : info.height;
    if (width <= 0 || height <= 0 || width > kMaxDimension || height > kMaxDimension) return std::nullopt;

    // Colour table: the colours-used count, or 2^depth for palette pictures;
    // bit-field masks follow a plain information header as three entries.
    std::uint64_t entries = info.colorsUsed;
    if (bits <= 8 && entries == 0) entries = 1u << bits;
    if (bitfields && info.headerSize == kInfoHeaderSize) entries += 3;
    const std::uint64_t tableOffset = info.headerSize;
    const std::uint64_t pixelOffset = tableOffset + entries * 4;
    const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bits + 31) / 32) * 4;
    if (rle) {
        if (pixelOffset > dib.size()) return std::nullopt;
        // The stream runs to the image size the header gives, or to the end.
        std::span<const std::uint8_t> stream = dib.subspan(pixelOffset);
        if (sizeImage != 0 && sizeImage < stream.size()) stream = stream.first(sizeImage);
        const std::vector<std::int64_t> rows = SampledRows(height);
        std::vector<std::vector<std::int16_t>> expanded;
        if (!ExpandRle(stream, bits, width, height, rows, expanded)) return std::nullopt;
        std::map<std::int64_t, std::vector<std::int16_t>> byRow;
        for (std::size_t i = 0; i < rows.size(); ++i) byRow.emplace(rows[i], std::move(expanded[i]));
        DibSampler sampler(info, dib.subspan(tableOffset, entries * 4), {}, 0);
        sampler.SetExpandedRows(std::move(byRow));
        ProfilePicture picture;
        picture.large = Shrink(sampler, width, height, kLargeIconSize);
        picture.small = Shrink(sampler, width, height, kSmallIconSize);
        return picture;
    }
    if (pixelOffset + stride * height > dib.size()) return std::nullopt;

    std::span<const std::uint8_t> table = dib.subspan(tableOffset, entries * 4);
    // Masks sit at the end of the 40-byte header in every header version.
    if (bitfields && info.headerSize > kInfoHeaderSize && info.headerSize < 52) return std::nullopt;
    DibSampler sampler(info, bits <= 8 ? table : std::span<const std::uint8_t>{},
                       dib.subspan(pixelOffset, stride * height), stride);
    if (bitfields) {
        // In reach: the table check above counted them (or the header holds them).
        sampler.SetMasks(LoadU32(dib.data() + 40), LoadU32(dib.data() + 44), LoadU32(dib.data() + 48));
    } else if (bits == 16) {
        sampler.SetMasks(0x7C00, 0x03E0, 0x001F);
    } else if (bits == 32) {
        sampler.SetMasks(0xFF0000, 0x00FF00, 0x0000FF);
    }

    ProfilePicture picture;
    picture.large = Shrink(sampler, width, height, kLargeIconSize);
    picture.small = Shrink(sampler, width, height, kSmallIconSize);
    return picture;
}

}  // namespace

std::optional<ProfilePicture> DecodeProfilePicture(std::span<const std::uint8_t> file) {
    if (file.size() < kFileHeaderSize) return std::nullopt;
    const std::uint32_t length = LoadU32(file.data() + 2);
    if (length < kFileHeaderSize || length > kMaxFileLength) return std::nullopt;
    // The file must hold all the bytes its header claims.
    if (file.size() < length) return std::nullopt;
    return DecodeDib(file.subspan(kFileHeaderSize, length - kFileHeaderSize));
}

std::optional<ProfilePicture> LoadProfilePicture(std::string_view path) {
    if (path.empty()) return std::nullopt;
    auto file = WinFile::Open(path, WinFile::Mode::Read);
    if (!file) return std::nullopt;
    Bytes header;
    if (!file->ReadAll(kFileHeaderSize, header) || header.size() < kFileHeaderSize) return std::nullopt;
    const std::uint32_t length = LoadU32(header.data() + 2);
    if (length < kFileHeaderSize || length > kMaxFileLength) return std::nullopt;
    Bytes rest;
    if (!file->ReadAll(length - kFileHeaderSize, rest) || rest.size() < length - kFileHeaderSize) return std::nullopt;
    return DecodeDib(rest);
}

}  // namespace dravolo
