// Native narrow text is already ANSI.

#include <algorithm>

#include "common/base/text.h"
#include "common/platform/native_text.h"

namespace dravolo {

bool NativeTextIsUtf8() { return false; }

std::string AnsiFromNativeText(std::string_view text) { return std::string(text); }
std::string NativeTextFromAnsi(std::string_view ansi) { return std::string(ansi); }

std::optional<std::string> NativeTextFromShiftJis(std::string_view bytes) { return std::string(bytes); }

std::string WindowsPathOfUtf8HostPath(std::string_view utf8) {
    std::string path = Utf8ToAnsi(utf8);
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

}  // namespace dravolo
