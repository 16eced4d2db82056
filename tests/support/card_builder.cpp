#include "tests/support/card_builder.h"

#include <algorithm>

namespace dravolo::test {

CardBuilder::CardBuilder() : card_(kCardSize, 0) {
    auto header = [this](std::size_t at) {
        card_[at] = 'M';
        card_[at + 1] = 'C';
        card_[at + 127] = 0x0E;
    };
    header(0);
    for (int slot = 0; slot < 15; ++slot) {
        std::uint8_t* f = card_.data() + FrameOffset(slot);
        f[0] = 0xA0;
        f[8] = 0xFF;
        f[9] = 0xFF;
        f[127] = 0xA0;
    }
    for (std::size_t frame = 16; frame < 36; ++frame) {
        std::uint8_t* f = card_.data() + frame * kFrameSize;
        std::fill_n(f, 4, std::uint8_t{0xFF});
        f[8] = 0xFF;
        f[9] = 0xFF;
    }
    std::fill(card_.begin() + 36 * kFrameSize, card_.begin() + 63 * kFrameSize, std::uint8_t{0xFF});
    header(63 * kFrameSize);
}

CardBuilder CardBuilder::Unformatted() { return CardBuilder(Bytes(kCardSize, 0)); }

std::uint8_t CardBuilder::Pattern(std::uint8_t seed, int position, std::size_t index) {
    return static_cast<std::uint8_t>(seed * 31 + position * 17 + index * 7 + (index >> 8));
}

std::uint8_t CardBuilder::Checksum(const std::uint8_t* frame) {
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < 127; ++i) sum ^= frame[i];
    return sum;
}

void CardBuilder::FixChecksum(int slot) {
    std::uint8_t* f = card_.data() + FrameOffset(slot);
    f[127] = Checksum(f);
}

CardBuilder& CardBuilder::AddSave(std::initializer_list<int> slots, std::string_view title, std::uint8_t seed,
                                  std::string_view region) {
    const std::vector<int> chain(slots);
    for (std::size_t i = 0; i < chain.size(); ++i) {
        const int slot = chain[i];
        const bool last = i + 1 == chain.size();
        std::uint8_t* f = card_.data() + FrameOffset(slot);
        std::fill_n(f, kFrameSize, std::uint8_t{0});
        f[0] = i == 0 ? 0x51 : last ? 0x53 : 0x52;
        StoreU32(f + 4, static_cast<std::uint32_t>(i == 0 ? chain.size() * kBlockSize : 0));
        f[8] = last ? 0xFF : static_cast<std::uint8_t>(chain[i + 1]);
        f[9] = last ? 0xFF : 0x00;
        for (std::size_t c = 0; c < 2 && c < region.size(); ++c) f[10 + c] = static_cast<std::uint8_t>(region[c]);
        const std::string name = "SLUS-0" + std::to_string(100 + seed) + "SAVE" + std::to_string(seed);
        std::copy_n(name.begin(), std::min<std::size_t>(name.size(), 18), f + 12);
        FixChecksum(slot);

        std::uint8_t* block = card_.data() + BlockOffset(slot);
        for (std::size_t j = 0; j < kBlockSize; ++j) block[j] = Pattern(seed, static_cast<int>(i), j);
        if (i == 0) {
            block[0] = 'S';
            block[1] = 'C';
            block[2] = 0x00;  // no icon until SetIcon
            SetTitle(slot, title);
        }
    }
    return *this;
}

CardBuilder& CardBuilder::SetTitle(int slot, std::string_view titleBytes) {
    std::uint8_t* t = card_.data() + BlockOffset(slot) + 4;
    std::fill_n(t, 64, std::uint8_t{0});
    std::copy_n(titleBytes.begin(), std::min<std::size_t>(titleBytes.size(), 64), t);
    return *this;
}

CardBuilder& CardBuilder::SetIcon(int slot, const std::array<std::uint16_t, 16>& palette,
                                  const std::array<std::uint8_t, 128>& pixels) {
    std::uint8_t* block = card_.data() + BlockOffset(slot);
    block[2] = 0x11;
    for (std::size_t c = 0; c < palette.size(); ++c) StoreU16(block + 0x60 + 2 * c, palette[c]);
    std::copy(pixels.begin(), pixels.end(), block + 0x80);
    return *this;
}

CardBuilder& CardBuilder::SetState(int slot, std::uint8_t state) {
    card_[FrameOffset(slot)] = state;
    FixChecksum(slot);
    return *this;
}

CardBuilder& CardBuilder::SetNext(int slot, std::uint8_t next, std::uint8_t high) {
    card_[FrameOffset(slot) + 8] = next;
    card_[FrameOffset(slot) + 9] = high;
    FixChecksum(slot);
    return *this;
}

CardBuilder& CardBuilder::MarkFree(std::initializer_list<int> slots) {
    for (int slot : slots) SetState(slot, static_cast<std::uint8_t>((card_[FrameOffset(slot)] & 0x0F) | 0xA0));
    return *this;
}

CardBuilder& CardBuilder::SetByte(std::size_t offset, std::uint8_t value) {
    card_[offset] = value;
    return *this;
}

}  // namespace dravolo::test
