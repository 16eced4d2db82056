#include "tool/core/card_summary.h"

#include <cstdint>
#include <vector>

#include "common/memcard/card_layout.h"
#include "common/platform/winfs.h"

namespace dravolo::tool {

namespace {

using namespace dravolo::memcard;

// Frames 1 to 32 are what ePSXe's card directory walk reads.
constexpr std::size_t kWalkedFrames = 32;
constexpr std::size_t kMaxSaves = 254;
constexpr std::size_t kTitleHeadSize = 256;
constexpr std::size_t kTitleChars = 15;

}  // namespace

std::string ConvertSaveTitle(std::string_view titleBytes) {
    std::string title;
    for (std::size_t i = 0; i < kTitleChars && 2 * i + 1 < titleBytes.size(); ++i) {
        const auto lead = static_cast<std::uint8_t>(titleBytes[2 * i]);
        const auto trail = static_cast<std::uint8_t>(titleBytes[2 * i + 1]);
        if (lead != 0x82) break;
        const auto ansi = static_cast<std::uint8_t>(trail >= 0x30 && trail <= 0x80 ? trail - 0x1F : trail - 0x20);
        // A character that converts to NUL would end the text anyway.
        if (ansi == 0) break;
        title.push_back(static_cast<char>(ansi));
    }
    return title;
}

CardSummary SummariseCard(const std::optional<std::string>& cardPath, bool withIcons) {
    CardSummary summary;
    summary.text = kSummaryNone;
    if (!cardPath) return summary;
    const auto file = WinFile::Open(*cardPath, WinFile::Mode::Read);
    if (!file) return summary;
    Bytes head;
    if (!file->ReadAll(2, head) || head.size() < 2) return summary;
    if (head[0] != 'M' || head[1] != 'C') {
        summary.text = kSummaryNotFormatted;
        return summary;
    }
    if (!file->Seek(kFrameSize)) {
        summary.text = kSummaryBlockError;
        return summary;
    }

    // Block counts of the saves in directory order.
    std::vector<std::size_t> saves;
    Bytes frames;
    if (file->ReadAll(kWalkedFrames * kFrameSize, frames) && frames.size() == kWalkedFrames * kFrameSize) {
        for (std::size_t f = 0; f < kWalkedFrames; ++f) {
            const std::uint8_t state = frames[f * kFrameSize];
            if (state == kStateFirst) {
                if (saves.size() < kMaxSaves) saves.push_back(1);
            } else if (IsLinkState(state) && !saves.empty()) {
                ++saves.back();
            }
        }
    }
    if (saves.empty()) {
        summary.text = kSummaryEmpty;
        return summary;
    }

    summary.text.clear();
    std::uint64_t offset = kBlockSize;
    for (const std::size_t blocks : saves) {
        Bytes first;
        if (!file->Seek(offset) || !file->ReadAll(kTitleHeadSize, first) || first.size() < kTitleHeadSize) break;
        if (first[0] != 'S' || first[1] != 'C') break;
        const std::string_view bytes(reinterpret_cast<const char*>(first.data()), first.size());
        summary.text += ConvertSaveTitle(bytes.substr(kTitleOffset));
        summary.text += "; ";
        if (withIcons)
            summary.icons.insert(summary.icons.end(), first.begin() + kPaletteOffset, first.begin() + kTitleHeadSize);
        offset += blocks * kBlockSize;
    }
    return summary;
}

}  // namespace dravolo::tool
