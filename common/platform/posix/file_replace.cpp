#include "common/platform/posix/file_replace.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "common/platform/posix/fd_io.h"
#include "common/platform/posix/file_write_hook.h"
#include "common/platform/system_error.h"

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

// Every temporary name of a save of target: "." + name + ".tmp<pid>-<n>".
std::string TempStem(const std::string& target) { return "." + BaseName(target) + ".tmp"; }

std::string NextTempName(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    return ParentOf(target) + "/" + TempStem(target) + std::to_string(getpid()) + "-" + std::to_string(counter++);
}

// A save killed between naming its new file and the rename leaves the name
// behind; the next save of the same file removes the names of processes
// that are gone.
void RemoveStaleTemps(const std::string& target) {
    DIR* dir = opendir(ParentOf(target).c_str());
    if (!dir) return;
    const std::string stem = TempStem(target);
    while (const dirent* entry = readdir(dir)) {
        std::string_view name = entry->d_name;
        if (!name.starts_with(stem)) continue;
        name.remove_prefix(stem.size());
        const auto dash = name.find('-');
        pid_t pid = 0;
        const auto parsed =
            std::from_chars(name.data(), name.data() + (dash == std::string_view::npos ? 0 : dash), pid);
        if (dash == std::string_view::npos || parsed.ptr != name.data() + dash || pid <= 0 || pid == getpid()) continue;
        if (kill(pid, 0) == 0 || errno != ESRCH) continue;  // alive, or not ours to ask about: kept
        unlinkat(dirfd(dir), entry->d_name, 0);
    }
    closedir(dir);
}

void FsyncDir(const std::string& dir) {
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);  // some file systems refuse; the rename stands all the same
    close(fd);
    ReportFileWriteStep({});
}

// False with errno's cause in *error.
bool Failed(Error* error, std::string_view operation, const std::string& path) {
    SetLastSystemError(error, operation, path);
    return false;
}

bool WriteInPlace(int fd, std::span<const std::uint8_t> data, struct stat* written, const std::string& path,
                  Error* error) {
    if (!WriteAllAt(fd, data.data(), data.size(), 0)) return Failed(error, "write", path);
    if (ftruncate(fd, static_cast<off_t>(data.size())) != 0) return Failed(error, "truncate", path);
    if (fsync(fd) != 0) return Failed(error, "flush", path);
    return !written || fstat(fd, written) == 0 || Failed(error, "stat", path);
}

// The new content, whole and on the disk, in a file not yet in its place.
// Errors name target: the temporary file is ours, not the user's.
bool FillNewFile(int fd, std::span<const std::uint8_t> data, const struct stat* old, struct stat* written,
                 const std::string& target, Error* error) {
    if (!WriteAllFd(fd, data.data(), data.size())) return Failed(error, "write", target);
    if (old && fchmod(fd, old->st_mode & 07777) != 0) return Failed(error, "set mode", target);
    if (fsync(fd) != 0) return Failed(error, "flush", target);
    ReportFileWriteStep({fd, 0, 0});
    return !written || fstat(fd, written) == 0 || Failed(error, "stat", target);
}

// A file without a name in target's folder (O_TMPFILE): a crash while it
// is written leaves nothing behind. -1 with errno when the folder refuses
// new files or the file system has no such files.
int OpenUnnamedBeside(const std::string& target) {
#ifdef O_TMPFILE
    return open(ParentOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
#else
    errno = EOPNOTSUPP;
    return -1;
#endif
}

// Gives the unnamed file a temporary name beside target, for the rename.
bool NameUnnamed(int fd, const std::string& target, std::string& tempPath) {
    char self[64];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = NextTempName(target);
        if (linkat(AT_FDCWD, self, AT_FDCWD, tempPath.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
        if (errno != EEXIST) break;
    }
    tempPath.clear();
    return false;
}

bool FolderRefuses(int error) { return error == EACCES || error == EPERM; }

}  // namespace

int CreateTempBeside(const std::string& target, std::string& tempPath) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = NextTempName(target);
        const int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool ReplaceFileContents(const std::string& hostPath, std::span<const std::uint8_t> data, struct stat* written,
                         Error* error) {
    std::string target = hostPath;
    struct stat st {};
    const bool existed = lstat(target.c_str(), &st) == 0;
    if (existed && S_ISLNK(st.st_mode)) {
        // Replace what the link leads to, never the link itself.
        char resolved[PATH_MAX];
        if (!realpath(target.c_str(), resolved)) return Failed(error, "follow link", hostPath);
        target = resolved;
        if (stat(target.c_str(), &st) != 0) return Failed(error, "stat", hostPath);
    }
    if (existed && S_ISDIR(st.st_mode)) {
        SetSystemError(error, "write", hostPath, EISDIR);
        return false;
    }

    // The file's own permission decides, as it does for a write in place:
    // a file that cannot be opened for writing is not replaced.
    Fd current(existed ? open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK) : -1);
    if (existed && !current) return Failed(error, "open", hostPath);
    const struct stat* old = existed ? &st : nullptr;
    RemoveStaleTemps(target);

    std::string temp;
    Fd unnamed(OpenUnnamedBeside(target));
    int createError = unnamed ? 0 : errno;
    bool refused = !unnamed && FolderRefuses(createError);
    if (unnamed) {
        if (!FillNewFile(unnamed.get(), data, old, written, hostPath, error)) return false;
        NameUnnamed(unnamed.get(), target, temp);  // without /proc: a named file below
    }
    if (temp.empty() && !refused) {
        Fd named(CreateTempBeside(target, temp));
        if (!named) {
            createError = errno;
            refused = FolderRefuses(createError);
            temp.clear();
        } else if (!FillNewFile(named.get(), data, old, written, hostPath, error)) {
            unlink(temp.c_str());
            return false;
        } else if (!named.Close()) {
            Failed(error, "close", hostPath);
            unlink(temp.c_str());
            return false;
        }
    }
    if (temp.empty()) {
        // No new file can be made beside it: the file itself is written.
        if (!refused || !existed || !S_ISREG(st.st_mode)) {
            SetSystemError(error, "create", hostPath, createError);
            return false;
        }
        return WriteInPlace(current.get(), data, written, hostPath, error);
    }
    if (rename(temp.c_str(), target.c_str()) != 0) {
        Failed(error, "rename", hostPath);
        unlink(temp.c_str());
        return false;
    }
    ReportFileWriteStep({});
    // The rename itself must reach the disk before the save counts as done.
    FsyncDir(ParentOf(target));
    return true;
}

}  // namespace dravolo::posix
