#pragma once
// Registry export files, as regedit writes and reads them. Export writes
// "Windows Registry Editor Version 5.00" in UTF-16LE with a BOM and CR LF, hex
// values wrapped as regedit wraps them; import takes that format and REGEDIT4
// (ANSI), including "[-key]" and "\"value\"=-".

#include <optional>
#include <string>
#include <string_view>

#include "common/base/bytes.h"
#include "common/platform/registry.h"

namespace dravolo {

// "HKEY_CURRENT_USER\\Software\\x" -> root and path. HKCU/HKLM short forms too.
std::optional<std::pair<RegRoot, std::string>> ParseRootedKey(std::string_view key);
std::string RootedKeyName(RegRoot root, std::string_view path);

// The export of key (and its whole subtree) as file bytes; nullopt when the key
// does not exist.
std::optional<Bytes> ExportRegistryKey(Registry& registry, RegRoot root, std::string_view path);
bool ExportRegistryKeyToFile(Registry& registry, RegRoot root, std::string_view path, std::string_view file,
                             Error* error = nullptr);

// A name or string value with the escapes regedit writes and reads (backslash,
// quote, CR, LF), without the quotes around it.
std::u16string RegeditEscaped(std::u16string_view text);

enum class RegImportResult { Ok, CannotRead, BadFormat, CannotWrite };
// Parses and applies as one batch; a file that does not parse changes nothing.
RegImportResult ImportRegistryData(Registry& registry, std::span<const std::uint8_t> fileBytes, Error* error = nullptr);
RegImportResult ImportRegistryFile(Registry& registry, std::string_view file, Error* error = nullptr);

}  // namespace dravolo
