// Memory-card images and the operations on them. The input is four bytes
// (operation, two slots, a variant) and a card image (zeros where the input
// ends early). Every operation changes nothing outside the directory frames
// and blocks of the slots it may touch, never a block of another live save,
// and leaves a right checksum in every directory frame it changed. A copy
// holds the source save's data, block for block.

#include <algorithm>
#include <bitset>
#include <cstring>
#include <memory>

#include "common/memcard/card_image.h"
#include "common/memcard/card_integrity.h"
#include "common/memcard/card_layout.h"
#include "common/memcard/icon.h"
#include "common/memcard/title_text.h"
#include "tests/fuzz/fuzz_check.h"

using namespace dravolo::memcard;

namespace {

using Slots = std::bitset<kSlotCount>;

std::span<const std::uint8_t> Block(const CardImage& card, int slot) {
    return std::span<const std::uint8_t>(card).subspan(BlockOffset(slot), kBlockSize);
}

std::span<const std::uint8_t, kFrameSize> DirFrame(const CardImage& card, int slot) {
    return std::span<const std::uint8_t>(card).subspan(DirectoryFrameOffset(slot)).first<kFrameSize>();
}

bool SameFrame(const CardImage& a, const CardImage& b, int slot) {
    return std::equal(DirFrame(a, slot).begin(), DirFrame(a, slot).end(), DirFrame(b, slot).begin());
}

bool SameBlock(const CardImage& a, const CardImage& b, int slot) {
    return std::equal(Block(a, slot).begin(), Block(a, slot).end(), Block(b, slot).begin());
}

// The first block of a save nothing may write over. States 0xA4-0xAF count
// as in use for the listing but are free for writing, as the emulators have it.
bool IsLiveStart(const CardImage& card, int slot) {
    const std::uint8_t state = SlotState(card, slot);
    return IsInUseState(state) && !IsLinkState(state) && !IsAvailableState(state);
}

// The card changed only in the frames of `frames` and the blocks of
// `blocks`; each changed frame carries its right checksum; every live save
// not in `replaced` is as it was.
void CheckChanges(const CardImage& before, const CardImage& after, Slots frames, Slots blocks, Slots replaced) {
    // Outside the slot frames and blocks: the header, the reserved frames and
    // the rest of the directory.
    FUZZ_CHECK(std::equal(before.begin(), before.begin() + static_cast<std::ptrdiff_t>(DirectoryFrameOffset(0)),
                          after.begin()));
    const std::size_t dirEnd = DirectoryFrameOffset(kSlotCount);
    FUZZ_CHECK(std::equal(before.begin() + static_cast<std::ptrdiff_t>(dirEnd),
                          before.begin() + static_cast<std::ptrdiff_t>(kBlockSize),
                          after.begin() + static_cast<std::ptrdiff_t>(dirEnd)));
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const auto s = static_cast<std::size_t>(slot);
        if (!frames[s]) FUZZ_CHECK(SameFrame(before, after, slot));
        else if (!SameFrame(before, after, slot))
            FUZZ_CHECK(FrameChecksum(DirFrame(after, slot)) == DirFrame(after, slot)[kChecksumOffset]);
        if (!blocks[s]) FUZZ_CHECK(SameBlock(before, after, slot));
    }
    for (int start = 0; start < kSlotCount; ++start) {
        if (!IsLiveStart(before, start) || replaced[static_cast<std::size_t>(start)]) continue;
        for (int slot : SaveBlocks(before, start)) {
            FUZZ_CHECK(SameFrame(before, after, slot));
            FUZZ_CHECK(SameBlock(before, after, slot));
        }
    }
}

Slots BlocksOf(const CardImage& card, int start) {
    Slots s;
    for (int slot : SaveBlocks(card, start)) s.set(static_cast<std::size_t>(slot));
    return s;
}

Slots Available(const CardImage& card) {
    Slots s;
    for (int slot = 0; slot < kSlotCount; ++slot)
        if (IsAvailableState(SlotState(card, slot))) s.set(static_cast<std::size_t>(slot));
    return s;
}

void CheckCopy(const CardImage& source, int sourceSlot, const CardImage& before, const CardImage& after, int destSlot,
               bool copied, Slots sourceReplaced) {
    if (!copied) {
        FUZZ_CHECK(before == after);
        return;
    }
    Slots mayChange = Available(before);
    mayChange.set(static_cast<std::size_t>(destSlot));
    Slots replaced;
    if (IsLiveStart(before, destSlot)) {
        mayChange |= BlocksOf(before, destSlot);
        replaced.set(static_cast<std::size_t>(destSlot));
    }
    CheckChanges(before, after, mayChange, mayChange, replaced | sourceReplaced);
    // The copy holds the source save's blocks in order.
    const std::vector<int> from = SaveChain(source, sourceSlot);
    const std::vector<int> to = SaveChain(after, destSlot);
    FUZZ_CHECK(from.size() == to.size());
    for (std::size_t i = 0; i < from.size(); ++i) {
        FUZZ_CHECK(
            std::equal(Block(source, from[i]).begin(), Block(source, from[i]).end(), Block(after, to[i]).begin()));
    }
}

// Reading a card for its listing: titles, icons, chains, findings.
void List(const CardImage& card) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        FUZZ_CHECK(SaveChain(card, slot).size() <= static_cast<std::size_t>(kSlotCount) + 1);
        const std::vector<int> blocks = SaveBlocks(card, slot);
        FUZZ_CHECK(blocks.size() <= static_cast<std::size_t>(kSlotCount));
        const auto block = Block(card, slot);
        (void)MemCardTitleText(block.subspan(kTitleOffset).first<kTitleSize>());
        const auto palette = block.subspan(kPaletteOffset).first<kPaletteSize>();
        (void)palette;
    }
    (void)CheckCard(card);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const std::uint8_t op = data[0];
    const int slotA = data[1] % 16;  // 15: out of range
    const int slotB = data[2] % 16;
    auto card = std::make_unique<CardImage>();
    card->fill(0);
    std::memcpy(card->data(), data + 4, std::min(size - 4, kCardSize));
    List(*card);

    auto work = std::make_unique<CardImage>(*card);
    switch (op % 6) {
    case 0: {
        EraseSave(*work, slotA);
        const Slots touched = IsValidSlot(slotA) ? BlocksOf(*card, slotA) : Slots{};
        Slots replaced;
        if (IsValidSlot(slotA)) replaced.set(static_cast<std::size_t>(slotA));
        CheckChanges(*card, *work, touched, touched, replaced);
        break;
    }
    case 1: {
        MarkSaveFree(*work, slotA);
        const Slots touched = IsValidSlot(slotA) ? BlocksOf(*card, slotA) : Slots{};
        Slots replaced;
        if (IsValidSlot(slotA)) replaced.set(static_cast<std::size_t>(slotA));
        CheckChanges(*card, *work, touched, Slots{}, replaced);
        break;
    }
    case 2: {
        const bool copied = CopySaveWithin(*work, slotA, slotB);
        if (copied && slotA == slotB) {
            FUZZ_CHECK(*work == *card);
            break;
        }
        CheckCopy(*card, slotA, *card, *work, slotB, copied, Slots{});
        break;
    }
    case 3: {
        // Into another card: a blank one, or this card's own image.
        auto dest = std::make_unique<CardImage>();
        if (data[3] & 1) FormatImage(*dest);
        else *dest = *card;
        const auto before = std::make_unique<CardImage>(*dest);
        const bool copied = CopySaveBetween(*card, slotA, *dest, slotB);
        CheckCopy(*card, slotA, *before, *dest, slotB, copied, Slots{});
        break;
    }
    case 4: {
        // Repairs keep every live save's data.
        (void)RepairCard(*work);
        for (int start = 0; start < kSlotCount; ++start) {
            if (!IsLiveStart(*card, start)) continue;
            for (int slot : SaveBlocks(*card, start)) FUZZ_CHECK(SameBlock(*card, *work, slot));
        }
        List(*work);
        break;
    }
    default: {
        FormatImage(*work);
        FUZZ_CHECK(IsFormattedImage(*work) && CountAvailableSlots(*work) == kSlotCount);
        for (int slot = 0; slot < kSlotCount; ++slot)
            FUZZ_CHECK(FrameChecksum(DirFrame(*work, slot)) == DirFrame(*work, slot)[kChecksumOffset]);
        break;
    }
    }
    return 0;
}
