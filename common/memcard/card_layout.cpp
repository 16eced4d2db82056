#include "common/memcard/card_layout.h"

namespace dravolo::memcard {

std::uint8_t FrameChecksum(ConstFrame frame) {
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < kChecksumOffset; ++i) sum ^= frame[i];
    return sum;
}

void UpdateChecksum(Frame frame) { frame[kChecksumOffset] = FrameChecksum(frame); }

Frame DirectoryFrame(CardImage& card, int slot) { return Frame(card.data() + DirectoryFrameOffset(slot), kFrameSize); }

ConstFrame DirectoryFrame(const CardImage& card, int slot) {
    return ConstFrame(card.data() + DirectoryFrameOffset(slot), kFrameSize);
}

std::span<std::uint8_t, kBlockSize> DataBlock(CardImage& card, int slot) {
    return std::span<std::uint8_t, kBlockSize>(card.data() + BlockOffset(slot), kBlockSize);
}

std::span<const std::uint8_t, kBlockSize> DataBlock(const CardImage& card, int slot) {
    return std::span<const std::uint8_t, kBlockSize>(card.data() + BlockOffset(slot), kBlockSize);
}

}  // namespace dravolo::memcard
