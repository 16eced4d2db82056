#include "common/platform/windows_api.h"

#include "common/platform/last_error.h"

namespace dravolo {

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
