#pragma once
// Errors of the system as Error values: its code and the text the system has
// for it (strerror on POSIX, FormatMessage on Windows), in ANSI.

#include <string>
#include <string_view>

#include "common/base/error.h"

namespace dravolo {

// "Permission denied" / "Access is denied": no line end, no closing period.
std::string SystemErrorText(unsigned long code);

// Fills *error (when given) with code and its text.
void SetSystemError(Error* error, std::string_view operation, std::string_view path, unsigned long code);
// The same with the system's last error (errno / GetLastError()), which the
// caller reads nowhere in between.
void SetLastSystemError(Error* error, std::string_view operation, std::string_view path);

}  // namespace dravolo
