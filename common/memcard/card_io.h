#pragma once
// Reading a card file into an image and writing back only what an operation
// changed. Cards are patched in place, never rewritten whole: an emulator may
// hold the file open, and bytes nobody changed are left alone.

#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "common/base/error.h"

#include "common/memcard/card_layout.h"
#include "common/platform/winfs.h"

namespace dravolo::memcard {

// The first 131072 bytes of the file. Bytes past the end of a short file are
// zero, never left over from an earlier read; bytes past 131072 are ignored.
// Null when the path is empty or the file cannot be opened or read.
std::unique_ptr<CardImage> ReadCardFile(std::string_view path);

// A card open for reading and writing, with the image as read (`before`) and
// the image an operation changes (`after`).
struct CardUpdate {
    std::string path;
    std::unique_ptr<WinFile> file;
    std::unique_ptr<CardImage> before;
    std::unique_ptr<CardImage> after;

    // Writes the 128-byte frames where `after` differs from `before`, in runs.
    // error, when given, says why a write failed.
    bool WriteChanges(Error* error = nullptr);
};

// Null when the path is empty or the file cannot be opened for writing (it
// must exist) or read; error, when given, then says why.
std::unique_ptr<CardUpdate> OpenCardForUpdate(std::string_view path, Error* error = nullptr);

// A new card, card file or save file: creates or truncates the file and
// writes `data`; error, when given, says why it could not.
bool WriteNewCardFile(std::string_view path, std::span<const std::uint8_t> data, Error* error = nullptr);

}  // namespace dravolo::memcard
