#pragma once
// The system's ANSI code page, where it is not Windows-1252. Only Windows can
// have another one; it then converts with the same rules as our own table (no
// best-fit look-alikes, '?' for what has no form), and a Western system keeps
// our table, byte for byte the same. Built into dravolo_base, below the rest
// of the platform layer, since every text conversion asks it.

#include <string>
#include <string_view>

namespace dravolo {

// False on POSIX and on a Windows-1252 Windows: then the other two are never
// asked.
bool SystemHasOtherAnsiCodePage();

std::u16string SystemAnsiToUtf16(std::string_view ansi);
// usedDefault (when given) tells whether a character had no form.
std::string SystemUtf16ToAnsi(std::u16string_view wide, bool* usedDefault = nullptr);

}  // namespace dravolo
