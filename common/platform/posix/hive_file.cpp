#include "common/platform/posix/hive_file.h"

#include <cerrno>
#include <fstream>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/platform/posix/fd_io.h"
#include "common/platform/posix/file_replace.h"
#include "common/platform/system_error.h"

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

bool HiveFile::Refresh(Error* error) {
    const int fd = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT) {
            SetLastSystemError(error, "open", path_);
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
        SetLastSystemError(error, "stat", path_);
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
    const bool ok = posix::ReadFdToEnd(fd, text);
    if (!ok) SetLastSystemError(error, "read", path_);
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

bool HiveFile::Save(Error* error) {
    // Settling makes the hive equal to a parse of what we write; a failed
    // write marks it unloaded, so the next use reads the file again. A
    // user.reg that is a link (to a shared profile, say) stays one.
    const std::string text = hive_.SerializeAndSettle();
    struct stat st {};
    if (!posix::ReplaceFileContents(path_, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                                    &st, error)) {
        loaded_ = false;
        return false;
    }
    stamp_ = StampOf(st);
    return true;
}

HiveLock::HiveLock(const std::string& hivePath, Error* error) {
    const std::string lockPath = hivePath + ".lock";
    fd_ = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        SetLastSystemError(error, "create lock", lockPath);
        return;
    }
    while (flock(fd_, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        SetLastSystemError(error, "lock", lockPath);
        close(fd_);
        fd_ = -1;
        return;
    }
}

HiveLock::~HiveLock() {
    if (fd_ >= 0) close(fd_);  // closing the last descriptor releases the lock
}

}  // namespace dravolo::hive
