#pragma once
// Card and save formats on files: reading a card file of any format,
// writing one in the format its name asks for, and moving single saves
// between save files and card files (which are patched in place).

#include <string_view>

#include "common/base/error.h"

#include "common/memcard/card_formats.h"
#include "common/memcard/save_formats.h"

namespace dravolo::memcard {

struct CardFileRead {
    bool opened = true;  // false: the file cannot be opened or read
    CardRead read;
    bool ok() const { return opened && read.ok(); }
};

CardFileRead ReadAnyCardFile(std::string_view path, CardImage& card);

// Creates or truncates the file and writes the card in `format`; error, when
// given, says why it could not.
bool WriteCardFile(std::string_view path, const CardImage& card, CardFormat format,
                   const DexDriveComments* comments = nullptr, Error* error = nullptr);

enum class FileProblem { None, CannotReadCard, CannotReadSave, CannotWrite };

struct SaveFileResult {
    FileProblem file = FileProblem::None;
    Error cause;  // why the file could not be written, with CannotWrite
    SaveResult save;
    bool ok() const { return file == FileProblem::None && save.ok(); }
};

// Writes the save at `slot` of the card to `outPath` in the format its
// extension asks for (.mcs/.ps1, .psx/.mcb/.mcx/.pda, .psv, anything else raw).
SaveFileResult ExportSaveToFile(std::string_view cardPath, int slot, std::string_view outPath);

// Places the save in `savePath` on the card, its first block in `slot`.
SaveFileResult ImportSaveFromFile(std::string_view savePath, std::string_view cardPath, int slot);

}  // namespace dravolo::memcard
