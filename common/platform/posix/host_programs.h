#pragma once
// Finding native programs on the host, shared by the process layer and the
// Wine bridge (both start runners such as "wine" named by a setting).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dravolo::posix {

// "wine --foo" -> {"wine", "--foo"}: a runner setting split on blanks and tabs.
std::vector<std::string> SplitOnBlanks(std::string_view s);
// A regular file we may execute.
bool IsExecutableFile(const std::string& path);
// execvp's search, done before fork so the child only calls execve.
std::optional<std::string> SearchPath(const std::string& name);
// Host path of our Windows helper (winhelper.exe): DRAVOLO_WINHELPER, else the
// one beside our own program; empty when there is none to read.
std::string WinHelperPath();
// Bytes as lower-case hex, two digits each: how text reaches the helper's
// command line whole, whatever blanks, quotes or code page it holds.
std::string HelperHexArgument(std::string_view bytes);

}  // namespace dravolo::posix
