#include <cerrno>
#include <cstring>
#include <string>

#include "common/platform/last_error.h"
#include "common/platform/system_error.h"

namespace dravolo {

namespace {

// strerror_r comes in two shapes: the XSI one fills the buffer and returns
// 0, the GNU one returns the text (maybe not in the buffer).
[[maybe_unused]] std::string StrerrorResult(int result, const char* buffer) {
    return result == 0 ? std::string(buffer) : std::string();
}
[[maybe_unused]] std::string StrerrorResult(const char* text, const char*) { return text ? text : ""; }

}  // namespace

std::string SystemErrorText(unsigned long code) {
    char buffer[256] = {};
    std::string text = StrerrorResult(strerror_r(static_cast<int>(code), buffer, sizeof buffer), buffer);
    return text.empty() ? "Error " + std::to_string(code) : text;
}

unsigned long SystemLastError() { return static_cast<unsigned long>(errno); }
void SetSystemLastError(unsigned long code) { errno = static_cast<int>(code); }

unsigned long SystemErrorCode(SystemErrorKind kind) {
    switch (kind) {
    case SystemErrorKind::InvalidParameter: return EINVAL;
    case SystemErrorKind::TextTooLong: return EOVERFLOW;
    case SystemErrorKind::NameTooLong: return E2BIG;
    case SystemErrorKind::NotFound: return ENOENT;
    }
    return EINVAL;
}

}  // namespace dravolo
