#pragma once
// What a slot list shows for a card: for each of the 15 slots its number, the
// picture beside it, the "Save Name" text and the region picture.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/memcard/icon.h"
#include "common/memcard/memcard_file.h"

namespace dravolo::memcards {

// Pictures of the lists: 0-14 the icons of the card's blocks, then the region
// pictures and the generic one.
inline constexpr int kRegionAmericaImage = 15;  // "BA"
inline constexpr int kRegionEuropeImage = 16;   // "BE"
inline constexpr int kRegionJapanImage = 17;    // "BI"
inline constexpr int kGenericImage = 18;

struct SlotRow {
    std::string number;  // "1" ... "15"
    int image = kGenericImage;
    std::string saveName;  // the title (Shift-JIS pairs kept) or a status text
    int regionImage = kGenericImage;
};

struct CardListing {
    std::vector<SlotRow> rows;  // 15 rows, or none when nothing is shown
    std::array<memcard::IconPixels, memcard::kSlotCount> icons{};
};

CardListing ListSlots(const memcard::CMemCardFile& card);

bool IsLinkText(std::string_view saveName);  // ":: Link ::" or ":: End Link ::"

// A display title split into the characters the core translated (ANSI) and
// the two-byte characters it kept as Shift-JIS bytes, for the UI to decode.
struct TitlePiece {
    std::string bytes;
    bool shiftJis = false;
};
std::vector<TitlePiece> SplitTitleText(std::string_view text);

}  // namespace dravolo::memcards
