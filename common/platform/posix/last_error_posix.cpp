#include <cerrno>

#include "common/platform/last_error.h"

namespace dravolo {

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
