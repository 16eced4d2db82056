#pragma once
// The card choice of the configuration being edited, in the active area's
// "Memory Cards" key: the managed cards of the two slots ("MemCard0",
// "MemCard1"), and the custom card files ("CustomCards", "CustomCard0",
// "CustomCard1") that take their place when chosen.

#include <cstdint>
#include <optional>
#include <string>

#include "common/platform/registry.h"

namespace dravolo::tool {

inline constexpr const char* kMemoryCardsKey = "Software\\Vision Thing\\PSEmu Pro\\Memory Cards";

// State images of the card list.
inline constexpr int kMarkSlot1 = 7;
inline constexpr int kMarkSlot2 = 8;
inline constexpr int kMarkBothSlots = 9;

struct ManagedSlots {
    std::optional<std::uint32_t> slot1;  // "MemCard0"; nullopt: no card
    std::optional<std::uint32_t> slot2;  // "MemCard1"
};
ManagedSlots ReadManagedSlots(Registry& registry);
// slot 0 or 1: writes "MemCard0" or "MemCard1".
bool WriteManagedSlot(Registry& registry, int slot, std::uint32_t cardNumber);
// The mark of a card: 7 slot 1, 8 slot 2, 9 both, 0 none.
int SlotMark(const ManagedSlots& slots, int cardNumber);

// After card `deleted` of the pool went and cards deleted+1 .. movedEnd-1
// each moved down one number: the slot values of the active area and of
// every stored configuration follow their cards, and a slot that held the
// deleted card holds none. Values naming no card that moved stay. One commit.
bool FollowCardDeletion(Registry& registry, int deleted, int movedEnd);

struct CustomCards {
    bool useCustom = false;  // "CustomCards" nonzero
    std::string card1;       // "CustomCard0"
    std::string card2;       // "CustomCard1"
};
CustomCards ReadCustomCards(Registry& registry);
// The three values in one write.
bool WriteCustomCards(Registry& registry, const CustomCards& cards);

}  // namespace dravolo::tool
