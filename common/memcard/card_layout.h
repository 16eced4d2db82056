#pragma once
// The layout of a PlayStation memory-card image: 128 KiB in 16 blocks of
// 8 KiB. Block 0 is the directory (64 frames of 128 bytes); blocks 1-15 hold
// save data, block s+1 owned by slot s and described by directory frame s+1.
// Everything here is sizes, offsets and the few rules about single bytes;
// the operations live in card_image.h.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace dravolo::memcard {

inline constexpr std::size_t kFrameSize = 128;
inline constexpr std::size_t kBlockSize = 8192;
inline constexpr std::size_t kBlockCount = 16;
inline constexpr std::size_t kCardSize = kBlockSize * kBlockCount;
inline constexpr std::size_t kFramesPerBlock = kBlockSize / kFrameSize;
inline constexpr int kSlotCount = 15;

static_assert(kCardSize == 131072);
static_assert(kFramesPerBlock == 64);
static_assert(kSlotCount == static_cast<int>(kBlockCount) - 1);

using CardImage = std::array<std::uint8_t, kCardSize>;
using Frame = std::span<std::uint8_t, kFrameSize>;
using ConstFrame = std::span<const std::uint8_t, kFrameSize>;

// Directory block frames.
inline constexpr std::size_t kHeaderFrame = 0;
inline constexpr std::size_t kFirstReservedFrame = 16;  // 16-35: 0xFF 0xFF 0xFF 0xFF 0 0 0 0 0xFF 0xFF ...
inline constexpr std::size_t kFirstFilledFrame = 36;    // 36-62: all 0xFF
inline constexpr std::size_t kHeaderCopyFrame = 63;
static_assert(kFirstReservedFrame == 1 + kSlotCount);
static_assert(kHeaderCopyFrame == kFramesPerBlock - 1);

// Directory frame fields (byte offsets in the frame).
inline constexpr std::size_t kStateOffset = 0;
inline constexpr std::size_t kSaveSizeOffset = 4;
inline constexpr std::size_t kNextSlotOffset = 8;
inline constexpr std::size_t kNextSlotHighOffset = 9;
inline constexpr std::size_t kRegionOffset = 10;
inline constexpr std::size_t kProductCodeOffset = 12;
inline constexpr std::size_t kSaveIdOffset = 22;
inline constexpr std::size_t kChecksumOffset = kFrameSize - 1;
static_assert(kSaveIdOffset + 8 <= kChecksumOffset);

inline constexpr std::uint8_t kNoNextSlot = 0xFF;

// Slot states.
inline constexpr std::uint8_t kStateFirst = 0x51;
inline constexpr std::uint8_t kStateLink = 0x52;
inline constexpr std::uint8_t kStateEndLink = 0x53;
inline constexpr std::uint8_t kStateFree = 0xA0;
inline constexpr std::uint8_t kStateNeverUsed = 0x00;

// Title frame of a save's first block (offsets in the block).
inline constexpr std::size_t kMagicOffset = 0;  // "SC"
inline constexpr std::size_t kIconFlagOffset = 2;
inline constexpr std::size_t kTitleOffset = 4;
inline constexpr std::size_t kTitleSize = 64;
inline constexpr std::size_t kPaletteOffset = 0x60;
inline constexpr std::size_t kPaletteSize = 32;
inline constexpr std::size_t kIconOffset = 0x80;
inline constexpr std::size_t kIconSize = 128;
static_assert(kTitleOffset + kTitleSize <= kPaletteOffset);
static_assert(kPaletteOffset + kPaletteSize == kIconOffset);
static_assert(kIconSize * 2 == 16 * 16);  // 4 bits a pixel

// Headers of the foreign images we import by dropping them.
inline constexpr std::size_t kDexDriveHeaderSize = 3904;  // ".gme"
inline constexpr std::size_t kVgsHeaderSize = 64;         // ".vgs", ".mem"
static_assert(kDexDriveHeaderSize == 0xF40);

// Checksums of the frames written from constants.
inline constexpr std::uint8_t kHeaderChecksum = 0x0E;  // 'M' ^ 'C'
static_assert(('M' ^ 'C') == kHeaderChecksum);

constexpr std::size_t FrameOffset(std::size_t frame) { return frame * kFrameSize; }
constexpr std::size_t DirectoryFrameOffset(int slot) { return FrameOffset(static_cast<std::size_t>(slot) + 1); }
constexpr std::size_t BlockOffset(int slot) { return (static_cast<std::size_t>(slot) + 1) * kBlockSize; }
static_assert(DirectoryFrameOffset(kSlotCount - 1) + kFrameSize <= FrameOffset(kFirstReservedFrame));
static_assert(BlockOffset(kSlotCount - 1) + kBlockSize == kCardSize);

constexpr bool IsValidSlot(int slot) { return slot >= 0 && slot < kSlotCount; }

// A slot is in use unless it is free, never used or marked free.
constexpr bool IsInUseState(std::uint8_t state) {
    return !(state == kStateFree || state == kStateNeverUsed || state == 0xA1 || state == 0xA2 || state == 0xA3);
}
// A slot can take new data when it is free in any way (0xA?) or never used;
// 0xA4-0xAF count too, unlike for IsInUseState.
constexpr bool IsAvailableState(std::uint8_t state) { return (state & 0xF0) == 0xA0 || state == kStateNeverUsed; }
// Middle and last blocks of a save: never the start or target of a copy.
constexpr bool IsLinkState(std::uint8_t state) { return state == kStateLink || state == kStateEndLink; }
// Marking free keeps the block kind in the low four bits: 0x51 -> 0xA1 ...
constexpr std::uint8_t MarkedFreeState(std::uint8_t state) { return static_cast<std::uint8_t>((state & 0x0F) | 0xA0); }

// Exclusive-or of bytes 0-126, kept in byte 127 of every frame.
std::uint8_t FrameChecksum(ConstFrame frame);
void UpdateChecksum(Frame frame);

// The directory frame and data block of a slot; `slot` must be 0-14.
Frame DirectoryFrame(CardImage& card, int slot);
ConstFrame DirectoryFrame(const CardImage& card, int slot);
std::span<std::uint8_t, kBlockSize> DataBlock(CardImage& card, int slot);
std::span<const std::uint8_t, kBlockSize> DataBlock(const CardImage& card, int slot);

}  // namespace dravolo::memcard
