#pragma once
// Checking a card's directory block: the header and test frames, every
// directory frame's checksum and state, the chains of the saves in use, the
// title frame of each save and the broken-frame list. Repair makes the
// checksums right and turns blocks no save reaches into marked-free saves
// (which Recover can bring back); it never changes a byte of save data.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "common/base/error.h"
#include "common/memcard/card_layout.h"

namespace dravolo::memcard {

enum class FindingKind {
    WrongFileSize,        // the file is `value` bytes, not one card (file checks only)
    NotFormatted,         // no "MC" in the header frame: nothing else is checked
    HeaderChecksum,       // frame 0: `value` stored, `other` computed
    TestFrameChecksum,    // frame 63: `value` stored, `other` computed
    TestFrameDiffers,     // frame 63 is not a copy of the header frame
    DirectoryChecksum,    // `slot`'s frame: `value` stored, `other` computed
    UnknownState,         // `slot` has state `value`
    LinkOutOfRange,       // `slot` of the save starting at `other` links to `value`, past the directory
    LinkToFreeBlock,      // `slot` links to `value`, a free or marked-free block
    LinkToForeignBlock,   // `slot` links to `value`, another save's first block or a block in another state
    Loop,                 // `slot` links back to `value`, a block earlier in the same chain
    SharedBlock,          // `slot` is reached by the saves starting at `value` and `other`
    ChainNotEnded,        // the chain of the save starting at `other` ends at `slot` without an end block
    EndBlockLinksOn,      // `slot`, an end block, links on to `value`
    SizeMismatch,         // `slot`'s size field says `value` bytes, its chain has `other` blocks
    MissingTitleMagic,    // `slot`'s first block does not start with "SC"
    UnreachableBlock,     // `slot` is a block of a save in use that no save reaches
    BrokenFrameChecksum,  // broken-frame list entry `value` (frame 16 + value): checksum wrong
    BrokenFrameListed,    // entry `value` lists sector `other` as broken
};

struct Finding {
    FindingKind kind;
    int slot = -1;  // 0-14 when the finding belongs to a slot
    std::uint32_t value = 0;
    std::uint32_t other = 0;

    bool operator==(const Finding&) const = default;
};

// Every finding, in directory order: header frame, directory frames, chains,
// broken-frame list, test frame.
std::vector<Finding> CheckCard(const CardImage& card);

struct RepairResult {
    int checksumsFixed = 0;
    int blocksMarkedFree = 0;  // unreachable blocks made into marked-free saves
    int savesMarkedFree = 0;
    bool changed() const { return checksumsFixed + blocksMarkedFree > 0; }
};

// Nothing is repaired on a card without "MC".
RepairResult RepairCard(CardImage& card);

// Whether Repair would change anything for this finding.
bool IsRepairable(FindingKind kind);

// The same on a card file: its size first, then the card. False when the
// file cannot be opened or read.
bool CheckCardFile(std::string_view path, std::vector<Finding>& findings);
// Repairs a card file in place; nothing when it cannot be opened for writing
// or written, and error, when given, then says why.
std::optional<RepairResult> RepairCardFile(std::string_view path, Error* error = nullptr);

}  // namespace dravolo::memcard
