#pragma once
// What the page and dravolo-cli say when a card or save file cannot be read,
// written or placed, and when a signed file's signature does not match.

#include <string>
#include <string_view>

#include "common/memcard/card_files.h"

namespace dravolo::memcards {

// Why `path` was not read as a card; empty when it was.
std::string CardReadText(std::string_view path, const memcard::CardFileRead& read);
// A notice for a card read whose signature or checksum did not match; empty otherwise.
std::string SignatureNotice(std::string_view path, const memcard::CardRead& read);

// Why a save could not be exported (to savePath) or imported (into cardPath);
// empty when it was.
std::string SaveFileText(std::string_view savePath, std::string_view cardPath, const memcard::SaveFileResult& result,
                         bool exporting);
std::string SaveSignatureNotice(std::string_view savePath, const memcard::SaveFileResult& result);

}  // namespace dravolo::memcards
