#pragma once
// The string and number syntax of Wine's hive files: how wineserver escapes key
// names, value names and string data, and how it orders names. Kept apart from
// the hive model so the .reg importer's needs never leak in here.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dravolo::hive {

// Lower-case mapping wineserver applies before comparing names (ASCII, Latin-1,
// Latin Extended-A, Greek, Cyrillic: every letter a Western ANSI name can hold).
char16_t FoldName(char16_t c);
// Ordering of key and value names in a hive: folded code units, shorter first.
int CompareNames(std::u16string_view a, std::u16string_view b);
bool NamesEqual(std::u16string_view a, std::u16string_view b);

// Escapes text as wineserver writes it. The characters in `quote` (the closing
// delimiters of the context: "\"" for names and data, "[]" for key names) get a
// backslash; code units above 127 become \xNNNN, control characters C or octal
// escapes. With dropFinalNul a NUL in the last position is left out, as Wine
// does for string data whose terminator is implied by the closing quote.
std::string EscapeString(std::u16string_view text, std::string_view quote, bool dropFinalNul = false);

// Reads an escaped string starting at text[pos] up to the unescaped `end`
// character; pos is left just after it. nullopt when `end` never comes.
std::optional<std::u16string> UnescapeString(std::string_view text, std::size_t& pos, char end);

// Lower-case hex, at least `width` digits.
std::string Hex(std::uint64_t value, int width = 1);
// Parses 1..maxDigits hex digits at text[pos]; pos moves past them.
std::optional<std::uint64_t> ParseHex(std::string_view text, std::size_t& pos, int maxDigits);

}  // namespace dravolo::hive
