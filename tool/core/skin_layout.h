#pragma once
// The skin "skins\kestrine.bmp": a bitmap drawn onto a 321 by 211 canvas and
// cut into fifteen pieces. Which piece serves what, and the index layout of the
// image lists, are fixed here; the widgets do the drawing.

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "common/base/bytes.h"

namespace dravolo::tool {

inline constexpr int kSkinWidth = 321;
inline constexpr int kSkinHeight = 211;

// Left, top, right, bottom in canvas pixels; right and bottom exclusive.
struct SkinRect {
    int left, top, right, bottom;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};
inline constexpr std::array<SkinRect, 15> kSkinPieces = {{
    {0, 0, 80, 15},
    {0, 16, 160, 31},
    {0, 32, 160, 48},
    {0, 49, 32, 64},
    {0, 65, 32, 97},
    {0, 98, 16, 113},
    {0, 114, 16, 130},
    {16, 114, 32, 130},
    {0, 131, 48, 146},
    {0, 147, 320, 163},
    {0, 164, 256, 180},
    {0, 181, 128, 196},
    {0, 197, 13, 209},
    {0, 16, 160, 31},
    {272, 49, 320, 97},
}};
// Piece numbers (1-based, as listed above) of what is drawn.
inline constexpr int kLargeIconPiece = 5;
inline constexpr int kSmallIconPiece = 7;
inline constexpr int kSmallImagesPiece = 10;  // twenty 16 by 16 images
inline constexpr int kStateImagesPiece = 11;  // sixteen 16 by 16 images
inline constexpr int kMenuImagesPiece = 12;
inline const SkinRect& SkinPiece(int number) { return kSkinPieces[static_cast<std::size_t>(number - 1)]; }

// The transparent colour of the image lists.
inline constexpr unsigned kSkinTransparent = 0xFF00FF;

// Small image list: 0 to 6 the plugin groups, 16 memory card, 17 options,
// 18 cheats. State image list: 1 to 6 plugin marks, 7 to 9 card slot marks,
// 9 to 12 the cheat tree.
inline constexpr int kTabImagePlugins = 0;
inline constexpr int kTabImageMemcards = 16;
inline constexpr int kTabImageOptions = 17;
inline constexpr int kTabImageCheats = 18;

// "skins\kestrine.bmp" beside the tool.
std::string SkinPath(std::string_view toolDirectory);

// The checks a skin file must pass before it is drawn: it starts with "BM",
// holds a file header and an information header, and the size its header
// gives is there in full. False for anything else (the tool then runs with
// its built-in images).
bool IsUsableSkinFile(std::span<const std::uint8_t> file);

}  // namespace dravolo::tool
