#pragma once
// A seam for crash tests: a function called right after every call that puts
// file data on the disk (each write, and a save's fsync and rename), so that
// a test can end its process with SIGKILL at exactly that point and look at
// what a crash there leaves. No program sets it.

#include <cstddef>
#include <cstdint>

namespace dravolo::posix {

struct FileWriteStep {
    int fd = -1;               // -1 for the rename and the folder's fsync
    std::uint64_t offset = 0;  // where the data went
    std::size_t size = 0;      // 0 for an fsync or a rename
};
using FileWriteHook = void (*)(const FileWriteStep&);

// largestWrite > 0 cuts every write into calls of at most that many bytes,
// so that even a small save has many points to stop at.
void SetFileWriteHook(FileWriteHook hook, std::size_t largestWrite = 0);

// For the file layer itself.
void ReportFileWriteStep(const FileWriteStep& step);
std::size_t LargestFileWrite(std::size_t wanted);
bool FileWriteHookSet();

}  // namespace dravolo::posix
