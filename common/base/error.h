#pragma once
// Why something failed, kept beside the bool that says it did: what was
// tried, on which path, the system's own code (errno on POSIX, the Win32
// error on Windows) and that code's text ("Permission denied"). The product's
// messages stay as they are; this is what a program may add after them.
// Fallible calls take an optional `Error* error = nullptr` as their last
// argument and fill it only when they fail.

#include <string>
#include <string_view>

namespace dravolo {

struct Error {
    std::string operation;   // "write", "rename", "delete", ...
    std::string path;        // as the caller named it
    unsigned long code = 0;  // the system's code; 0 when it gave none
    std::string cause;       // the system's text for code, or our own

    bool IsSet() const { return !cause.empty(); }
    // "Epsxe\Crash.set: Permission denied"; the cause alone without a path;
    // empty when nothing was set.
    std::string Describe() const;
};

// Fills *error when the caller asked for one (error may be null).
void SetError(Error* error, std::string_view operation, std::string_view path, unsigned long code,
              std::string_view cause);

}  // namespace dravolo
