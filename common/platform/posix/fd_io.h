#pragma once
// The POSIX calls a signal may cut short (EINTR), done whole: reads and
// writes that may also take only part of their data, and the wait for a
// child. Each goes on until the work is done or a real error stops it.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace dravolo::posix {

// Writes every byte; false on an error (errno tells which).
bool WriteAllFd(int fd, const void* data, std::size_t size);
// Writes every byte at offset, leaving the file position alone.
bool WriteAllAt(int fd, const void* data, std::size_t size, off_t offset);
// One read() that a signal does not cut short: bytes read, 0 at the end,
// -1 on an error.
ssize_t ReadRetrying(int fd, void* buffer, std::size_t size);
// Appends everything up to the end of the file to out.
bool ReadFdToEnd(int fd, std::string& out);
// Exactly size bytes at offset; false on an error or at the end of the file.
bool ReadAllAt(int fd, void* buffer, std::size_t size, off_t offset);
// Waits for the child to end; false when it cannot be waited for (errno).
bool WaitForChild(pid_t pid, int& status);

}  // namespace dravolo::posix
