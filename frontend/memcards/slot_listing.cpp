#include "frontend/memcards/slot_listing.h"

#include "common/memcard/card_layout.h"
#include "common/memcard/title_text.h"
#include "frontend/memcards/memcard_texts.h"

namespace dravolo::memcards {

namespace {

bool IsMarkedFree(std::uint8_t state) { return state == 0xA1 || state == 0xA2 || state == 0xA3; }

int RegionImage(std::uint16_t region) {
    switch (region) {
    case memcard::kRegionAmerica: return kRegionAmericaImage;
    case memcard::kRegionEurope: return kRegionEuropeImage;
    case memcard::kRegionJapan: return kRegionJapanImage;
    default: return kGenericImage;
    }
}

// Bytes the title converter produces on its own: the guillemets of 0x81 0xE1
// and 0x81 0xE2. Every other byte from 0x80 up starts a kept Shift-JIS pair.
bool IsTranslatedByte(std::uint8_t b) { return b == 0xAB || b == 0xBB; }

}  // namespace

CardListing ListSlots(const memcard::CMemCardFile& card) {
    CardListing listing;
    for (int slot = 0; slot < memcard::kSlotCount; ++slot) {
        const auto s = static_cast<std::size_t>(slot);
        const std::uint8_t state = card.slotState[s];
        listing.icons[s] = memcard::MemCardMakeIcon(card.icon[s], card.palette[s]);

        std::string title = memcard::MemCardTitleText(card.title[s]);
        if (title.empty()) title = kFreeText;

        SlotRow row;
        row.number = std::to_string(slot + 1);
        row.image = state == memcard::kStateFirst ? slot : kGenericImage;
        if (IsMarkedFree(state)) row.saveName = kErasedText;
        else if (state == memcard::kStateLink) row.saveName = kLinkText;
        else if (state == memcard::kStateEndLink) row.saveName = kEndLinkText;
        else row.saveName = title;
        const bool noRegion = IsMarkedFree(state) || memcard::IsLinkState(state);
        row.regionImage = noRegion ? kGenericImage : RegionImage(card.region[s]);
        listing.rows.push_back(std::move(row));
    }
    return listing;
}

bool IsLinkText(std::string_view saveName) { return saveName == kLinkText || saveName == kEndLinkText; }

std::vector<TitlePiece> SplitTitleText(std::string_view text) {
    std::vector<TitlePiece> pieces;
    const auto add = [&pieces](std::string_view bytes, bool shiftJis) {
        if (pieces.empty() || pieces.back().shiftJis != shiftJis) pieces.push_back({std::string(), shiftJis});
        pieces.back().bytes += bytes;
    };
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<std::uint8_t>(text[i]);
        if (b < 0x80 || IsTranslatedByte(b)) {
            add(text.substr(i, 1), false);
            ++i;
        } else {
            // A pair; a lone lead byte left at the end by the trimming goes too.
            const std::size_t n = i + 1 < text.size() ? 2 : 1;
            add(text.substr(i, n), true);
            i += n;
        }
    }
    return pieces;
}

}  // namespace dravolo::memcards
