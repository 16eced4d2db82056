#pragma once
// The profile's FPSE settings file (".\\Fpse\\NAME.ini", the ".ini" side file
// beside the profile). FPSE reads it as its FPSE.INI when the profile starts,
// and FPSE plugins read and write their own keys in it through the settings
// callbacks, so the option page writes its values there.

#include <string>
#include <string_view>

#include "frontend/profiles/records.h"

namespace dravolo {

std::string FpseSettingsFilePath(std::string_view profileName);

// Writes the page's values into section "FPSE" (and IrqEnable into
// "SPUPSEMU"); every other line of the file stays. One atomic rewrite; false
// when the file cannot be written.
bool WriteFpseSettingsFile(const _FPSEDATA& values, std::string_view path);

// "United States" -> "0", "Europe" -> "1", "Japan" -> "2"; empty for others.
std::string_view FpseCountryNumber(std::string_view country);

}  // namespace dravolo
