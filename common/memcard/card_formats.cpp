#include "common/memcard/card_formats.h"

#include <algorithm>
#include <cstring>

#include "common/base/text.h"
#include "common/memcard/aes128.h"
#include "common/memcard/psx_signature.h"
#include "common/memcard/sha.h"

namespace dravolo::memcard {

namespace {

constexpr std::string_view kDexDriveMagic = "123-456-STD";
constexpr std::string_view kVgsMagic = "VgsM";
constexpr std::uint8_t kPspMagic[4] = {0x00, 'P', 'M', 'V'};

// The PS Vita's public key and IV for PocketStation cards.
constexpr AesKey kPocketStationKey = {0x81, 0xD9, 0xCC, 0xE9, 0x71, 0xA9, 0x49, 0x9B,
                                      0x04, 0xAD, 0xDC, 0x48, 0x30, 0x7F, 0x07, 0x92};
constexpr AesBlock kPocketStationIv = {0x13, 0xC2, 0xE7, 0x69, 0x4B, 0xEC, 0x69, 0x6D,
                                       0x52, 0xCF, 0x00, 0x09, 0x2A, 0xC1, 0xF2, 0x72};

bool StartsWith(std::span<const std::uint8_t> file, std::size_t at, std::string_view magic) {
    return file.size() >= at + magic.size() && std::memcmp(file.data() + at, magic.data(), magic.size()) == 0;
}

bool HasCardAt(std::span<const std::uint8_t> file, std::size_t at) { return StartsWith(file, at, "MC"); }

// The card behind a header of `header` bytes.
CardRead TakeCard(std::span<const std::uint8_t> file, std::size_t header, CardFormat format, CardImage& card) {
    CardRead read;
    read.format = format;
    if (file.size() < header + kCardSize) {
        read.problem = CardReadProblem::TooShort;
        read.needed = header + kCardSize;
        return read;
    }
    if (!HasCardAt(file, header)) {
        read.problem = CardReadProblem::NoCardInside;
        return read;
    }
    std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(header), kCardSize, card.begin());
    return read;
}

bool ReadPocketStation(std::span<const std::uint8_t> file, CardImage& card, CardRead& read) {
    if (file.size() < kPocketStationFileSize) return false;
    Bytes plain(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(kPocketStationFileSize));
    Aes128(kPocketStationKey).DecryptCbc(plain, kPocketStationIv);
    if (!HasCardAt(plain, kPocketStationHeaderSize)) return false;
    read = TakeCard(plain, kPocketStationHeaderSize, CardFormat::PocketStation, card);
    const Sha256Digest hash = Sha256(std::span(plain).first(kPocketStationHeaderSize + kCardSize));
    read.signatureValid = std::equal(hash.begin(), hash.end(),
                                     plain.begin() + static_cast<std::ptrdiff_t>(kPocketStationHeaderSize + kCardSize));
    return true;
}

Bytes DexDriveHeader(const CardImage& card, const DexDriveComments* comments) {
    Bytes header(kDexDriveHeaderSize, 0);
    std::copy(kDexDriveMagic.begin(), kDexDriveMagic.end(), header.begin());
    header[18] = 0x01;
    header[20] = 0x01;
    header[21] = 'M';
    // DexPlorer's summary of the directory: each slot's state and next-slot byte.
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const auto s = static_cast<std::size_t>(slot);
        header[22 + s] = DirectoryFrame(card, slot)[kStateOffset];
        header[38 + s] = DirectoryFrame(card, slot)[kNextSlotOffset];
    }
    if (comments) std::copy(comments->begin(), comments->end(), header.begin() + kDexDriveCommentsOffset);
    return header;
}

Bytes VgsHeader() {
    Bytes header(kVgsHeaderSize, 0);
    std::copy(kVgsMagic.begin(), kVgsMagic.end(), header.begin());
    StoreU32(header.data() + 4, 1);
    StoreU32(header.data() + 8, 1);
    StoreU32(header.data() + 12, 1);
    StoreU32(header.data() + 16, 0x0200);
    return header;
}

}  // namespace

CardRead ReadCardData(std::span<const std::uint8_t> file, CardImage& card) {
    CardRead read;
    if (file.empty()) {
        read.problem = CardReadProblem::Empty;
        return read;
    }
    if (HasCardAt(file, 0)) return TakeCard(file, 0, CardFormat::Raw, card);
    if (StartsWith(file, 0, kDexDriveMagic)) {
        read = TakeCard(file, kDexDriveHeaderSize, CardFormat::DexDrive, card);
        if (read.ok()) {
            read.comments.emplace();
            std::copy_n(file.begin() + kDexDriveCommentsOffset, read.comments->size(), read.comments->begin());
        }
        return read;
    }
    if (StartsWith(file, 0, kVgsMagic)) return TakeCard(file, kVgsHeaderSize, CardFormat::Vgs, card);
    if (file.size() >= 4 && std::memcmp(file.data(), kPspMagic, 4) == 0) {
        read = TakeCard(file, kPspHeaderSize, CardFormat::Psp, card);
        if (read.ok())
            read.signatureValid =
                HasValidPsxSignature(file.first(kPspHeaderSize + kCardSize), kPspSeedOffset, kPspSignatureOffset);
        return read;
    }
    if (ReadPocketStation(file, card, read)) return read;
    // A DexDrive image whose header was damaged: its size and the card behind it tell.
    if (file.size() == kDexDriveHeaderSize + kCardSize && HasCardAt(file, kDexDriveHeaderSize))
        return TakeCard(file, kDexDriveHeaderSize, CardFormat::DexDrive, card);
    read.problem = CardReadProblem::NotACard;
    return read;
}

std::optional<CardFormat> CardFormatForPath(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return std::nullopt;
    const std::string extension = LowerAnsi(name.substr(dot + 1));
    for (const char* raw : {"mcr", "mcd", "mc", "ddf", "ps", "psm", "mci", "srm", "bin", "vmc"})
        if (extension == raw) return CardFormat::Raw;
    if (extension == "gme") return CardFormat::DexDrive;
    if (extension == "mem" || extension == "vgs") return CardFormat::Vgs;
    if (extension == "vmp") return CardFormat::Psp;
    if (extension == "vm1") return CardFormat::Ps3;
    return std::nullopt;
}

Bytes WriteCardData(const CardImage& card, CardFormat format, const DexDriveComments* comments) {
    Bytes out;
    switch (format) {
    case CardFormat::DexDrive: out = DexDriveHeader(card, comments); break;
    case CardFormat::Vgs: out = VgsHeader(); break;
    case CardFormat::Psp:
        out.assign(kPspHeaderSize, 0);
        std::copy_n(kPspMagic, 4, out.begin());
        StoreU32(out.data() + 4, kPspHeaderSize);
        break;
    case CardFormat::Raw:
    case CardFormat::Ps3:
    case CardFormat::PocketStation: break;  // never written: a raw card
    }
    out.insert(out.end(), card.begin(), card.end());
    if (format == CardFormat::Psp) SignPsxFile(out, kPspSeedOffset, kPspSignatureOffset);
    return out;
}

std::string_view CardFormatName(CardFormat format) {
    switch (format) {
    case CardFormat::Raw: return "raw memory card";
    case CardFormat::DexDrive: return "DexDrive image";
    case CardFormat::Vgs: return "VGS image";
    case CardFormat::Psp: return "PSP memory card";
    case CardFormat::Ps3: return "PS3 memory card";
    case CardFormat::PocketStation: return "PS Vita PocketStation card";
    }
    return "memory card";
}

}  // namespace dravolo::memcard
