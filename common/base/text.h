#pragma once
// Narrow-string helpers. The core keeps every text as ANSI bytes (Windows-1252),
// exactly what the Windows A-functions and the emulators' files hold; conversion
// to Unicode happens only at the OS or UI boundary.

#include <optional>
#include <string>
#include <string_view>

namespace dravolo {

// ANSI <-> UTF-16 as MultiByteToWideChar/WideCharToMultiByte with CP_ACP do.
// ANSI is Windows-1252 on POSIX and on a Western Windows (the five undefined
// bytes map to U+0081 etc.); on Windows it is the system's code page (GetACP),
// the one the A-functions, the registry and the emulators use. A code point
// with no ANSI form becomes '?'.
std::u16string AnsiToUtf16(std::string_view ansi);
std::string Utf16ToAnsi(std::u16string_view wide);
std::string AnsiToUtf8(std::string_view ansi);
std::string Utf8ToAnsi(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view wide);
std::u16string Utf8ToUtf16(std::string_view utf8);

// The first character without an ANSI form (what a conversion would turn into
// '?'), or nullopt when the whole text has one. Malformed UTF-8 counts as
// U+FFFD.
std::optional<char32_t> FirstCharacterOutsideAnsi(std::u16string_view wide);
std::optional<char32_t> FirstUtf8CharacterOutsideAnsi(std::string_view utf8);
// "U+30D5", "U+1F3AE".
std::string CodePointName(char32_t character);

// Case folding as Windows compares file, key and value names (ASCII and the
// Latin-1 letters of Windows-1252).
char FoldAnsi(char c);
std::string UpperAnsi(std::string_view s);
std::string LowerAnsi(std::string_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);
int CompareNoCase(std::string_view a, std::string_view b);  // <0, 0, >0

// Trims only the space character, as the profile dialog does.
std::string TrimSpaces(std::string_view s);

}  // namespace dravolo
