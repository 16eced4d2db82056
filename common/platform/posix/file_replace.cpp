#include "common/platform/posix/file_replace.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "common/platform/posix/fd_io.h"

namespace dravolo::posix {
namespace {

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    // Closes now and says whether the close reported a (late write) error.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return close(fd) == 0;
    }

private:
    int fd_;
};

std::string ParentOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string BaseName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

void FsyncDir(const std::string& dir) {
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);  // some file systems refuse; the rename stands all the same
    close(fd);
}

bool WriteInPlace(int fd, std::span<const std::uint8_t> data, struct stat* written) {
    if (!WriteAllAt(fd, data.data(), data.size(), 0)) return false;
    if (ftruncate(fd, static_cast<off_t>(data.size())) != 0 || fsync(fd) != 0) return false;
    return !written || fstat(fd, written) == 0;
}

}  // namespace

int CreateTempBeside(const std::string& target, std::string& tempPath) {
    static std::atomic<unsigned> counter{0};
    const std::string dir = ParentOf(target);
    const std::string stem = dir + "/." + BaseName(target) + ".tmp" + std::to_string(getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = stem + std::to_string(counter++);
        const int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool ReplaceFileContents(const std::string& hostPath, std::span<const std::uint8_t> data, struct stat* written) {
    std::string target = hostPath;
    struct stat st {};
    const bool existed = lstat(target.c_str(), &st) == 0;
    if (existed && S_ISLNK(st.st_mode)) {
        // Replace what the link leads to, never the link itself.
        char resolved[PATH_MAX];
        if (!realpath(target.c_str(), resolved)) return false;
        target = resolved;
        if (stat(target.c_str(), &st) != 0) return false;
    }
    if (existed && S_ISDIR(st.st_mode)) return false;

    // The file's own permission decides, as it does for a write in place:
    // a file that cannot be opened for writing is not replaced.
    Fd current(existed ? open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK) : -1);
    if (existed && !current) return false;

    std::string temp;
    Fd fd(CreateTempBeside(target, temp));
    if (!fd) {
        const bool folderRefuses = errno == EACCES || errno == EPERM;
        if (!existed || !folderRefuses || !S_ISREG(st.st_mode)) return false;
        return WriteInPlace(current.get(), data, written);
    }
    bool ok = WriteAllFd(fd.get(), data.data(), data.size());
    if (ok && existed) ok = fchmod(fd.get(), st.st_mode & 07777) == 0;
    if (ok) ok = fsync(fd.get()) == 0;
    if (ok && written) ok = fstat(fd.get(), written) == 0;
    ok = fd.Close() && ok;
    if (ok) ok = rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        return false;
    }
    // The rename itself must reach the disk before the save counts as done.
    FsyncDir(ParentOf(target));
    return true;
}

}  // namespace dravolo::posix
