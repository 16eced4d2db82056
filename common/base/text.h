#pragma once
// Narrow-string helpers. The core keeps every text as ANSI bytes (Windows-1252),
// exactly what the Windows A-functions and the emulators' files hold; conversion
// to Unicode happens only at the OS or UI boundary.

#include <string>
#include <string_view>

namespace dravolo {

// Windows-1252 <-> UTF-16 as MultiByteToWideChar/WideCharToMultiByte with CP_ACP do
// on a Western system: the five undefined bytes map to U+0081 etc., and a code
// point with no ANSI form becomes '?'.
std::u16string AnsiToUtf16(std::string_view ansi);
std::string Utf16ToAnsi(std::u16string_view wide);
std::string AnsiToUtf8(std::string_view ansi);
std::string Utf8ToAnsi(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view wide);
std::u16string Utf8ToUtf16(std::string_view utf8);

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
