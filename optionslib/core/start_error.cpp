#include "optionslib/core/start_error.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cerrno>
#endif

namespace dravolo::kstuff {

#ifdef _WIN32
unsigned long SystemLastError() { return GetLastError(); }
void SetSystemLastError(unsigned long code) { SetLastError(code); }
constexpr unsigned long kInvalid = ERROR_INVALID_PARAMETER;
constexpr unsigned long kValueTooLong = ERROR_MORE_DATA;
constexpr unsigned long kLineTooLong = ERROR_FILENAME_EXCED_RANGE;
constexpr unsigned long kNotFound = ERROR_FILE_NOT_FOUND;
#else
unsigned long SystemLastError() { return static_cast<unsigned long>(errno); }
void SetSystemLastError(unsigned long code) { errno = static_cast<int>(code); }
constexpr unsigned long kInvalid = EINVAL;
constexpr unsigned long kValueTooLong = EOVERFLOW;
constexpr unsigned long kLineTooLong = E2BIG;
constexpr unsigned long kNotFound = ENOENT;
#endif

unsigned long LastErrorFor(EmuStartError error, unsigned long startError) {
    switch (error) {
        case EmuStartError::None: return 0;
        case EmuStartError::EmptyExecutable:
        case EmuStartError::QuoteInArgument: return kInvalid;
        case EmuStartError::ValueTooLong: return kValueTooLong;
        case EmuStartError::CommandLineTooLong: return kLineTooLong;
        case EmuStartError::NotStarted: return startError != 0 ? startError : kNotFound;
    }
    return kInvalid;
}

}  // namespace dravolo::kstuff
