#include "common/platform/windows_api.h"

#include <string>

#include "common/platform/last_error.h"
#include "common/platform/system_error.h"

namespace dravolo {

std::string SystemErrorText(unsigned long code) {
    char* buffer = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length && buffer ? std::string(buffer, length) : std::string();
    if (buffer) LocalFree(buffer);
    // The system's texts end in a period and a line end; ours follow a path.
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text.empty() ? "Error " + std::to_string(code) : text;
}

unsigned long SystemLastError() { return GetLastError(); }
void SetSystemLastError(unsigned long code) { SetLastError(code); }

unsigned long SystemErrorCode(SystemErrorKind kind) {
    switch (kind) {
    case SystemErrorKind::InvalidParameter: return ERROR_INVALID_PARAMETER;
    case SystemErrorKind::TextTooLong: return ERROR_MORE_DATA;
    case SystemErrorKind::NameTooLong: return ERROR_FILENAME_EXCED_RANGE;
    case SystemErrorKind::NotFound: return ERROR_FILE_NOT_FOUND;
    }
    return ERROR_INVALID_PARAMETER;
}

}  // namespace dravolo
