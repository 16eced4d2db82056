#pragma once
// Runs the real tool with a pipe it may write its report into, as a caller
// does: the write end is inherited and named by its number on the command
// line (a HANDLE's value on Windows, a file descriptor elsewhere).

#include <string>
#include <vector>

#include "common/base/bytes.h"

namespace dravolo::test {

struct PipeRun {
    Bytes written;      // everything that came through the pipe
    int exitCode = -1;  // -1 when it did not start or did not end by itself
};

// Every "{pipe}" in args becomes the number of the pipe's write end. On POSIX
// the tool runs without a display (DISPLAY unset, the xcb platform asked for):
// a report must not need one.
PipeRun RunWithReportPipe(const std::string& program, const std::vector<std::string>& args);

}  // namespace dravolo::test
