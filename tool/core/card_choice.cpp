#include "tool/core/card_choice.h"

#include <algorithm>
#include <vector>

#include "tool/core/config_name.h"
#include "tool/core/tool_registry.h"

namespace dravolo::tool {

ManagedSlots ReadManagedSlots(Registry& registry) {
    ToolRegistry values(registry);
    return {values.ReadNumber(kMemoryCardsKey, "MemCard0"), values.ReadNumber(kMemoryCardsKey, "MemCard1")};
}

bool WriteManagedSlot(Registry& registry, int slot, std::uint32_t cardNumber) {
    return registry.SetDword(RegRoot::CurrentUser, kMemoryCardsKey, slot == 0 ? "MemCard0" : "MemCard1", cardNumber);
}

int SlotMark(const ManagedSlots& slots, int cardNumber) {
    if (cardNumber < 0) return 0;
    const auto number = static_cast<std::uint32_t>(cardNumber);
    if (slots.slot1 == slots.slot2) return slots.slot1 == number ? kMarkBothSlots : 0;
    if (slots.slot1 == number) return kMarkSlot1;
    if (slots.slot2 == number) return kMarkSlot2;
    return 0;
}

namespace {

constexpr const char* kSlotValues[] = {"MemCard0", "MemCard1"};

// The "Memory Cards" keys of the active area and of every stored configuration.
std::vector<std::string> CardChoiceKeys(Registry& registry) {
    std::vector<std::string> keys{kMemoryCardsKey};
    const std::string stored = std::string(kVisionThingKey) + "\\KestrineCFG";
    for (const std::string& name :
         registry.EnumSubkeys(RegRoot::CurrentUser, stored).value_or(std::vector<std::string>{}))
        keys.push_back(stored + "\\" + name + "\\Memory Cards");
    return keys;
}

}  // namespace

bool FollowCardDeletion(Registry& registry, int deleted, int movedEnd) {
    if (deleted < 0) return false;
    const auto gone = static_cast<std::uint32_t>(deleted);
    const auto end = static_cast<std::uint32_t>(std::max(movedEnd, deleted + 1));
    ToolRegistry values(registry);
    RegBatch batch;
    for (const std::string& key : CardChoiceKeys(registry)) {
        for (const char* name : kSlotValues) {
            const auto card = values.ReadNumber(key, name);
            if (!card) continue;
            if (*card == gone) {
                batch.DeleteValue(RegRoot::CurrentUser, key, name);
            } else if (*card > gone && *card < end) {
                batch.SetDword(RegRoot::CurrentUser, key, name, *card - 1);
            }
        }
    }
    return batch.empty() || registry.Commit(batch);
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
