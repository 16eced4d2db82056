// Native narrow text is already ANSI.

#include <algorithm>

#include "common/platform/windows_api.h"

#include "common/base/text.h"
#include "common/platform/native_text.h"

namespace dravolo {

bool NativeTextIsUtf8() { return false; }

std::string AnsiFromNativeText(std::string_view text) { return std::string(text); }
std::string NativeTextFromAnsi(std::string_view ansi) { return std::string(ansi); }

std::optional<std::string> NativeTextFromShiftJis(std::string_view bytes) { return std::string(bytes); }

std::optional<std::string> Utf8FromShiftJis(std::string_view bytes) {
    if (bytes.empty()) return std::string();
    constexpr UINT kShiftJis = 932;
    const int inLength = static_cast<int>(bytes.size());
    // Invalid pairs fail rather than turning into question marks.
    const int wide = MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, bytes.data(), inLength, nullptr, 0);
    if (wide <= 0) return std::nullopt;
    std::wstring utf16(static_cast<std::size_t>(wide), L'\0');
    if (MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, bytes.data(), inLength, utf16.data(), wide) != wide)
        return std::nullopt;
    const int narrow = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, nullptr, 0, nullptr, nullptr);
    if (narrow <= 0) return std::nullopt;
    std::string utf8(static_cast<std::size_t>(narrow), '\0');
    if (WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, utf8.data(), narrow, nullptr, nullptr) != narrow)
        return std::nullopt;
    return utf8;
}

std::string WindowsPathOfUtf8HostPath(std::string_view utf8) {
    std::string path = Utf8ToAnsi(utf8);
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string Utf8HostPathOfWindowsPath(std::string_view windowsPath) { return AnsiToUtf8(windowsPath); }

}  // namespace dravolo
