// One instance per user and name: an exclusive flock on a file in the runtime
// directory. The kernel drops the lock when the process dies, so a crash never
// leaves a stale guard behind.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/platform/instance_guard.h"
#include "common/platform/prefix.h"

namespace dravolo {

namespace {

class LockFileGuard final : public InstanceGuard {
public:
    explicit LockFileGuard(int fd) : fd_(fd) {}
    ~LockFileGuard() override { close(fd_); }  // closing releases the lock

private:
    int fd_;
};

std::string LockDirectory() {
    if (const char* dir = std::getenv("XDG_RUNTIME_DIR"); dir && *dir) {
        struct stat st {};
        if (stat(dir, &st) == 0 && S_ISDIR(st.st_mode)) return dir;
    }
    return "/tmp";
}

// Mutex names may hold any character; a file name may not hold '/'.
std::string FileSafe(std::string_view name) {
    std::string out(name);
    for (char& c : out) {
        if (c == '/' || c == '\0') c = '_';
    }
    return out;
}

}  // namespace

std::unique_ptr<InstanceGuard> InstanceGuard::Acquire(std::string_view name) {
    const std::string path = LockDirectory() + "/dravolo-" + std::to_string(getuid()) + "-" + FileSafe(name) + ".lock";
    // O_NOFOLLOW: in a shared /tmp another user must not point us elsewhere.
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return nullptr;
    int r;
    do r = flock(fd, LOCK_EX | LOCK_NB);
    while (r != 0 && errno == EINTR);
    if (r != 0) {
        close(fd);
        return nullptr;
    }
    return std::make_unique<LockFileGuard>(fd);
}

std::unique_ptr<InstanceGuard> InstanceGuard::AcquireForRegistry(std::string_view name) {
    // The prefix by its device and inode, as wineserver names its own
    // directory: short, and the same however the path is spelt.
    const std::string prefix = PrefixDirectory();
    struct stat st {};
    if (prefix.empty() || stat(prefix.c_str(), &st) != 0) return nullptr;
    char id[64];
    std::snprintf(id, sizeof id, "-%llx-%llx", static_cast<unsigned long long>(st.st_dev),
                  static_cast<unsigned long long>(st.st_ino));
    return Acquire(std::string(name) + id);
}

}  // namespace dravolo
