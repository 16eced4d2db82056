#pragma once
// Single-save files: one save, all its blocks, outside a card.
//   PSXGameEdit / Memory Juggler  .mcs .ps1  the 128-byte directory frame, then the blocks
//   AR / GS / Caetla / Smart Link / Datel  .psx .mcb .mcx .pda
//                                 54-byte header (file name, title), then the blocks
//   raw                           the blocks alone; the file's name is the save's name
//   PS3                           .psv  132-byte signed header, then the blocks
// Readers recognise the format by its content; writers are picked by extension.
// A save placed on a card lands as a copy does: its first block in the chosen
// slot, the rest in the lowest free slots.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/base/bytes.h"
#include "common/memcard/card_layout.h"

namespace dravolo::memcard {

enum class SaveFormat { Mcs, ActionReplay, Raw, Psv };

inline constexpr std::size_t kMcsHeaderSize = kFrameSize;
inline constexpr std::size_t kActionReplayHeaderSize = 54;
inline constexpr std::size_t kActionReplayTitleOffset = 21;
inline constexpr std::size_t kPsvHeaderSize = 0x84;
inline constexpr std::size_t kPsvSeedOffset = 0x08;
inline constexpr std::size_t kPsvSignatureOffset = 0x1C;
inline constexpr std::size_t kSaveNameSize = 20;  // directory frame bytes 10-29: region, product code, identifier

struct SingleSave {
    std::array<std::uint8_t, kFrameSize> frame{};  // the first block's directory frame
    Bytes blocks;                                  // whole blocks, first to last
    int BlockCount() const { return static_cast<int>(blocks.size() / kBlockSize); }
};

enum class SaveProblem {
    None,
    SlotOutOfRange,
    NotFormatted,
    NoSave,  // the slot does not start a save (free, or a later block)
    Empty,
    NotASaveFile,    // no format recognised
    NotWholeBlocks,  // the data is not a whole number of blocks (cut short); `needed`: the
                     // file's size as its own header tells it, 0 when it does not
    TooManyBlocks,   // more than a card holds
    NotPs1Save,      // a PS3 save of a PS2 game
    LinkSlot,        // the chosen slot is a later block of another save
    NoRoom,          // the card lacks `needed` free slots
};

struct SaveResult {
    SaveProblem problem = SaveProblem::None;
    std::size_t needed = 0;
    bool signatureValid = true;  // PS3 saves
    int blocks = 0;
    bool ok() const { return problem == SaveProblem::None; }
};

// The save starting at `slot` (in use or marked free), as a single save.
SaveResult ExtractSave(const CardImage& card, int slot, SingleSave& save);

// `fileName`: the name the file has, for a raw save whose name it is.
SaveResult ReadSaveData(std::span<const std::uint8_t> file, std::string_view fileName, SingleSave& save);
// `title`: the save's title as text for the AR header (cut to fit).
Bytes WriteSaveData(const SingleSave& save, SaveFormat format, std::string_view title = {});

// Places the save with its first block in `slot`, replacing a save there.
SaveResult PlaceSave(CardImage& card, const SingleSave& save, int slot);

SaveFormat SaveFormatForPath(std::string_view path);

// The save's name (region, product code, identifier) without trailing zeros,
// with the characters a file name cannot hold replaced by '_': the name a raw
// save file must have.
std::string SaveFileName(const SingleSave& save);

}  // namespace dravolo::memcard
