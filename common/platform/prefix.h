#pragma once
// Where the Windows world lives on POSIX: a Wine prefix. Chosen by
// DRAVOLO_PREFIX, else WINEPREFIX, else ~/.wine, and created with Wine's layout
// (drive_c, dosdevices/c: -> ../drive_c, dosdevices/z: -> /) when missing.

#include <string>

namespace dravolo {

// Host path of the prefix directory, without a trailing slash. Creates the
// layout on first use; an empty string when it cannot be created.
std::string PrefixDirectory();

// Creates the layout inside dir when parts are missing. False on failure.
bool EnsurePrefixLayout(const std::string& dir);

// While one lives, PrefixDirectory() answers `dir` instead (drive letters,
// the WINEPREFIX of programs we start, the registry of OpenSystemRegistry):
// an emulator kept in a prefix of its own is configured and started there.
// An empty dir changes nothing. Nested scopes restore the one before.
// Windows: no effect.
class ScopedPrefix {
public:
    explicit ScopedPrefix(std::string dir);
    ~ScopedPrefix();
    ScopedPrefix(const ScopedPrefix&) = delete;
    ScopedPrefix& operator=(const ScopedPrefix&) = delete;

private:
    bool active_ = false;
    std::string previous_;
};

// Makes sure a prefix exists before we write into it. One that does not exist
// yet is made by Wine itself ("wineboot -i" through the runner) when the
// runner is Wine, so its hives are ones that Wine accepts; without Wine only
// our layout is made, and our first registry write gives it the hives of
// Wine's default 64-bit prefix. runnerSetting: as StartOptions::runner.
// False when the prefix cannot be made. Windows: always true.
bool PreparePrefix(const std::string& dir, const std::string& runnerSetting);

// Whether an emulator can have a Windows world of its own: true on POSIX,
// where each Wine prefix is one; false on Windows, the one world there is.
bool EmulatorsMayHaveOwnPrefix();

// True when the runner command starts Wine ("wine", "wine64",
// "env WINEPREFIX=/x wine", a path ending in /wine ...).
bool RunnerIsWine(const std::string& runnerSetting);

}  // namespace dravolo
