#pragma once
// The card operations the memory-card pages call, one file path each. Every
// call opens the card, does its work and closes it again; no card stays open
// between calls. Results are 1/0 (or a count with -1 for failure), and the
// odd cases where a file that cannot be opened still answers 1 are kept on
// purpose: the caller's own open then fails and reports. The calls that
// write take an optional `error`, filled when a card cannot be opened for
// writing or written (a refusal for another reason leaves it unset).

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "common/base/error.h"

namespace dravolo::memcard {

// Writes a blank card, creating or truncating the file. 0 when it cannot be
// created or written.
int MemCardFormat(std::string_view path, Error* error = nullptr);

// 0 for an empty path or when the file does not start with "MC"; 1 otherwise,
// also when the file cannot be opened.
int MemCardIsFormatted(std::string_view path);

// 0 when the slot is out of range or free, never used or marked free; 1
// otherwise, also when the file cannot be opened.
int MemCardSlotInUse(std::string_view path, int slot);

// Number of slots available for writing; -1 for an empty path, an
// unformatted card or a file that cannot be opened.
int MemCardFreeSlots(std::string_view path);
// Lowest available slot; -1 when there is none or on the same failures.
int MemCardFirstFree(std::string_view path);
// Lowest available slot other than `slot`; `slot` when it is the only one.
int MemCardFirstFreeExcept(std::string_view path, int slot);

// Appends the slots of the save starting at `firstSlot` to `slots` and
// returns their number; -1 for an empty path, an unformatted card or a first
// slot out of range; 1 with nothing appended when the file cannot be opened.
int MemCardSaveChain(std::string_view path, int firstSlot, std::vector<std::uint8_t>& slots);

// Erases the save at `slot` (directory frames cleared, blocks zeroed). 0 when
// the slot is out of range, the path empty, or the card cannot be opened for
// writing or written; else 1 (also when the slot held nothing to erase).
int MemCardDeleteSave(std::string_view path, int slot, Error* error = nullptr);
// Marks the save at `slot` free, keeping its data. Same results.
int MemCardMarkFree(std::string_view path, int slot, Error* error = nullptr);

// Copies a save to `destSlot` of the destination card (which may be the same
// file); its further blocks go to the lowest free slots. 1 on success.
int MemCardCopySave(std::string_view sourcePath, int sourceSlot, std::string_view destPath, int destSlot,
                    Error* error = nullptr);

// Imports a foreign image: the 131072 bytes after the first `headerSize`
// bytes of the source become the destination card. 0 when a path is empty,
// the source already is a card (or cannot be opened), the source is too
// short to hold a whole card, or the destination cannot be created or
// written; else 1.
int MemCardStripHeader(std::string_view sourcePath, std::string_view destPath, std::size_t headerSize,
                       Error* error = nullptr);

}  // namespace dravolo::memcard
