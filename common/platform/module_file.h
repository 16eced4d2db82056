#pragma once
// Where the running code lives: the program's own file and the file of the
// module (program or shared library) that holds a given address, as host
// paths (on Windows the same as Windows paths; elsewhere map them with
// ToWindowsPath). Empty when it cannot be told.

#include <string>

namespace dravolo {

// GetModuleFileName(NULL) on Windows, /proc/self/exe elsewhere.
std::string ProgramHostPath();

// The module holding `address`. On POSIX the loader's name is made absolute
// against the current directory, which the host may change later: ask while
// the module loads (a static initialiser) and keep the answer.
std::string ModuleHostPathHolding(const void* address);

}  // namespace dravolo
