#include "common/platform/posix/fd_io.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "common/platform/posix/file_write_hook.h"

namespace dravolo::posix {

namespace {
FileWriteHook g_hook = nullptr;
std::size_t g_largestWrite = 0;
}  // namespace

void SetFileWriteHook(FileWriteHook hook, std::size_t largestWrite) {
    g_hook = hook;
    g_largestWrite = largestWrite;
}
void ReportFileWriteStep(const FileWriteStep& step) {
    if (g_hook) g_hook(step);
}
std::size_t LargestFileWrite(std::size_t wanted) {
    return g_largestWrite > 0 && wanted > g_largestWrite ? g_largestWrite : wanted;
}
bool FileWriteHookSet() { return g_hook != nullptr; }

bool WriteAllFd(int fd, const void* data, std::size_t size) {
    auto p = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        const off_t at = FileWriteHookSet() ? lseek(fd, 0, SEEK_CUR) : 0;
        const ssize_t n = write(fd, p, LargestFileWrite(size));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        ReportFileWriteStep({fd, static_cast<std::uint64_t>(at < 0 ? 0 : at), static_cast<std::size_t>(n)});
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool WriteAllAt(int fd, const void* data, std::size_t size, off_t offset) {
    auto p = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = pwrite(fd, p, LargestFileWrite(size), offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        ReportFileWriteStep({fd, static_cast<std::uint64_t>(offset), static_cast<std::size_t>(n)});
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
