#include "common/memcard/save_recovery.h"

#include <array>
#include <vector>

#include "common/base/bytes.h"
#include "common/memcard/card_image.h"
#include "common/memcard/card_io.h"

namespace dravolo::memcard {

namespace {

constexpr std::uint8_t kMarkedFreeFirst = 0xA1;
constexpr std::uint8_t kMarkedFreeLink = 0xA2;
constexpr std::uint8_t kMarkedFreeEnd = 0xA3;

RecoverResult Problem(RecoverProblem problem, int at = -1, int value = -1, int other = -1) {
    RecoverResult result;
    result.problem = problem;
    result.at = at;
    result.value = value;
    result.other = other;
    return result;
}

// Why a link from `at` to `next` cannot be part of the erased chain.
RecoverResult BrokenLink(const CardImage& card, int at, int next) {
    const std::uint8_t state = SlotState(card, next);
    if ((state & 0xF0) == 0x50) return Problem(RecoverProblem::BlockInUse, at, next);
    if (state == kStateFree || state == kStateNeverUsed) return Problem(RecoverProblem::BlockFree, at, next);
    return Problem(RecoverProblem::BlockOfOtherSave, at, next);
}

// The chain of the erased save at `first` as the console left it: every
// link into a marked-free middle or end block, 0xFF after the end block.
RecoverResult WalkErasedChain(const CardImage& card, int first, std::vector<int>& chain) {
    std::array<bool, kSlotCount> seen{};
    chain = {first};
    seen[static_cast<std::size_t>(first)] = true;
    for (int slot = first;;) {
        const std::uint8_t state = SlotState(card, slot);
        const std::uint8_t next = DirectoryFrame(card, slot)[kNextSlotOffset];
        if (next == kNoNextSlot) {
            // A save of more than one block ends at its end block.
            if (chain.size() > 1 && state != kMarkedFreeEnd) return Problem(RecoverProblem::ChainNotEnded, slot);
            return {};
        }
        if (state == kMarkedFreeEnd) return Problem(RecoverProblem::ChainNotEnded, slot);
        if (next >= kSlotCount) return Problem(RecoverProblem::LinkOutOfRange, slot, next);
        if (seen[next]) return Problem(RecoverProblem::Loop, slot, next);
        const std::uint8_t nextState = SlotState(card, next);
        if (nextState != kMarkedFreeLink && nextState != kMarkedFreeEnd) return BrokenLink(card, slot, next);
        seen[next] = true;
        chain.push_back(next);
        slot = next;
    }
}

}  // namespace

RecoverResult CheckRecoverable(const CardImage& card, int slot) {
    if (!IsValidSlot(slot)) return Problem(RecoverProblem::SlotOutOfRange);
    if (!IsFormattedImage(card)) return Problem(RecoverProblem::NotFormatted);
    const std::uint8_t state = SlotState(card, slot);
    if (state == kMarkedFreeLink || state == kMarkedFreeEnd) return Problem(RecoverProblem::LinkOfErasedSave, slot);
    if (state != kMarkedFreeFirst) return Problem(RecoverProblem::NotErased, slot);

    std::vector<int> chain;
    if (RecoverResult broken = WalkErasedChain(card, slot, chain); !broken.ok()) return broken;

    // Another erased save whose stale links reach one of these blocks: the
    // block holds the data of whichever was written last, and nothing tells
    // which that was.
    for (int first = 0; first < kSlotCount; ++first) {
        if (first == slot || SlotState(card, first) != kMarkedFreeFirst) continue;
        const std::vector<int> other = SaveBlocks(card, first);
        for (std::size_t i = 1; i < chain.size(); ++i)
            for (int block : other)
                if (block == chain[i]) return Problem(RecoverProblem::SharedBlock, chain[i], chain[i], first);
    }

    // The size the console wrote, when it wrote one, must match the chain: a
    // shorter chain lost its tail to a later save.
    const std::uint32_t size = LoadU32(DirectoryFrame(card, slot).data() + kSaveSizeOffset);
    const auto blocks = static_cast<std::uint32_t>(chain.size());
    if (size != 0 && size != blocks * kBlockSize) {
        const bool whole = size % kBlockSize == 0 && size / kBlockSize <= kSlotCount;
        return Problem(RecoverProblem::SizeMismatch, slot, whole ? static_cast<int>(size / kBlockSize) : -1,
                       static_cast<int>(blocks));
    }
    RecoverResult result;
    result.at = slot;
    result.blocks = static_cast<int>(chain.size());
    return result;
}

RecoverResult RecoverSave(CardImage& card, int slot) {
    RecoverResult result = CheckRecoverable(card, slot);
    if (!result.ok()) return result;
    for (int block : SaveBlocks(card, slot)) {
        Frame frame = DirectoryFrame(card, block);
        frame[kStateOffset] = static_cast<std::uint8_t>((frame[kStateOffset] & 0x0F) | 0x50);
        UpdateChecksum(frame);
    }
    return result;
}

RecoverResult RecoverSaveInFile(std::string_view path, int slot, Error* error) {
    if (!IsValidSlot(slot)) return Problem(RecoverProblem::SlotOutOfRange);
    const auto card = ReadCardFile(path);
    if (!card) return Problem(RecoverProblem::CannotRead);
    // Checked on what was read, so a card that cannot be written is still told why it cannot be recovered.
    if (RecoverResult check = CheckRecoverable(*card, slot); !check.ok()) return check;
    const auto update = OpenCardForUpdate(path, error);
    if (!update) return Problem(RecoverProblem::CannotWrite);
    RecoverResult result = RecoverSave(*update->after, slot);
    if (!result.ok()) return result;  // the card changed between the two reads
    if (!update->WriteChanges(error)) return Problem(RecoverProblem::CannotWrite);
    return result;
}

}  // namespace dravolo::memcard
