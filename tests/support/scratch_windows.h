#pragma once
// On Windows the tests' drive C: and registry are the machine's own, not a
// private prefix. Tests may only change them on a throwaway Windows: the test
// script runs the Windows suites in a fresh Wine prefix and says so with
// DRAVOLO_TEST_SCRATCH_WINDOWS=1. What a test adds at the top of C:\ or below
// HKEY_CURRENT_USER\Software and HKEY_LOCAL_MACHINE\Software is removed after it.

#include <string>
#include <vector>

namespace dravolo::test {

class ScratchWindows {
public:
    // True when this machine may be changed by tests (always on POSIX, where
    // every test has its own prefix).
    static bool Allowed();

    // Takes the snapshot; the emulators' folders a test left behind go first.
    ScratchWindows();
    // Removes every folder, file and key that is not in the snapshot.
    ~ScratchWindows();
    ScratchWindows(const ScratchWindows&) = delete;
    ScratchWindows& operator=(const ScratchWindows&) = delete;

private:
    std::vector<std::string> driveEntries_, userKeys_, machineKeys_;
};

}  // namespace dravolo::test
