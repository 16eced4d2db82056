#pragma once
// Whole-card file formats: the raw card and the containers other programs and
// consoles keep it in. Each is the 131072-byte card behind a header:
//   raw        .mcr .mcd .mc .ddf .ps .psm .mci .srm .bin .vmc  "MC" at 0
//   DexDrive   .gme  3904-byte header, "123-456-STD", per-slot comments
//   VGS        .mem .vgs  64-byte header, "VgsM"
//   PSP        .vmp  128-byte header, "\0PMV", signed (seed 0x0C, signature 0x20)
//   PS3        .vm1  the raw card
//   PS Vita    .bin  ("MCX", PocketStation): AES-128-CBC over a 128-byte
//              header, the card and its SHA-256 (read only)
// Readers recognise the format by its content, whatever the file is called;
// writers are picked by extension.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "common/base/bytes.h"
#include "common/memcard/card_layout.h"

namespace dravolo::memcard {

enum class CardFormat { Raw, DexDrive, Vgs, Psp, Ps3, PocketStation };

inline constexpr std::size_t kDexDriveCommentSize = 256;
inline constexpr std::size_t kDexDriveCommentsOffset = 64;
using DexDriveComments = std::array<std::uint8_t, kSlotCount * kDexDriveCommentSize>;

inline constexpr std::size_t kPspHeaderSize = 0x80;
inline constexpr std::size_t kPspSeedOffset = 0x0C;
inline constexpr std::size_t kPspSignatureOffset = 0x20;
inline constexpr std::size_t kPocketStationHeaderSize = 0x80;
inline constexpr std::size_t kPocketStationFileSize = kPocketStationHeaderSize + kCardSize + 32;
static_assert(kDexDriveCommentsOffset + kSlotCount * kDexDriveCommentSize == kDexDriveHeaderSize);
static_assert(kPocketStationFileSize == 0x200A0);

enum class CardReadProblem {
    None,
    Empty,
    TooShort,      // the format's header is there, the card behind it is not whole
    NotACard,      // no format recognised
    NoCardInside,  // a known header, but no "MC" card behind it
};

struct CardRead {
    CardReadProblem problem = CardReadProblem::None;
    CardFormat format = CardFormat::Raw;
    std::size_t needed = 0;                    // TooShort: the bytes the format needs
    bool signatureValid = true;                // PSP signature or PS Vita checksum as stored
    std::optional<DexDriveComments> comments;  // DexDrive only
    bool ok() const { return problem == CardReadProblem::None; }
};

// The most bytes any card file needs to be recognised and read.
inline constexpr std::size_t kLongestCardFile = kDexDriveHeaderSize + kCardSize;
static_assert(kLongestCardFile >= kPocketStationFileSize);

CardRead ReadCardData(std::span<const std::uint8_t> file, CardImage& card);

// The format a file name asks for; nothing for an extension no writer has.
// ".bin" writes a raw card: the PS Vita container is read, never written.
std::optional<CardFormat> CardFormatForPath(std::string_view path);

Bytes WriteCardData(const CardImage& card, CardFormat format, const DexDriveComments* comments = nullptr);

std::string_view CardFormatName(CardFormat format);

}  // namespace dravolo::memcard
