#pragma once
// A hive file on disk: a parsed copy cached until the file changes, an advisory
// lock beside it for writers, and saves through the one whole-file save
// (file_replace.h), so a crash leaves the old file or the new one.

#include <string>
#include <sys/types.h>

#include "common/base/error.h"
#include "common/platform/posix/hive.h"

namespace dravolo::hive {

struct FileStamp {
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    long long mtimeNs = 0;
    bool operator==(const FileStamp&) const = default;
};

class HiveFile {
public:
    // relativeTo is the header's root name as the file spells it; a new file
    // takes its "#arch=" from the sibling hive, so Wine never finds the two
    // disagreeing.
    HiveFile(std::string path, std::string relativeTo, std::string siblingPath);

    const std::string& path() const { return path_; }

    // Brings the cached copy up to date with the file. A missing file is an
    // empty hive; a file that is not a hive reads as empty and refuses edits.
    // False when the file cannot be read (error, when given, says why).
    [[nodiscard]] bool Refresh(Error* error = nullptr);
    const Hive& hive() const { return hive_; }
    // The copy to edit, or nullptr when the file must not be rewritten.
    Hive* Editable();
    // Writes the edited copy over the file; on failure the cache is dropped so
    // the next Refresh reads the file again. error, when given, keeps the
    // failing step and errno.
    [[nodiscard]] bool Save(Error* error = nullptr);
    void Invalidate() { loaded_ = false; }

private:
    Hive NewHive() const;

    std::string path_;
    std::string relativeTo_;
    std::string siblingPath_;
    Hive hive_;
    FileStamp stamp_;
    bool loaded_ = false;
    bool refusesEdits_ = false;
};

// An exclusive flock on "<hive>.lock", held for the object's lifetime. flock
// locks belong to the open file, so two registries in one process exclude each
// other as two processes do.
class HiveLock {
public:
    // error, when given, says why the lock is not held.
    explicit HiveLock(const std::string& hivePath, Error* error = nullptr);
    ~HiveLock();
    HiveLock(const HiveLock&) = delete;
    HiveLock& operator=(const HiveLock&) = delete;
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

}  // namespace dravolo::hive
