#include "common/platform/posix/hive_file.h"

#include <cerrno>
#include <fstream>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dravolo::hive {
namespace {

FileStamp StampOf(const struct stat& st) {
    FileStamp s;
    s.exists = true;
    s.dev = st.st_dev;
    s.ino = st.st_ino;
    s.size = st.st_size;
    s.mtimeNs = static_cast<long long>(st.st_mtim.tv_sec) * 1'000'000'000LL + st.st_mtim.tv_nsec;
    return s;
}

bool ReadAll(int fd, std::string& out) {
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        out.append(buffer, static_cast<std::size_t>(n));
    }
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

HiveFile::HiveFile(std::string path, std::string relativeTo, std::string siblingPath)
    : path_(std::move(path)), relativeTo_(std::move(relativeTo)), siblingPath_(std::move(siblingPath)) {}

Hive HiveFile::NewHive() const {
    std::ifstream in(siblingPath_, std::ios::binary);
    std::string line;
    for (int n = 0; n < 8 && std::getline(in, line); ++n) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.starts_with("#arch=")) return Hive::CreateEmpty(relativeTo_, line.substr(6));
    }
    // A prefix we start has the layout of Wine's default prefix, 64-bit: a
    // Wine without 32-bit support rejects a "win32" hive ("Mismatched
    // architecture") and would see none of our values. The emulators, 32-bit
    // programs, then read HKEY_LOCAL_MACHINE\Software through Wow6432Node,
    // which the registry's 32-bit view takes care of.
    return Hive::CreateEmpty(relativeTo_, "win64");
}

bool HiveFile::Refresh() {
    const int fd = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT) {
            loaded_ = false;
            return false;
        }
        if (loaded_ && !stamp_.exists) return true;
        hive_ = NewHive();
        stamp_ = FileStamp{};
        refusesEdits_ = false;
        loaded_ = true;
        return true;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        close(fd);
        loaded_ = false;
        return false;
    }
    const FileStamp stamp = StampOf(st);
    if (loaded_ && stamp == stamp_) {
        close(fd);
        return true;
    }
    std::string text;
    const bool ok = ReadAll(fd, text);
    close(fd);
    if (!ok) {
        loaded_ = false;
        return false;
    }
    if (text.empty()) {
        // Nothing to lose: an empty file is written afresh like a missing one.
        hive_ = NewHive();
        refusesEdits_ = false;
    } else if (auto parsed = Hive::Parse(text)) {
        hive_ = std::move(*parsed);
        refusesEdits_ = !hive_.writable();
    } else {
        // Wine would ignore this file and then overwrite it; we keep it for
        // whoever can repair it and refuse to write.
        hive_ = NewHive();
        refusesEdits_ = true;
    }
    stamp_ = stamp;
    loaded_ = true;
    return true;
}

Hive* HiveFile::Editable() { return loaded_ && !refusesEdits_ ? &hive_ : nullptr; }

bool HiveFile::Save() {
    // Settling makes the hive equal to a parse of what we write; a failed
    // write marks it unloaded, so the next use reads the file again.
    const std::string text = hive_.SerializeAndSettle();
    std::string temp = path_ + ".tmpXXXXXX";
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        loaded_ = false;
        return false;
    }
    mode_t mode = 0644;
    struct stat old {};
    if (stat(path_.c_str(), &old) == 0) mode = old.st_mode & 07777;
    struct stat st {};
    bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, text) && fsync(fd) == 0 && fstat(fd, &st) == 0;
    ok = close(fd) == 0 && ok;
    if (ok) ok = rename(temp.c_str(), path_.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        loaded_ = false;
        return false;
    }
    // The rename itself must reach the disk before we call the write done.
    const int dir = open(DirectoryOf(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    stamp_ = StampOf(st);
    return true;
}

HiveLock::HiveLock(const std::string& hivePath) {
    const std::string lockPath = hivePath + ".lock";
    fd_ = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) return;
    while (flock(fd_, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        close(fd_);
        fd_ = -1;
        return;
    }
}

HiveLock::~HiveLock() {
    if (fd_ >= 0) close(fd_);  // closing the last descriptor releases the lock
}

}  // namespace dravolo::hive
