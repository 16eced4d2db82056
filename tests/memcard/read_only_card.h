#pragma once
// A card file that cannot be opened for writing, for as long as the object
// lives. Permission bits alone do not stop root, so as root the file is also
// made immutable; where neither works the test is skipped (ok() is false).

#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace dravolo::test {

class ReadOnlyCard {
public:
    explicit ReadOnlyCard(std::string hostPath) : path_(std::move(hostPath)) {
#ifdef _WIN32
        SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY);
#else
        chmod(path_.c_str(), 0444);
        if (Writable()) SetImmutable(true);
#endif
        ok_ = !Writable();
    }
    ~ReadOnlyCard() {
#ifdef _WIN32
        SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
#else
        if (immutable_) SetImmutable(false);
        chmod(path_.c_str(), 0644);
#endif
    }
    ReadOnlyCard(const ReadOnlyCard&) = delete;
    ReadOnlyCard& operator=(const ReadOnlyCard&) = delete;

    bool ok() const { return ok_; }

private:
    bool Writable() const {
#ifdef _WIN32
        const HANDLE h = CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        CloseHandle(h);
        return true;
#else
        const int fd = open(path_.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0) return false;
        close(fd);
        return true;
#endif
    }
#ifndef _WIN32
    void SetImmutable(bool on) {
        const int fd = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return;
        int flags = 0;
        if (ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            if (ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0) immutable_ = on;
        }
        close(fd);
    }
    bool immutable_ = false;
#endif

    std::string path_;
    bool ok_ = false;
};

}  // namespace dravolo::test
