#include "tool/core/card_choice.h"

#include "tool/core/tool_registry.h"

namespace dravolo::tool {

ManagedSlots ReadManagedSlots(Registry& registry) {
    ToolRegistry values(registry);
    return {values.ReadNumber(kMemoryCardsKey, "MemCard0"), values.ReadNumber(kMemoryCardsKey, "MemCard1")};
}

bool WriteManagedSlot(Registry& registry, int slot, std::uint32_t cardNumber) {
    return registry.SetDword(RegRoot::CurrentUser, kMemoryCardsKey, slot == 0 ? "MemCard0" : "MemCard1",
                             cardNumber);
}

int SlotMark(const ManagedSlots& slots, int cardNumber) {
    if (cardNumber < 0) return 0;
    const auto number = static_cast<std::uint32_t>(cardNumber);
    if (slots.slot1 == slots.slot2) return slots.slot1 == number ? kMarkBothSlots : 0;
    if (slots.slot1 == number) return kMarkSlot1;
    if (slots.slot2 == number) return kMarkSlot2;
    return 0;
}

CustomCards ReadCustomCards(Registry& registry) {
    ToolRegistry values(registry);
    CustomCards cards;
    cards.useCustom = values.ReadNumber(kMemoryCardsKey, "CustomCards").value_or(0) != 0;
    cards.card1 = values.ReadText(kMemoryCardsKey, "CustomCard0").value_or("");
    cards.card2 = values.ReadText(kMemoryCardsKey, "CustomCard1").value_or("");
    return cards;
}

bool WriteCustomCards(Registry& registry, const CustomCards& cards) {
    RegBatch batch;
    batch.SetDword(RegRoot::CurrentUser, kMemoryCardsKey, "CustomCards", cards.useCustom ? 1 : 0);
    batch.SetString(RegRoot::CurrentUser, kMemoryCardsKey, "CustomCard0", cards.card1);
    batch.SetString(RegRoot::CurrentUser, kMemoryCardsKey, "CustomCard1", cards.card2);
    return registry.Commit(batch);
}

}  // namespace dravolo::tool
