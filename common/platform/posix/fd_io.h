#pragma once
// Whole reads and writes on POSIX descriptors. A signal may cut any call
// short (EINTR) and a write may take only part of its data; these go on
// until the work is done or a real error stops it.

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

}  // namespace dravolo::posix
