#pragma once
// Profile pictures: the ".bmp" a profile names in BitmapFile, shown as the
// item's icon in the profile list. The file is read as a Windows bitmap
// (14-byte file header, then an information header, colour table and pixels)
// and shrunk by plain pixel copy to the list's two icon sizes. Anything the
// reader cannot take is a failure: the caller shows the emulator's icon.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace dravolo {

// Pixels 0xAARRGGBB, rows top to bottom. Magenta (255, 0, 255) is the
// transparent colour of the image lists: such pixels come out with alpha 0.
struct IconImage {
    int size = 0;  // width and height
    std::vector<std::uint32_t> pixels;
};

struct ProfilePicture {
    IconImage large;  // 32 x 32
    IconImage small;  // 16 x 16
};

inline constexpr int kLargeIconSize = 32;
inline constexpr int kSmallIconSize = 16;

// Reads the file (a Windows path) as the list does: the 14-byte header, then
// as many bytes as the header's file length claims beyond it. A file shorter
// than that, a header, colour table or pixel block that does not fit, a
// run-length stream that stops inside a command, or a format other than
// uncompressed/bit-field pixels of 1, 4, 8, 16, 24 or 32 bits and RLE8/RLE4
// fails. The "BM" signature is not required.
std::optional<ProfilePicture> LoadProfilePicture(std::string_view path);

// The same from bytes already in memory (the whole file).
std::optional<ProfilePicture> DecodeProfilePicture(std::span<const std::uint8_t> file);

}  // namespace dravolo
