#pragma once
// What tests need from the system, the same on POSIX and Windows: a new
// temporary folder, environment variables (setenv there, _putenv_s here,
// where an empty value removes the variable), a file copied over another, a
// file's last write time.

#include <ctime>
#include <string>

namespace dravolo::test {

// A new, empty folder below the system's temporary folder, named
// "<stem>-<random>". Throws std::runtime_error when none can be made.
std::string MakeTempFolder(const std::string& stem = "dravolo-test");

void SetEnv(const char* name, const char* value);
// Sets the variable only where it is not set yet.
void SetEnvDefault(const char* name, const char* value);
void UnsetEnv(const char* name);

// Copies a file over whatever is at `to`. std::filesystem's overwrite_existing
// cannot be used: mingw-w64's libstdc++ (GCC 12) refuses every existing target
// with "File exists", since on Windows it takes any two files for the same one.
// Throws std::filesystem::filesystem_error as copy_file does.
void CopyFileReplacing(const std::string& from, const std::string& to);

// Sets a file's last write (and access) time. False when it cannot.
bool SetFileWriteTime(const std::string& path, std::time_t when);

}  // namespace dravolo::test
