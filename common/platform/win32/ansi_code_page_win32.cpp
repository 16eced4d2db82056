// The system's ANSI code page through MultiByteToWideChar and
// WideCharToMultiByte.

#include "common/platform/windows_api.h"

#include "common/platform/ansi_code_page.h"

namespace dravolo {

namespace {

// 0 for Windows-1252.
UINT OtherAnsiCodePage() {
    static const UINT page = GetACP() == 1252 ? 0 : GetACP();
    return page;
}

}  // namespace

bool SystemHasOtherAnsiCodePage() { return OtherAnsiCodePage() != 0; }

std::u16string SystemAnsiToUtf16(std::string_view ansi) {
    if (ansi.empty()) return {};
    const int size = static_cast<int>(ansi.size());
    const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
    std::u16string out(static_cast<std::size_t>(n > 0 ? n : 0), u'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, reinterpret_cast<wchar_t*>(out.data()), n);
    return out;
}

// UTF-8 as the system code page takes neither flags nor a default.
std::string SystemUtf16ToAnsi(std::u16string_view wide, bool* usedDefault) {
    if (usedDefault) *usedDefault = false;
    if (wide.empty()) return {};
    const bool utf8 = OtherAnsiCodePage() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL defaulted = FALSE;
    const auto* data = reinterpret_cast<const wchar_t*>(wide.data());
    const int size = static_cast<int>(wide.size());
    const int n = WideCharToMultiByte(CP_ACP, flags, data, size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, flags, data, size, out.data(), n, utf8 ? nullptr : "?",
                            utf8 ? nullptr : &defaulted);
    if (usedDefault) *usedDefault = defaulted != FALSE;
    return out;
}

}  // namespace dravolo
