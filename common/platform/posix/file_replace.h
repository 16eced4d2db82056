#pragma once
// The one way a whole file is saved on POSIX: the new content goes to a new
// file beside it (unnamed while it is written, where the file system allows),
// fsync, rename over it, fsync of the folder, so that a crash at any moment
// leaves the old content or the new one and no stray file. Profiles, INI
// files, side files, cheat lists, cue sheets and Wine's hive files all go
// through it.

#include <sys/stat.h>

#include <cstdint>
#include <span>
#include <string>

#include "common/base/error.h"

namespace dravolo::posix {

// Replaces the content of the host file (creating it when missing).
// - A symbolic link stays a link: the file it leads to gets the new content.
// - The file keeps its mode bits.
// - A file that cannot be opened for writing is refused and left as it is:
//   a rename would replace it in spite of its permission.
// - When no new file can be made beside it (a folder the user may not
//   write), a file the user may write is written in place. That save is not
//   atomic, but it is the only way the user's change reaches his file.
// written, when given, receives the status of the file as written; error,
// when given, the failing step with hostPath and errno's cause.
[[nodiscard]] bool ReplaceFileContents(const std::string& hostPath, std::span<const std::uint8_t> data,
                                       struct stat* written = nullptr, Error* error = nullptr);

// A fresh file beside target (the umask applies to its mode), for a save that
// streams its content and renames it over target itself. Its name goes to
// tempPath; -1 with errno set when none can be made.
int CreateTempBeside(const std::string& target, std::string& tempPath);

}  // namespace dravolo::posix
