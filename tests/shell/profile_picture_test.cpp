#include <gtest/gtest.h>

#include <cstring>

#include "common/base/bytes.h"
#include "frontend/shell/profile_picture.h"

using namespace dravolo;

namespace {

// A Windows bitmap: file header, 40-byte information header, colour table,
// rows bottom-up padded to 4 bytes. pixel(x, y) gives the row bytes' source.
Bytes MakeBmp(int width, int height, int bits, std::uint32_t colorsUsed, const Bytes& table, const Bytes& pixels,
              std::uint32_t compression = 0) {
    ByteWriter w;
    const std::uint32_t size = 14 + 40 + static_cast<std::uint32_t>(table.size() + pixels.size());
    w.Raw("BM");
    w.U32(size);
    w.U32(0);
    w.U32(14 + 40 + static_cast<std::uint32_t>(table.size()));
    w.U32(40);
    w.I32(width);
    w.I32(height);
    w.U16(1);
    w.U16(static_cast<std::uint16_t>(bits));
    w.U32(compression);
    w.U32(static_cast<std::uint32_t>(pixels.size()));
    w.U32(2835);
    w.U32(2835);
    w.U32(colorsUsed);
    w.U32(0);
    w.Raw(table);
    w.Raw(pixels);
    return w.take();
}

// 2 x 2, 24 bits: bottom row blue, red; top row magenta, white.
Bytes Small24() {
    const Bytes pixels = {0xFF, 0, 0, 0, 0, 0xFF, 0, 0,  // bottom row + padding
                          0xFF, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0};
    return MakeBmp(2, 2, 24, 0, {}, pixels);
}

}  // namespace

TEST(ProfilePicture, ShrinksByPlainCopyAndMasksMagenta) {
    const auto picture = DecodeProfilePicture(Small24());
    ASSERT_TRUE(picture);
    ASSERT_EQ(picture->large.size, 32);
    ASSERT_EQ(picture->small.size, 16);
    const auto& px = picture->large.pixels;
    EXPECT_EQ(px[0], 0u);                          // top-left: magenta is transparent
    EXPECT_EQ(px[31], 0xFFFFFFFFu);                 // top-right white
    EXPECT_EQ(px[31 * 32], 0xFF0000FFu);            // bottom-left blue
    EXPECT_EQ(px[31 * 32 + 31], 0xFFFF0000u);       // bottom-right red
    EXPECT_EQ(picture->small.pixels[15 * 16], 0xFF0000FFu);
}

TEST(ProfilePicture, PaletteDepthsAndTopDownRows) {
    // 8 bits, 256-entry table by default (colours used 0), 1 x 2 top-down.
    Bytes table(256 * 4, 0);
    table[7 * 4 + 1] = 0xFF;  // entry 7 green
    table[9 * 4 + 2] = 0xFF;  // entry 9 red
    Bytes file = MakeBmp(1, -2, 8, 0, table, {7, 0, 0, 0, 9, 0, 0, 0});
    auto picture = DecodeProfilePicture(file);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->large.pixels[0], 0xFF00FF00u);
    EXPECT_EQ(picture->large.pixels[31 * 32], 0xFFFF0000u);

    // 1 bit with a two-colour table given by colours used.
    Bytes mono = MakeBmp(8, 1, 1, 2, {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0}, {0x80, 0, 0, 0});
    picture = DecodeProfilePicture(mono);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->large.pixels[0], 0xFFFFFFFFu);
    EXPECT_EQ(picture->large.pixels[4], 0xFF000000u);

    // 16 bits 5-5-5: full red stays 255.
    picture = DecodeProfilePicture(MakeBmp(1, 1, 16, 0, {}, {0x00, 0x7C, 0, 0}));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->large.pixels[0], 0xFFFF0000u);

    // 32 bits with bit-field masks after the header (5-6-5 in 32 bits here).
    ByteWriter masks;
    masks.U32(0xF800);
    masks.U32(0x07E0);
    masks.U32(0x001F);
    picture = DecodeProfilePicture(MakeBmp(1, 1, 32, 0, masks.bytes(), {0xE0, 0x07, 0, 0}, 3));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->large.pixels[0], 0xFF00FF00u);
}

TEST(ProfilePicture, FileShorterThanItsLengthFieldFails) {
    // 256 colours at 8 bits, 16 x 16: the file claims more than it holds.
    Bytes file = MakeBmp(16, 16, 8, 256, Bytes(1024, 0x40), Bytes(256, 1));
    ASSERT_TRUE(DecodeProfilePicture(file));
    file.resize(file.size() - 100);
    EXPECT_FALSE(DecodeProfilePicture(file));
}

TEST(ProfilePicture, DamagedHeadersFailWithoutReadingPastTheData) {
    EXPECT_FALSE(DecodeProfilePicture(Bytes(13, 0)));  // shorter than the file header
    Bytes file = Small24();
    file[0] = 'X';  // the signature is not checked
    EXPECT_TRUE(DecodeProfilePicture(file));

    // A colour table count that reaches beyond the file.
    Bytes big = MakeBmp(2, 2, 8, 0xFFFFFF, Bytes(16, 0), Bytes(8, 0));
    EXPECT_FALSE(DecodeProfilePicture(big));
    // Pixel rows claimed beyond the data.
    Bytes tall = Small24();
    StoreU32(tall.data() + 22, 1000);
    EXPECT_FALSE(DecodeProfilePicture(tall));
    // Zero width, RLE compression, a length field below the header size.
    Bytes zero = Small24();
    StoreU32(zero.data() + 18, 0);
    EXPECT_FALSE(DecodeProfilePicture(zero));
    Bytes rle = MakeBmp(2, 2, 8, 2, Bytes(8, 0), Bytes(8, 0), 1);
    EXPECT_FALSE(DecodeProfilePicture(rle));
    Bytes shortLength = Small24();
    StoreU32(shortLength.data() + 2, 10);
    EXPECT_FALSE(DecodeProfilePicture(shortLength));
}

TEST(ProfilePicture, MissingFileAndBlankPathFail) {
    EXPECT_FALSE(LoadProfilePicture(""));
    EXPECT_FALSE(LoadProfilePicture(" "));
    EXPECT_FALSE(LoadProfilePicture("/nonexistent/dravolo/picture.bmp"));
}
