#pragma once
// A private Windows world for one test, the same for GoogleTest fixtures and
// Qt Test suites: a temporary Wine-style prefix (set as DRAVOLO_PREFIX), a
// temporary working directory that becomes the current directory, the five
// profile folders in it, and emulator install folders under drive_c. On
// destruction the current directory and DRAVOLO_PREFIX are what they were
// before (set, unset), and everything is removed.

#include <memory>
#include <string>
#include <string_view>

namespace dravolo::test {

class ScratchWindows;

class TestWorkspace {
public:
    TestWorkspace();
    ~TestWorkspace();
    TestWorkspace(const TestWorkspace&) = delete;
    TestWorkspace& operator=(const TestWorkspace&) = delete;

    // Host paths.
    const std::string& root() const { return root_; }
    const std::string& prefix() const { return prefix_; }
    const std::string& workdir() const { return workdir_; }
    // The prefix's drive_c on POSIX; on Windows the real "C:" (see scratch_windows.h).
    const std::string& driveC() const { return driveC_; }

    // Writes/reads a host file (relative paths are below the working directory).
    void WriteHostFile(const std::string& path, std::string_view content) const;
    std::string ReadHostFile(const std::string& path) const;
    bool HostExists(const std::string& path) const;
    std::string HostPath(const std::string& path) const;

private:
    std::string root_, prefix_, workdir_, driveC_, savedCwd_, savedPrefix_;
    std::shared_ptr<ScratchWindows> scratch_;
    bool hadPrefix_ = false;
};

// A temporary directory without the Windows world, removed on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

void RemoveTree(const std::string& hostPath);

}  // namespace dravolo::test
