#pragma once
// Memory-card images for tests, built byte by byte from the card layout and
// not through the memcard library, so the tests compare the library with a
// second, independent reading of the format. Cards with single and
// multi-block saves, erased and marked-free saves, broken links, Shift-JIS
// titles and icons.

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "common/base/bytes.h"

namespace dravolo::test {

class CardBuilder {
public:
    static constexpr std::size_t kCardSize = 131072;
    static constexpr std::size_t kBlockSize = 8192;
    static constexpr std::size_t kFrameSize = 128;

    // A freshly formatted card.
    CardBuilder();
    // 131072 zero bytes: not a formatted card.
    static CardBuilder Unformatted();

    // A save over `slots` in chain order: the first 0x51, middle ones 0x52,
    // the last 0x53 (a single slot is 0x51 ending in 0xFF 0xFF). Every block is
    // filled with a pattern from `seed` and the block's position in the save;
    // the first block carries "SC", the title bytes (Shift-JIS, zero-padded)
    // and, unless an icon is set later, an icon flag of zero.
    CardBuilder& AddSave(std::initializer_list<int> slots, std::string_view title = "SAVE", std::uint8_t seed = 1,
                         std::string_view region = "BA");
    // Sets the icon flag (0x11), the 16 palette entries and the 4-bit pixels
    // of the save whose first block is `slot`.
    CardBuilder& SetIcon(int slot, const std::array<std::uint16_t, 16>& palette,
                         const std::array<std::uint8_t, 128>& pixels);
    CardBuilder& SetTitle(int slot, std::string_view titleBytes);
    // Directory frame edits; each recomputes the frame's checksum.
    CardBuilder& SetState(int slot, std::uint8_t state);
    CardBuilder& SetNext(int slot, std::uint8_t next, std::uint8_t high = 0x00);
    // The state with its high four bits replaced by 0xA, along the chain given.
    CardBuilder& MarkFree(std::initializer_list<int> slots);
    // A raw byte, checksum untouched.
    CardBuilder& SetByte(std::size_t offset, std::uint8_t value);

    const Bytes& bytes() const { return card_; }
    std::string str() const { return std::string(card_.begin(), card_.end()); }

    static constexpr std::size_t FrameOffset(int slot) { return kFrameSize * static_cast<std::size_t>(slot + 1); }
    static constexpr std::size_t BlockOffset(int slot) { return kBlockSize * static_cast<std::size_t>(slot + 1); }
    // The pattern AddSave writes at `index` of block `position` of a save.
    static std::uint8_t Pattern(std::uint8_t seed, int position, std::size_t index);
    static std::uint8_t Checksum(const std::uint8_t* frame);

private:
    explicit CardBuilder(Bytes card) : card_(std::move(card)) {}
    void FixChecksum(int slot);

    Bytes card_;
};

}  // namespace dravolo::test
