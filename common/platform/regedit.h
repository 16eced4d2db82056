#pragma once
// The system's registry editor program.

namespace dravolo {

// Whether regedit.exe, started as a program, edits the registry we read: on
// Windows it does. Elsewhere our registry is the prefix's hive files, which
// we edit ourselves.
bool RegeditEditsOurRegistry();

}  // namespace dravolo
