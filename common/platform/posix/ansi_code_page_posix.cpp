// POSIX has no ANSI code page of its own: our Windows-1252 table is the one.

#include "common/platform/ansi_code_page.h"

namespace dravolo {

bool SystemHasOtherAnsiCodePage() { return false; }

std::u16string SystemAnsiToUtf16(std::string_view) { return {}; }

std::string SystemUtf16ToAnsi(std::u16string_view, bool* usedDefault) {
    if (usedDefault) *usedDefault = false;
    return {};
}

}  // namespace dravolo
