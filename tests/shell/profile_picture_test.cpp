#include <gtest/gtest.h>

#include <cstring>
#include <random>

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
    const Bytes pixels = {0xFF, 0, 0,    0,    0,    0xFF, 0, 0,  // bottom row + padding
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
    EXPECT_EQ(px[0], 0u);                      // top-left: magenta is transparent
    EXPECT_EQ(px[31], 0xFFFFFFFFu);            // top-right white
    EXPECT_EQ(px[31 * 32], 0xFF0000FFu);       // bottom-left blue
    EXPECT_EQ(px[31 * 32 + 31], 0xFFFF0000u);  // bottom-right red
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
    // Run-length pixels whose last command runs past the data.
    Bytes rle = MakeBmp(2, 2, 8, 2, Bytes(8, 0), {0x00, 0x04, 1, 1}, 1);
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

namespace {

constexpr std::uint32_t kBlack = 0xFF000000u;

// Four colours: 0 black, 1 red, 2 green, 3 blue.
Bytes FourColours() { return {0, 0, 0, 0, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0}; }
constexpr std::uint32_t kColour[] = {0xFF000000u, 0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu};

// The large icon's pixel of a 32 x 32 picture: one source pixel each.
std::uint32_t At(const ProfilePicture& p, int x, int yFromBottom) {
    return p.large.pixels[static_cast<std::size_t>((31 - yFromBottom) * 32 + x)];
}

// A plain encoder for the tests: runs where pixels repeat (RLE8) or
// alternate (RLE4), the rest as blocks of three or more pixels one by one.
Bytes EncodeRle(const std::vector<std::vector<std::uint8_t>>& rows, int bits) {
    ByteWriter w;
    for (const auto& row : rows) {
        const std::size_t size = row.size();
        std::size_t x = 0;
        while (x < size) {
            auto alike = [&](std::size_t i) { return row[x + i] == row[x + (bits == 8 ? 0 : i % 2)]; };
            std::size_t run = 1;
            while (x + run < size && run < 255 && alike(run)) ++run;
            if (run >= (bits == 8 ? 2u : 4u) || size - x < 3) {
                const std::uint8_t second = run > 1 ? row[x + 1] : 0;
                w.U8(static_cast<std::uint8_t>(run));
                w.U8(bits == 8 ? row[x] : static_cast<std::uint8_t>(row[x] << 4 | second));
                x += run;
                continue;
            }
            const std::size_t count = std::min<std::size_t>({size - x, 255, 3 + (size - x) % 5});
            w.U8(0);
            w.U8(static_cast<std::uint8_t>(count));
            std::size_t bytes = 0;
            for (std::size_t i = 0; i < count; i += bits == 8 ? 1 : 2, ++bytes) {
                const std::uint8_t low = bits == 4 && i + 1 < count ? row[x + i + 1] : 0;
                w.U8(bits == 8 ? row[x + i] : static_cast<std::uint8_t>(row[x + i] << 4 | low));
            }
            if (bytes % 2) w.U8(0);
            x += count;
        }
        w.U8(0);
        w.U8(0);  // end of line
    }
    w.U8(0);
    w.U8(1);  // end of bitmap
    return w.take();
}

// The same rows uncompressed: one byte per pixel, 8 bits, bottom-up.
Bytes Uncompressed8(const std::vector<std::vector<std::uint8_t>>& rows) {
    Bytes pixels;
    for (const auto& row : rows) {
        pixels.insert(pixels.end(), row.begin(), row.end());
        while (pixels.size() % 4) pixels.push_back(0);
    }
    return pixels;
}

}  // namespace

// Each command of the RLE8 stream, byte by byte: a run, a block given pixel
// by pixel with its pad byte, end of line, a move, end of bitmap. Pixels the
// stream skips are black, as a bitmap made from it starts.
TEST(ProfilePictureRle, Rle8CommandsDrawWhereTheyPoint) {
    const Bytes stream = {
        32, 1,               // row 0: 32 red
        0,  0,               // end of line
        0,  3, 2,  3, 1, 0,  // row 1: green, blue, red as a block, padded
        1,  2,               // one green
        0,  2, 10, 1,        // move 10 right and 1 up: (14, 2)
        2,  3,               // two blue at 14, 15 of row 2
        0,  0, 0,  0,        // end of row 2 and of row 3 (empty)
        40, 2,               // row 4: a run past the right edge is cut
        0,  1,               // end of bitmap
        5,  3,               // never read
    };
    const auto p = DecodeProfilePicture(MakeBmp(32, 32, 8, 4, FourColours(), stream, 1));
    ASSERT_TRUE(p);
    for (int x = 0; x < 32; ++x) EXPECT_EQ(At(*p, x, 0), kColour[1]) << x;
    EXPECT_EQ(At(*p, 0, 1), kColour[2]);
    EXPECT_EQ(At(*p, 1, 1), kColour[3]);
    EXPECT_EQ(At(*p, 2, 1), kColour[1]);
    EXPECT_EQ(At(*p, 3, 1), kColour[2]);
    EXPECT_EQ(At(*p, 4, 1), kBlack);  // skipped by the move
    EXPECT_EQ(At(*p, 13, 2), kBlack);
    EXPECT_EQ(At(*p, 14, 2), kColour[3]);
    EXPECT_EQ(At(*p, 15, 2), kColour[3]);
    EXPECT_EQ(At(*p, 16, 2), kBlack);
    EXPECT_EQ(At(*p, 5, 3), kBlack);
    EXPECT_EQ(At(*p, 31, 4), kColour[2]);
    EXPECT_EQ(At(*p, 0, 5), kBlack);  // after the end of bitmap
}

// RLE4: a run alternates the two pixels of its byte; a block holds two per
// byte and is padded to an even byte count.
TEST(ProfilePictureRle, Rle4PacksTwoPixelsPerByte) {
    const Bytes stream = {
        5, 0x12,                       // 1 2 1 2 1
        0, 3,    0x31, 0x20,           // 3 1 2: two bytes, no pad
        0, 5,    0x12, 0x31, 0x20, 0,  // 1 2 3 1 2: three bytes and a pad
        1, 0x30,                       // 3
        0, 1,
    };
    const auto p = DecodeProfilePicture(MakeBmp(32, 32, 4, 4, FourColours(), stream, 2));
    ASSERT_TRUE(p);
    const int expected[] = {1, 2, 1, 2, 1, 3, 1, 2, 1, 2, 3, 1, 2, 3};
    for (int x = 0; x < 14; ++x) EXPECT_EQ(At(*p, x, 0), kColour[expected[x]]) << x;
    EXPECT_EQ(At(*p, 14, 0), kBlack);
    EXPECT_EQ(At(*p, 0, 1), kBlack);
}

// Streams that point outside the picture draw nothing there and read
// nothing beyond their data; one that stops inside a command is refused.
TEST(ProfilePictureRle, BoundsOfPictureAndData) {
    const Bytes table = FourColours();
    // Moves beyond the top and the right, a block past the edge, no end mark.
    auto p =
        DecodeProfilePicture(MakeBmp(32, 32, 8, 4, table, {0, 2, 255, 0, 0, 4, 1, 1, 1, 1, 0, 2, 0, 255, 3, 3}, 1));
    ASSERT_TRUE(p);
    for (int x = 0; x < 32; ++x) EXPECT_EQ(At(*p, x, 0), kBlack);
    // An empty stream is a black picture.
    EXPECT_TRUE(DecodeProfilePicture(MakeBmp(4, 4, 8, 4, table, {}, 1)));
    // Cut inside a run, a move, a block, and a block's pad missing at the end.
    EXPECT_FALSE(DecodeProfilePicture(MakeBmp(4, 4, 8, 4, table, {4}, 1)));
    EXPECT_FALSE(DecodeProfilePicture(MakeBmp(4, 4, 8, 4, table, {0, 2, 1}, 1)));
    EXPECT_FALSE(DecodeProfilePicture(MakeBmp(4, 4, 4, 4, table, {0, 5, 0x12, 0x31}, 2)));
    EXPECT_TRUE(DecodeProfilePicture(MakeBmp(4, 4, 8, 4, table, {0, 3, 1, 2, 3}, 1)));
    // Palette indices beyond the table are black.
    p = DecodeProfilePicture(MakeBmp(32, 32, 8, 4, table, {1, 200, 0, 1}, 1));
    ASSERT_TRUE(p);
    EXPECT_EQ(At(*p, 0, 0), kBlack);
    // RLE needs its depth (8 for RLE8, 4 for RLE4) and bottom-up rows.
    EXPECT_FALSE(DecodeProfilePicture(MakeBmp(4, 4, 4, 4, table, {4, 1, 0, 1}, 1)));
    EXPECT_FALSE(DecodeProfilePicture(MakeBmp(4, 4, 8, 4, table, {4, 1, 0, 1}, 2)));
    EXPECT_FALSE(DecodeProfilePicture(MakeBmp(4, -4, 8, 4, table, {4, 1, 0, 1}, 1)));
}

// Random pictures encoded by a plain encoder come out as the same picture
// stored without compression.
TEST(ProfilePictureRle, EncodedPicturesMatchTheirUncompressedForm) {
    std::mt19937 random(19);
    Bytes table16;
    for (int i = 0; i < 16; ++i) {
        for (int c = 0; c < 3; ++c) table16.push_back(static_cast<std::uint8_t>(i * 16 + c * 5));
        table16.push_back(0);
    }
    for (int bits : {8, 4}) {
        for (int round = 0; round < 20; ++round) {
            std::vector<std::vector<std::uint8_t>> rows(32, std::vector<std::uint8_t>(32));
            for (auto& row : rows) {
                std::uint8_t colour = 0;
                for (auto& px : row) {
                    // Long stretches of one colour, and noisy ones.
                    if (random() % 4 == 0) colour = static_cast<std::uint8_t>(random() % 16);
                    px = round % 2 ? colour : static_cast<std::uint8_t>(random() % 16);
                }
            }
            const auto rle =
                DecodeProfilePicture(MakeBmp(32, 32, bits, 16, table16, EncodeRle(rows, bits), bits == 8 ? 1 : 2));
            const auto plain = DecodeProfilePicture(MakeBmp(32, 32, 8, 16, table16, Uncompressed8(rows)));
            ASSERT_TRUE(rle) << bits << " " << round;
            ASSERT_TRUE(plain);
            EXPECT_EQ(rle->large.pixels, plain->large.pixels) << bits << " " << round;
            EXPECT_EQ(rle->small.pixels, plain->small.pixels) << bits << " " << round;
        }
    }
}
