#pragma once
// Reaching a prefix's registry through Wine itself. While a wineserver runs,
// it owns the registry: it read the hive files when it started and rewrites
// them from memory every 30 seconds and at its exit, so an edit of the files
// is invisible to Windows programs and later lost. Then batches go in with
// "reg import" of a generated .reg file (reg reports failures, regedit /s
// does not) and reads come back with "reg export".
//
// Wine runs through the runner (DRAVOLO_RUNNER, default "wine") with
// WINEPREFIX set to the prefix; every call is bounded in time.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "common/base/bytes.h"
#include "common/platform/registry.h"

namespace dravolo::wine {

// The runner command line split on blanks with its program looked up on PATH;
// empty when the program cannot be found. `setting` empty: DRAVOLO_RUNNER,
// else "wine".
std::vector<std::string> RunnerCommand(std::string_view setting = {});

struct RunOutcome {
    bool started = false;
    bool timedOut = false;  // killed after the time limit
    int exitCode = -1;      // 128 + signal when killed
    std::string output;     // stdout and stderr together
};

// Runs runner + args in `prefix` (WINEPREFIX) and waits at most `limit`.
// Output goes through a file, not a pipe: a wineserver the program starts
// inherits its descriptors and would keep a pipe open for minutes.
RunOutcome RunInPrefix(const std::string& prefix, const std::vector<std::string>& runner,
                       const std::vector<std::string>& args, std::chrono::milliseconds limit);

// Starts runner + args in `prefix` without waiting, with the given descriptors
// as its standard input, output and error; the child's pid, or nullopt when it
// cannot be started. The caller reaps it.
std::optional<int> SpawnInPrefix(const std::string& prefix, const std::vector<std::string>& runner,
                                 const std::vector<std::string>& args, int stdinFd, int stdoutFd, int stderrFd);

// The "Windows Registry Editor Version 5.00" file (UTF-16LE with BOM) that
// applies these changes in order when imported: "[-key]" for a deleted tree,
// "\"v\"=-" for a deleted value, an empty section for a created key.
Bytes RegFileForChanges(const std::vector<RegBatch::Change>& changes);

// Applies the batch through "reg import". False when Wine cannot be run or
// reg reports a failure.
bool ImportThroughWine(const std::string& prefix, const RegBatch& batch);

enum class ExportStatus { Ok, Missing, Unavailable };
// Exports root\path with "reg export" and applies the file to `into`.
// Missing: reg ran and found no such key. Unavailable: Wine could not be run.
ExportStatus ExportThroughWine(const std::string& prefix, RegRoot root, std::string_view path, Registry& into);

}  // namespace dravolo::wine
