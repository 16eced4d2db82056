#pragma once
// What StartEmu leaves in the system's last-error value when it returns 0, so
// that a caller can tell a refused start from a failed one (GetLastError on
// Windows, errno elsewhere).

#include "common/platform/last_error.h"
#include "optionslib/core/emu_start.h"

namespace dravolo::kstuff {

// The code for a start that did not happen. startError: the system's value
// right after the process creation failed (used for NotStarted; when it is 0
// the program is taken as not found).
//   Windows: ERROR_INVALID_PARAMETER (empty executable, quote in an argument),
//            ERROR_MORE_DATA (an interface text over 259 bytes),
//            ERROR_FILENAME_EXCED_RANGE (command line over 2047 characters).
//   POSIX:   EINVAL, EOVERFLOW, E2BIG for the same.
unsigned long LastErrorFor(EmuStartError error, unsigned long startError);

}  // namespace dravolo::kstuff
