#pragma once
// Reading a card file into an image and writing back only what an operation
// changed. Cards are patched in place, never rewritten whole: an emulator may
// hold the file open, and bytes nobody changed are left alone.

#include <memory>
#include <string_view>

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
    std::unique_ptr<WinFile> file;
    std::unique_ptr<CardImage> before;
    std::unique_ptr<CardImage> after;

    // Writes the 128-byte frames where `after` differs from `before`, in runs.
    bool WriteChanges();
};

// Null when the path is empty or the file cannot be opened for writing (it
// must exist) or read.
std::unique_ptr<CardUpdate> OpenCardForUpdate(std::string_view path);

}  // namespace dravolo::memcard
