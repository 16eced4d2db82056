#include "common/platform/posix/fd_io.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace dravolo::posix {

bool WriteAllFd(int fd, const void* data, std::size_t size) {
    auto p = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool WriteAllAt(int fd, const void* data, std::size_t size, off_t offset) {
    auto p = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = pwrite(fd, p, size, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        offset += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

ssize_t ReadRetrying(int fd, void* buffer, std::size_t size) {
    for (;;) {
        const ssize_t n = read(fd, buffer, size);
        if (n >= 0 || errno != EINTR) return n;
    }
}

bool ReadFdToEnd(int fd, std::string& out) {
    char buffer[65536];
    for (;;) {
        const ssize_t n = ReadRetrying(fd, buffer, sizeof buffer);
        if (n < 0) return false;
        if (n == 0) return true;
        out.append(buffer, static_cast<std::size_t>(n));
    }
}

bool ReadAllAt(int fd, void* buffer, std::size_t size, off_t offset) {
    auto p = static_cast<std::uint8_t*>(buffer);
    while (size > 0) {
        const ssize_t n = pread(fd, p, size, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        offset += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool WaitForChild(pid_t pid, int& status) {
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

}  // namespace dravolo::posix
