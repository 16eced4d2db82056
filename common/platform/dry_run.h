#pragma once
// A dry run: while one is active, the calls of this layer that would change
// something (write, copy, create, delete or rename a file or folder, change
// the current folder, start a program) tell the recorder what they would do
// and change nothing. Reads work as always, so code run this way takes the
// road it would really take. "dravolo-cli launch --dry-run" runs the real
// launch so.

#include <cstdint>
#include <span>
#include <string_view>

namespace dravolo {

class DryRunRecorder {
public:
    virtual ~DryRunRecorder() = default;
    virtual void WriteFile(std::string_view path, std::span<const std::uint8_t> data) = 0;
    virtual void CopyFile(std::string_view from, std::string_view to) = 0;
    // Creating, removing and renaming files and folders.
    virtual void FileChange(std::string_view what, std::string_view path) = 0;
    virtual void ChangeDirectory(std::string_view path) = 0;
    virtual void StartProgram(std::string_view commandLine, std::string_view workingDir, bool waits) = 0;
};

// The active recorder; nullptr outside a dry run.
DryRunRecorder* ActiveDryRun();

// Makes the recorder active for its lifetime. One at a time.
class DryRunScope {
public:
    explicit DryRunScope(DryRunRecorder& recorder);
    ~DryRunScope();
    DryRunScope(const DryRunScope&) = delete;
    DryRunScope& operator=(const DryRunScope&) = delete;

private:
    DryRunRecorder* previous_;
};

}  // namespace dravolo
