#pragma once
// Bringing back a save that was erased the reversible way (marked free:
// 0xA1 first block, 0xA2/0xA3 further blocks, data and links kept). A save
// comes back only when its whole chain is still there and no block of it has
// since been given to another save; otherwise nothing changes and the result
// says why.

#include <string_view>

#include "common/base/error.h"
#include "common/memcard/card_layout.h"

namespace dravolo::memcard {

enum class RecoverProblem {
    None,
    SlotOutOfRange,
    NotFormatted,
    NotErased,         // the slot is not the first block of a marked-free save
    LinkOfErasedSave,  // 0xA2/0xA3: a later block; recover from the save's first slot
    LinkOutOfRange,    // `at` links to `value`, past the directory
    BlockInUse,        // `at` links to `value`, now a block of a save in use
    BlockFree,         // `at` links to `value`, since freed (0xA0, never used)
    BlockOfOtherSave,  // `at` links to `value`, the first block of another erased save or damaged
    Loop,              // `at` links back to `value`, a block of this chain
    ChainNotEnded,     // the chain ends at `at` without an end block, or an end block links on
    SharedBlock,       // block `value` belongs to the erased save in slot `other` as well
    SizeMismatch,      // the save's size says `value` blocks, its chain has `other`
    // File level only.
    CannotRead,
    CannotWrite,
};

struct RecoverResult {
    RecoverProblem problem = RecoverProblem::None;
    int at = -1;     // the slot where the chain breaks
    int value = -1;  // the slot (or block count) the problem names
    int other = -1;
    int blocks = 0;  // blocks brought back
    bool ok() const { return problem == RecoverProblem::None; }
};

// What recovering the save at `slot` would do, without changing anything.
RecoverResult CheckRecoverable(const CardImage& card, int slot);
// Recovers the save at `slot` when CheckRecoverable allows it: 0xA1/0xA2/0xA3
// become 0x51/0x52/0x53 with their checksums made right; nothing else changes.
RecoverResult RecoverSave(CardImage& card, int slot);

// The same on a card file, patched in place; error, when given, says why a
// card could not be written (CannotWrite).
RecoverResult RecoverSaveInFile(std::string_view path, int slot, Error* error = nullptr);

}  // namespace dravolo::memcard
