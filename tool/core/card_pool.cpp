#include "tool/core/card_pool.h"

#include <algorithm>
#include <cstdio>

#include "common/platform/winfs.h"
#include "tool/core/card_summary.h"
#include "tool/core/file_date.h"

namespace dravolo::tool {

using namespace dravolo::memcard;

Bytes ToolFormattedCard() {
    Bytes card(kCardSize, 0);
    card[0] = 'M';
    card[1] = 'C';
    card[kChecksumOffset] = kHeaderChecksum;
    for (std::size_t frame = 1; frame < kFirstReservedFrame; ++frame) {
        const std::size_t at = FrameOffset(frame);
        card[at] = kStateFree;
        card[at + kNextSlotOffset] = 0xFF;
        card[at + kNextSlotHighOffset] = 0xFF;
        card[at + kChecksumOffset] = kStateFree;
    }
    for (std::size_t frame = kFirstReservedFrame; frame < kFirstFilledFrame; ++frame) {
        const std::size_t at = FrameOffset(frame);
        std::fill_n(card.begin() + static_cast<std::ptrdiff_t>(at), 4, 0xFF);
        card[at + kNextSlotOffset] = 0xFF;
        card[at + kNextSlotHighOffset] = 0xFF;
    }
    return card;
}

Bytes CardFromPsxSave(std::span<const std::uint8_t> source) {
    Bytes card(kCardSize, 0);
    if (source.size() < kPsxSourceSize) return {};
    card[0] = 'M';
    card[1] = 'C';
    card[kChecksumOffset] = kHeaderChecksum;
    std::uint8_t* frame = card.data() + FrameOffset(1);
    frame[kStateOffset] = kStateFirst;
    StoreU32(frame + kSaveSizeOffset, static_cast<std::uint32_t>(kBlockSize));
    frame[kNextSlotOffset] = 0xFF;
    frame[kNextSlotHighOffset] = 0xFF;
    std::copy_n(source.begin(), kPsxNameSize, frame + kRegionOffset);
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < kChecksumOffset; ++i) sum ^= frame[i];
    frame[kChecksumOffset] = sum;
    std::copy_n(source.begin() + kPsxHeaderSize, kBlockSize, card.begin() + kBlockSize);
    return card;
}

ImportKind ImportKindOfPath(std::string_view path) {
    std::string upper(path);
    // ASCII only: the extensions are plain letters, and Windows-1252 letters
    // must not be changed under another locale.
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (upper.find(".MCR") != std::string::npos) return ImportKind::Mcr;
    if (upper.find(".GME") != std::string::npos) return ImportKind::Gme;
    if (upper.find(".PSX") != std::string::npos) return ImportKind::Psx;
    return ImportKind::None;
}

std::string CardPool::CardPath(int number) const {
    char name[40];
    std::snprintf(name, sizeof name, "\\MemCards\\epsxe%03d.mcr", number);
    return directory_ + name;
}

std::string CardPool::CardLabel(int number) {
    char label[24];
    std::snprintf(label, sizeof label, "Card %04d", number);
    return label;
}

std::string CardPool::ExportFileName(int number) {
    char name[24];
    std::snprintf(name, sizeof name, "epsxe%03d.mcr", number);
    return name;
}

std::vector<CardRow> CardPool::Rows() const {
    std::vector<CardRow> rows;
    for (int number = 0;; ++number) {
        const std::string path = CardPath(number);
        CardSummary summary = SummariseCard(path, false);
        if (summary.text == kSummaryNone) break;
        rows.push_back({number, CardLabel(number), std::move(summary.text), FileDateText(path).value_or("")});
    }
    return rows;
}

int CardPool::Count() const {
    int number = 0;
    while (WinFile::Open(CardPath(number), WinFile::Mode::Read)) ++number;
    return number;
}

bool CardPool::Format(int number) const {
    if (number < 0 || number >= Count()) return false;
    const Bytes card = ToolFormattedCard();
    const auto file = WinFile::Open(CardPath(number), WinFile::Mode::CreateAlways);
    return file && file->Write(card.data(), card.size()) && file->Flush();
}

std::optional<int> CardPool::AddCard(std::span<const std::uint8_t> card) const {
    const int number = Count();
    const std::string path = CardPath(number);
    // CreateNew: a file that exists but could not be read is never replaced.
    const auto file = WinFile::Open(path, WinFile::Mode::CreateNew);
    if (!file) return std::nullopt;
    if (!file->Write(card.data(), card.size()) || !file->Flush()) {
        // No half-written card joins the pool.
        (void)DeleteFileAt(path);  // best effort: the write failed already
        return std::nullopt;
    }
    return number;
}

std::optional<int> CardPool::Create() const {
    const Bytes zero(kCardSize, 0);
    return AddCard(zero);
}

CardDeletion CardPool::Delete(int number) const {
    CardDeletion deletion;
    const int count = Count();
    if (number < 0 || number >= count) return deletion;
    if (!DeleteFileAt(CardPath(number))) return deletion;
    deletion.deleted = true;
    deletion.movedEnd = number + 1;
    for (int next = number + 1; next < count; ++next) {
        if (!RenameNoReplace(CardPath(next), CardPath(next - 1))) return deletion;
        deletion.movedEnd = next + 1;
    }
    deletion.complete = true;
    return deletion;
}

std::optional<int> CardPool::Duplicate(int number) const {
    if (number < 0 || number >= Count()) return std::nullopt;
    const auto file = WinFile::Open(CardPath(number), WinFile::Mode::Read);
    Bytes card;
    if (!file || !file->ReadAll(kCardSize, card)) return std::nullopt;
    // A short card is copied with zeros after its end, like any card read.
    card.resize(kCardSize, 0);
    return AddCard(card);
}

std::optional<int> CardPool::Import(std::string_view sourcePath) const {
    const ImportKind kind = ImportKindOfPath(sourcePath);
    if (kind == ImportKind::None) return std::nullopt;
    const auto file = WinFile::Open(sourcePath, WinFile::Mode::Read);
    if (!file) return std::nullopt;
    const std::size_t needed = kind == ImportKind::Mcr   ? kCardSize
                               : kind == ImportKind::Gme ? kGmeSourceSize
                                                         : kPsxSourceSize;
    Bytes source;
    if (!file->ReadAll(needed, source) || source.size() < needed) return std::nullopt;
    switch (kind) {
    case ImportKind::Mcr: return AddCard(source);
    case ImportKind::Gme: return AddCard(std::span<const std::uint8_t>(source).subspan(kDexDriveHeaderSize, kCardSize));
    case ImportKind::Psx: return AddCard(CardFromPsxSave(source));
    case ImportKind::None: break;
    }
    return std::nullopt;
}

bool CardPool::Export(int number, std::string_view targetPath) const {
    if (number < 0) return false;
    return CopyFileTo(CardPath(number), targetPath, false);
}

}  // namespace dravolo::tool
