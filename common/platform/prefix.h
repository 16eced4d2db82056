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

}  // namespace dravolo
