#pragma once
// What a command-line program gets from the system it runs on: its arguments
// and whether a person sits at the terminal.

#include <string>
#include <vector>

namespace dravolo {

// The arguments after the program name as UTF-8: a POSIX terminal's own; on
// Windows from the wide command line, since the narrow argv has already
// turned what the code page cannot hold into '?'.
std::vector<std::string> Utf8ProgramArguments(int argc, char** argv);

// Whether standard input, or standard error, is a terminal a person answers
// and watches. Windows: never taken as one; questions there are answered
// with --yes / --no, and progress is written line by line.
bool StandardInputIsInteractive();
bool StandardErrorIsInteractive();

}  // namespace dravolo
