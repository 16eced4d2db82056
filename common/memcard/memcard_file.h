#pragma once
// The directory of one card as the slot lists show it: state and region of
// every slot, title, palette and icon of every block.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/memcard/card_layout.h"

namespace dravolo {
class Prompter;
}

namespace dravolo::memcard {

// Regions as SlotRegion and CMemCardFile report them ("BA" is 0x4241).
inline constexpr std::uint16_t kRegionAmerica = 0x4241;  // "BA"
inline constexpr std::uint16_t kRegionEurope = 0x4245;   // "BE"
inline constexpr std::uint16_t kRegionJapan = 0x4249;    // "BI"

class CMemCardFile {
public:
    using Title = std::array<std::uint8_t, kTitleSize>;
    using Palette = std::array<std::uint8_t, kPaletteSize>;
    using IconBitmap = std::array<std::uint8_t, kIconSize>;

    // Reads the 15 directory frames and the header of every data block,
    // whatever its slot state. 1 on success; 0 for an empty path or a file
    // that cannot be opened, which is reported through `report` (when given)
    // as the standard file-error box; its caption is left empty for the
    // program's name. Everything read before is cleared first, so a short or
    // failed read never shows another card's saves.
    int Open(std::string_view path, Prompter* report = nullptr);
    // Clears the open flag. The file itself is closed before Open returns.
    void Close() { isOpen = 0; }

    int isOpen = 0;
    std::array<std::uint8_t, kSlotCount> slotState{};
    std::array<std::uint16_t, kSlotCount> region{};
    // Per data block 1-15, indexed by slot.
    std::array<Title, kSlotCount> title{};
    std::array<Palette, kSlotCount> palette{};
    std::array<IconBitmap, kSlotCount> icon{};  // all zero when the save has no icon

private:
    void Clear();
};

// The text of the standard report when a card file cannot be opened.
std::string MemCardOpenErrorText(std::string_view path);

}  // namespace dravolo::memcard
