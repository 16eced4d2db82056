// Native narrow text is UTF-8.

#include <iconv.h>

#include "common/base/text.h"
#include "common/platform/native_text.h"
#include "common/platform/winfs.h"

namespace dravolo {

bool NativeTextIsUtf8() { return true; }

std::string AnsiFromNativeText(std::string_view text) { return Utf8ToAnsi(text); }
std::string NativeTextFromAnsi(std::string_view ansi) { return AnsiToUtf8(ansi); }

std::optional<std::string> Utf8FromShiftJis(std::string_view bytes) {
    const iconv_t cd = iconv_open("UTF-8", "SHIFT_JIS");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string in(bytes), out(bytes.size() * 4 + 4, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size(), outLeft = out.size();
    const bool ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    if (!ok) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

std::optional<std::string> NativeTextFromShiftJis(std::string_view bytes) { return Utf8FromShiftJis(bytes); }

std::string WindowsPathOfUtf8HostPath(std::string_view utf8) { return ToWindowsPath(utf8); }

std::string Utf8HostPathOfWindowsPath(std::string_view windowsPath) { return ToHostPath(windowsPath); }

}  // namespace dravolo
