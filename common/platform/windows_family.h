#pragma once
// The Windows family decides ePSXe's value names and the default CD interface.
// Under Wine the system is NT; tests inject either family.

#include <optional>

namespace dravolo {

enum class WindowsFamily { Win9x, NT };

WindowsFamily CurrentWindowsFamily();
// Overrides the answer (tests, and --family in dravolo-cli); nullopt restores it.
void OverrideWindowsFamily(std::optional<WindowsFamily> family);

// The rule the launch applies to GetVersion's word: top bit set means 9x; an NT
// system whose major version is below 4 also counts as 9x.
WindowsFamily FamilyFromVersionWord(unsigned long versionWord);

}  // namespace dravolo
