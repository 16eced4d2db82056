#pragma once
// Operations on a card image held in memory. They are stateless and never
// touch a byte outside the 131072 of the image; the file functions in
// memcard_ops.h read a card, run one of these and write back what changed.

#include <cstdint>
#include <vector>

#include "common/memcard/card_layout.h"

namespace dravolo::memcard {

// A blank card: header frames, 15 free directory frames, the reserved frames
// as a fresh card has them, zero data blocks.
void FormatImage(CardImage& card);

// "MC" in the first two bytes; nothing else is checked.
bool IsFormattedImage(const CardImage& card);

std::uint8_t SlotState(const CardImage& card, int slot);
// The region letters with the first in the high byte: "BA" is 0x4241.
std::uint16_t SlotRegion(const CardImage& card, int slot);

int CountAvailableSlots(const CardImage& card);
// Lowest slot available for writing, or -1.
int FirstAvailableSlot(const CardImage& card);
// Lowest available slot other than `except`; `except` itself when it is the
// only one; -1 when there is none.
int FirstAvailableSlotExcept(const CardImage& card, int except);

// The slots of the save that starts at `first`, in order, following the
// next-slot bytes. Never more than 16 entries (the first and 15 links), so a
// looping chain comes back longer than any real save can be.
std::vector<int> SaveChain(const CardImage& card, int first);

// Whether a block in state `link` can continue the save whose first block is
// in state `start`: a middle or last block of the same kind (0x52/0x53 after a
// save in use, 0xA2/0xA3 after a marked-free one).
bool ContinuesSave(std::uint8_t start, std::uint8_t link);
// The slots of the save at `start`, in order: the next-slot bytes are followed
// only into blocks that continue the save (ContinuesSave), never out of the
// directory and never twice. Empty when `start` is out of range.
std::vector<int> SaveBlocks(const CardImage& card, int start);

// Clears the directory frames and zeroes the blocks of the save at `slot`.
// Does nothing for a free, never-used or link slot. A block another save
// starts or reaches as well is never touched (SaveBlocks, cut there).
void EraseSave(CardImage& card, int slot);
// Marks the save at `slot` free (0x51 -> 0xA1 ...) keeping data and links.
// Does nothing for a free or never-used slot.
void MarkSaveFree(CardImage& card, int slot);

// Copies the save starting at `sourceSlot` so that it starts at `destSlot`;
// its other blocks land in the lowest available slots. False, with `dest`
// unchanged, when a slot is out of range or a link, a card is unformatted or
// the destination lacks room.
bool CopySaveBetween(const CardImage& source, int sourceSlot, CardImage& dest, int destSlot);
// The same within one card; copying a save onto itself changes nothing.
bool CopySaveWithin(CardImage& card, int sourceSlot, int destSlot);

}  // namespace dravolo::memcard
