#pragma once
// The system's last-error value a C caller reads after a failed call:
// GetLastError() on Windows, errno elsewhere, and the codes we leave in it.

namespace dravolo {

unsigned long SystemLastError();
void SetSystemLastError(unsigned long code);

enum class SystemErrorKind {
    InvalidParameter,  // ERROR_INVALID_PARAMETER / EINVAL
    TextTooLong,       // ERROR_MORE_DATA / EOVERFLOW
    NameTooLong,       // ERROR_FILENAME_EXCED_RANGE / E2BIG
    NotFound,          // ERROR_FILE_NOT_FOUND / ENOENT
};

// The system's own code for that kind of failure.
unsigned long SystemErrorCode(SystemErrorKind kind);

}  // namespace dravolo
