#pragma once
// The pool of managed memory cards: "MemCards\epsxe%03d.mcr" in the emulator's
// folder, numbered 0, 1, 2, ... up to the first number whose file cannot be
// opened. Every command works on whole files; the tab shows the result.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/base/bytes.h"
#include "common/memcard/card_layout.h"

namespace dravolo::tool {

// One row of the card list.
struct CardRow {
    int number = 0;
    std::string label;    // "Card %04ld"
    std::string summary;  // as SummariseCard gives it
    std::string date;     // "%Y/%m/%d", empty when the file cannot be opened
};

enum class ImportKind { None, Mcr, Gme, Psx };

// What a deletion did to the pool's numbers.
struct CardDeletion {
    bool deleted = false;   // the card's file is gone
    int movedEnd = 0;       // cards number+1 .. movedEnd-1 now carry one number less
    bool complete = false;  // every following card moved
};

// Sizes a source must at least have.
inline constexpr std::size_t kPsxHeaderSize = 54;
inline constexpr std::size_t kPsxNameSize = 20;
inline constexpr std::size_t kGmeSourceSize = memcard::kDexDriveHeaderSize + memcard::kCardSize;
inline constexpr std::size_t kPsxSourceSize = kPsxHeaderSize + memcard::kBlockSize;

// The tool's formatted card: the header frame, frames 1-15 free, 16-35
// reserved; frames 36-63 and every data block stay zero.
Bytes ToolFormattedCard();
// A card holding one .psx save (54-byte header, then 8192 data bytes) in block 1.
Bytes CardFromPsxSave(std::span<const std::uint8_t> source);
// The first of ".MCR", ".GME", ".PSX" contained anywhere in the upper-cased path.
ImportKind ImportKindOfPath(std::string_view path);

class CardPool {
public:
    // emulatorDirectory: the folder of ePSXe.EXE (no trailing backslash).
    explicit CardPool(std::string emulatorDirectory) : directory_(std::move(emulatorDirectory)) {}

    std::string CardPath(int number) const;
    static std::string CardLabel(int number);
    static std::string ExportFileName(int number);  // "epsxe%03d.mcr"

    // The rows from card 0 up to the first card that cannot be read.
    std::vector<CardRow> Rows() const;
    int Count() const;

    // Each returns false when nothing (or not everything) could be done.
    bool Format(int number) const;
    // A new all-zero card at the end; its number, nullopt on failure.
    std::optional<int> Create() const;
    // Deletes card `number` and renumbers the following cards down by one.
    CardDeletion Delete(int number) const;
    std::optional<int> Duplicate(int number) const;
    // A card from a .mcr, .gme or .psx file at the end; nullopt when the kind
    // is unknown, the source is too short or a file operation fails.
    std::optional<int> Import(std::string_view sourcePath) const;
    bool Export(int number, std::string_view targetPath) const;

private:
    // Writes a whole new card as the next number; never replaces a file.
    std::optional<int> AddCard(std::span<const std::uint8_t> card) const;

    std::string directory_;
};

}  // namespace dravolo::tool
