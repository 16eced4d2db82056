// Save titles to display text, and icons to pixels.

#include <gtest/gtest.h>

#include <string_view>

#include "common/memcard/icon.h"
#include "common/memcard/title_text.h"

namespace dravolo::memcard {
namespace {

std::string Title(std::string_view bytes) {
    std::array<std::uint8_t, kTitleSize> field{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), field.size()), field.begin());
    return MemCardTitleText(field);
}

TEST(MemCardTitle, FullWidthLettersAndDigits) {
    EXPECT_EQ(Title("\x82\x60\x82\x61\x82\x62\x82\x50\x82\x51\x82\x52"), "ABC123");
    // The ends of each range.
    EXPECT_EQ(Title("\x82\x4F\x82\x58\x82\x60\x82\x79\x82\x81\x82\x9A"), "09AZaz");
    // Just outside the ranges: no translation, both bytes stay.
    EXPECT_EQ(Title("\x82\x4E"), "\x82\x4E");
    EXPECT_EQ(Title("\x82\x7A"), "\x82\x7A");
    EXPECT_EQ(Title("\x82\x9B"), "\x82\x9B");
}

TEST(MemCardTitle, PunctuationTable) {
    EXPECT_EQ(Title("\x81\x43\x81\x44\x81\x46\x81\x47\x81\x48\x81\x49"), ",.:;?!");
    EXPECT_EQ(Title("\x81\x4F\x81\x51\x81\x5E\x81\x60\x81\x62\x81\x65\x81\x66\x81\x68"), "^_/~|`'\"");
    EXPECT_EQ(Title("\x81\x69\x81\x6A\x81\x6D\x81\x6E\x81\x6F\x81\x70\x81\x7B\x81\x7C"), "()[]{}+-");
    EXPECT_EQ(Title("\x81\x81\x81\x83\x81\x84\x81\x8F\x81\x90\x81\x93\x81\x94\x81\x95\x81\x96\x81\x97"), "=<>\\$%#&*@");
    EXPECT_EQ(Title("\x81\xE1X\x81\xE2"), "\xABX\xBB");
    // Unlisted entries of the table, and the second byte just past it, stay as bytes.
    EXPECT_EQ(Title("A\x81\x41"), "A\x81\x41");
    EXPECT_EQ(Title("A\x81\x98"), "A\x81\x98");
}

TEST(MemCardTitle, KanjiStaysShiftJisAndSpacesAreTrimmed) {
    EXPECT_EQ(Title("\x8C\x8E\x82\x60"),
              "\x8C\x8E"
              "A");  // kanji pair, then A
    EXPECT_EQ(Title("\x81\x40\x81\x40\x81\x40"), "");
    EXPECT_EQ(Title("  \x81\x40GAME 1\x81\x40 "), "GAME 1");
    EXPECT_EQ(Title(""), "");
    // A second byte below 0x80 belongs to the pair, not to the text.
    EXPECT_EQ(Title("\x83\x41Z"), "\x83\x41Z");
}

TEST(MemCardTitle, StopsAtZeroAndAtTheEndOfTheField) {
    EXPECT_EQ(Title(std::string_view("AB\0CD", 5)), "AB");
    // 64 letters and no terminator: all of them.
    EXPECT_EQ(Title(std::string(64, 'x')), std::string(64, 'x'));
    // A lead byte in the last position has lost its second byte: dropped.
    EXPECT_EQ(Title(std::string(63, 'x') + "\x82"), std::string(63, 'x'));
    // A lead byte right before the terminating zero: dropped as well.
    EXPECT_EQ(Title(std::string_view("AB\x82\0\x60", 5)), "AB");
}

TEST(MemCardIcon, PaletteColoursScaleFiveBitChannels) {
    EXPECT_EQ(PaletteColour(0x0000), 0xFF000000u);
    EXPECT_EQ(PaletteColour(0x001F), 0xFFF80000u);
    EXPECT_EQ(PaletteColour(0x03E0), 0xFF00F800u);
    EXPECT_EQ(PaletteColour(0x7C00), 0xFF0000F8u);
    EXPECT_EQ(PaletteColour(0xFFFF), 0xFFF8F8F8u);  // bit 15 ignored
    EXPECT_EQ(PaletteColour(0x0421), 0xFF080808u);
}

TEST(MemCardIcon, LowNibbleIsTheLeftPixelRowsTopDown) {
    std::array<std::uint8_t, kPaletteSize> palette{};
    for (std::size_t c = 0; c < 16; ++c) {
        const std::uint16_t entry = static_cast<std::uint16_t>(c);  // red = c * 8
        palette[2 * c] = static_cast<std::uint8_t>(entry);
        palette[2 * c + 1] = static_cast<std::uint8_t>(entry >> 8);
    }
    std::array<std::uint8_t, kIconSize> pixels{};
    pixels[0] = 0x21;    // row 0: pixel 0 colour 1, pixel 1 colour 2
    pixels[127] = 0xF0;  // row 15: pixel 14 colour 0, pixel 15 colour 15
    pixels[8] = 0x03;    // row 1, pixel 0 colour 3

    const IconPixels icon = MemCardMakeIcon(pixels, palette);
    auto red = [&](int x, int y) { return (icon[static_cast<std::size_t>(y * 16 + x)] >> 16) & 0xFF; };
    EXPECT_EQ(red(0, 0), 8u);
    EXPECT_EQ(red(1, 0), 16u);
    EXPECT_EQ(red(2, 0), 0u);
    EXPECT_EQ(red(0, 1), 24u);
    EXPECT_EQ(red(14, 15), 0u);
    EXPECT_EQ(red(15, 15), 120u);
    for (std::uint32_t p : icon) EXPECT_EQ(p >> 24, 0xFFu);  // opaque everywhere
}

}  // namespace
}  // namespace dravolo::memcard
