// Whole-card formats: a file of each, built byte by byte from the published
// layouts, read and written back byte for byte; round trips through every
// writer; damaged and short files refused.

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "common/memcard/aes128.h"
#include "common/memcard/card_formats.h"
#include "common/memcard/psx_signature.h"
#include "common/memcard/sha.h"
#include "tests/memcard/card_images.h"
#include "tests/support/card_builder.h"

namespace dravolo::memcard {
namespace {

using test::CardBuilder;

// A card that uses every part of a slot's frame and block.
CardBuilder PlayerCard() {
    return CardBuilder()
        .AddSave({0}, "ONE", 1, "BI")
        .AddSave({2, 5, 3}, "THREE", 2, "BE")
        .AddSave({7}, "OLD", 3)
        .MarkFree({7});
}

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

void Put(Bytes& file, std::size_t at, std::string_view text) {
    std::memcpy(file.data() + at, text.data(), text.size());
}

CardRead Read(const Bytes& file, CardImage& card) { return ReadCardData(file, card); }

TEST(CardFormats, RawAndPs3CardsAreTheCardItself) {
    const Bytes file = PlayerCard().bytes();
    CardImage card{};
    const CardRead read = Read(file, card);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.format, CardFormat::Raw);
    EXPECT_EQ(card, *ImageOf(PlayerCard()));
    EXPECT_EQ(WriteCardData(card, CardFormat::Raw), file);
    EXPECT_EQ(WriteCardData(card, CardFormat::Ps3), file);
    // Whatever follows a card in a longer file is not part of it.
    EXPECT_TRUE(Read(Concat(file, Bytes(500, 0x77)), card).ok());
    EXPECT_EQ(card, *ImageOf(PlayerCard()));
}

TEST(CardFormats, DexDriveImageByteForByte) {
    // 3904-byte header: "123-456-STD", 0x01 at 18 and 20, 'M' at 21, each
    // slot's state from 22 and next-slot byte from 38, 256-byte comments from 64.
    const CardImage card = *ImageOf(PlayerCard());
    Bytes file(3904, 0);
    Put(file, 0, "123-456-STD");
    file[18] = 0x01;
    file[20] = 0x01;
    file[21] = 'M';
    for (int slot = 0; slot < 15; ++slot) {
        file[22 + static_cast<std::size_t>(slot)] = PlayerCard().bytes()[CardBuilder::FrameOffset(slot)];
        file[38 + static_cast<std::size_t>(slot)] = PlayerCard().bytes()[CardBuilder::FrameOffset(slot) + 8];
    }
    EXPECT_EQ(file[22 + 2], 0x51);
    EXPECT_EQ(file[38 + 2], 5);
    Put(file, 64 + 256 * 2, "Before the last boss");
    file = Concat(file, PlayerCard().bytes());

    CardImage read{};
    const CardRead result = Read(file, read);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.format, CardFormat::DexDrive);
    EXPECT_EQ(read, card);
    ASSERT_TRUE(result.comments);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(result.comments->data()) + 512), "Before the last boss");
    EXPECT_EQ(WriteCardData(read, CardFormat::DexDrive, &*result.comments), file);

    // A header DexPlorer damaged: the size and the card behind it still tell.
    Bytes damaged = file;
    std::fill_n(damaged.begin(), 11, std::uint8_t{'?'});
    ASSERT_TRUE(Read(damaged, read).ok());
    EXPECT_EQ(read, card);
}

TEST(CardFormats, VgsImageByteForByte) {
    // 64-byte header: "VgsM", then the 32-bit numbers 1, 1, 1 and 0x200.
    const std::uint8_t header[20] = {'V', 'g', 's', 'M', 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 2, 0, 0};
    Bytes file(header, header + 20);
    file.resize(64, 0);
    file = Concat(file, PlayerCard().bytes());
    CardImage card{};
    const CardRead read = Read(file, card);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.format, CardFormat::Vgs);
    EXPECT_EQ(card, *ImageOf(PlayerCard()));
    EXPECT_EQ(WriteCardData(card, CardFormat::Vgs), file);
}

TEST(CardFormats, PspCardWithItsSignature) {
    // 128-byte header: 00 "PMV", the header size 0x80, a 20-byte seed at 0x0C,
    // the 20-byte signature at 0x20; the card at 0x80.
    Bytes file(0x80, 0);
    file[1] = 'P';
    file[2] = 'M';
    file[3] = 'V';
    file[4] = 0x80;
    for (std::uint8_t i = 0; i < 20; ++i) file[0x0C + i] = static_cast<std::uint8_t>(0xC0 + i);
    file = Concat(file, PlayerCard().bytes());
    const Sha1Digest signature = PsxSignature(file, 0x0C, 0x20);
    std::copy(signature.begin(), signature.end(), file.begin() + 0x20);

    CardImage card{};
    CardRead read = Read(file, card);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.format, CardFormat::Psp);
    EXPECT_TRUE(read.signatureValid);
    EXPECT_EQ(card, *ImageOf(PlayerCard()));

    // Our writer: the same layout, a seed of its own, a signature the PSP accepts.
    const Bytes written = WriteCardData(card, CardFormat::Psp);
    ASSERT_EQ(written.size(), 0x20080u);
    EXPECT_TRUE(std::equal(written.begin(), written.begin() + 0x0C, file.begin()));
    EXPECT_TRUE(std::equal(written.begin() + 0x34, written.end(), file.begin() + 0x34));
    EXPECT_TRUE(HasValidPsxSignature(written, 0x0C, 0x20));
    EXPECT_EQ(WriteCardData(card, CardFormat::Psp), written);  // the seed follows the content

    // An edited card still reads, with the signature reported as not matching.
    file[0x80 + 8192 + 40] ^= 0x01;
    read = Read(file, card);
    ASSERT_TRUE(read.ok());
    EXPECT_FALSE(read.signatureValid);
}

TEST(CardFormats, PsVitaPocketStationCardIsDecrypted) {
    // AES-128-CBC over 0x80 header bytes, the card and the SHA-256 of both.
    const AesKey key = {0x81, 0xD9, 0xCC, 0xE9, 0x71, 0xA9, 0x49, 0x9B, 0x04, 0xAD, 0xDC, 0x48, 0x30, 0x7F, 0x07, 0x92};
    const AesBlock iv = {0x13, 0xC2, 0xE7, 0x69, 0x4B, 0xEC, 0x69, 0x6D,
                         0x52, 0xCF, 0x00, 0x09, 0x2A, 0xC1, 0xF2, 0x72};
    Bytes file = Concat(Bytes(0x80, 0), PlayerCard().bytes());
    const Sha256Digest hash = Sha256(file);
    file.insert(file.end(), hash.begin(), hash.end());
    ASSERT_EQ(file.size(), 0x200A0u);
    Aes128(key).EncryptCbc(file, iv);

    CardImage card{};
    CardRead read = Read(file, card);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.format, CardFormat::PocketStation);
    EXPECT_TRUE(read.signatureValid);
    EXPECT_EQ(card, *ImageOf(PlayerCard()));

    Bytes damaged = file;
    damaged[0x80 + 9000] ^= 0x10;
    read = Read(damaged, card);
    ASSERT_TRUE(read.ok());
    EXPECT_FALSE(read.signatureValid);
    damaged = file;
    damaged[0x70] ^= 0x10;  // spoils the block holding "MC"
    EXPECT_EQ(Read(damaged, card).problem, CardReadProblem::NotACard);
    EXPECT_EQ(Read(Bytes(file.begin(), file.end() - 1), card).problem, CardReadProblem::NotACard);
}

TEST(CardFormats, RoundTripsThroughEveryWriter) {
    std::mt19937 rng(3);
    CardImage card = *ImageOf(PlayerCard());
    for (std::size_t i = 8192; i < card.size(); ++i) card[i] = static_cast<std::uint8_t>(rng());
    DexDriveComments comments{};
    std::memcpy(comments.data() + 256 * 14, "last slot", 9);
    for (CardFormat format :
         {CardFormat::Raw, CardFormat::DexDrive, CardFormat::Vgs, CardFormat::Psp, CardFormat::Ps3}) {
        SCOPED_TRACE(CardFormatName(format));
        const Bytes file = WriteCardData(card, format, &comments);
        CardImage again{};
        const CardRead read = Read(file, again);
        ASSERT_TRUE(read.ok());
        EXPECT_EQ(read.format, format == CardFormat::Ps3 ? CardFormat::Raw : format);
        EXPECT_TRUE(read.signatureValid);
        EXPECT_EQ(again, card);
        EXPECT_EQ(WriteCardData(again, format, read.comments ? &*read.comments : &comments), file);
        if (format == CardFormat::DexDrive) {
            EXPECT_EQ(*read.comments, comments);
        }
    }
}

TEST(CardFormats, ShortAndDamagedFilesAreRefused) {
    CardImage card{};
    card.fill(0x5A);
    const CardImage untouched = card;
    const Bytes body = PlayerCard().bytes();
    const auto withHeader = [&](std::string_view magic, std::size_t size, const Bytes& rest) {
        Bytes file(size, 0);
        Put(file, 0, magic);
        return Concat(file, rest);
    };
    struct Case {
        const char* what;
        Bytes file;
        CardReadProblem problem;
        std::size_t needed;
    };
    const Case cases[] = {
        {"empty", {}, CardReadProblem::Empty, 0},
        {"a raw card cut short", Bytes(body.begin(), body.begin() + 9000), CardReadProblem::TooShort, 131072},
        {"a DexDrive image cut short", withHeader("123-456-STD", 3904, Bytes(body.begin(), body.end() - 1)),
         CardReadProblem::TooShort, 134976},
        {"a DexDrive header alone", withHeader("123-456-STD", 3904, {}), CardReadProblem::TooShort, 134976},
        {"a DexDrive image without a card", withHeader("123-456-STD", 3904, Bytes(131072, 0)),
         CardReadProblem::NoCardInside, 0},
        {"a VGS image cut short", withHeader("VgsM", 64, Bytes(100, 0)), CardReadProblem::TooShort, 131136},
        {"a VGS image without a card", withHeader("VgsM", 64, Bytes(131072, 0xFF)), CardReadProblem::NoCardInside, 0},
        {"a PSP card cut short", withHeader(std::string_view("\0PMV", 4), 0x80, Bytes(body.begin(), body.begin() + 4)),
         CardReadProblem::TooShort, 0x20080},
        {"something else", withHeader("RIFF", 200000, {}), CardReadProblem::NotACard, 0},
        {"a single M", Bytes{'M'}, CardReadProblem::NotACard, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CardRead read = Read(c.file, card);
        EXPECT_EQ(read.problem, c.problem);
        EXPECT_EQ(read.needed, c.needed);
        EXPECT_EQ(card, untouched);  // a refused file leaves the image alone
    }
}

TEST(CardFormats, WritersByExtension) {
    EXPECT_EQ(CardFormatForPath("C:\\cards\\A.MCR"), CardFormat::Raw);
    for (const char* raw : {"a.mcd", "a.mc", "a.ddf", "a.ps", "a.psm", "a.mci", "a.srm", "a.bin", "a.vmc"})
        EXPECT_EQ(CardFormatForPath(raw), CardFormat::Raw) << raw;
    EXPECT_EQ(CardFormatForPath("x/y.gme"), CardFormat::DexDrive);
    EXPECT_EQ(CardFormatForPath("y.MEM"), CardFormat::Vgs);
    EXPECT_EQ(CardFormatForPath("y.vgs"), CardFormat::Vgs);
    EXPECT_EQ(CardFormatForPath("SCEVMC0.VMP"), CardFormat::Psp);
    EXPECT_EQ(CardFormatForPath("card.VM1"), CardFormat::Ps3);
    EXPECT_EQ(CardFormatForPath("card.txt"), std::nullopt);
    EXPECT_EQ(CardFormatForPath("c:\\dir.d\\card"), std::nullopt);
}

}  // namespace
}  // namespace dravolo::memcard
