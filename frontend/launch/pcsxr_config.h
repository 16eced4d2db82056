#pragma once
// PCSX-Reloaded, the PCSX of Linux (Debian's pcsxr), keeps its settings in a
// text file of "Name = value" lines below ~/.pcsxr/ instead of the registry.
// A launch writes the profile into ~/.pcsxr/dravolo/<profile>.cfg under the
// names the registry writer uses, keeping every line of an existing file that
// it does not set, and starts "pcsxr -cfg dravolo/<profile>.cfg" (pcsxr takes
// the path relative to ~/.pcsxr/).

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "frontend/profiles/pcsxr_program.h"
#include "frontend/profiles/records.h"

namespace dravolo {

inline constexpr std::string_view kPcsxrHleBios = "HLE";

using PcsxrValues = std::vector<std::pair<std::string, std::string>>;

// The values a launch sets, in the order pcsxr writes them.
PcsxrValues PcsxrConfigValues(const _PCSXDATA& record, std::string_view pcsxrHome);

// One value of a file's text; nullopt when no line names it.
std::optional<std::string> PcsxrValue(std::string_view text, std::string_view name);
// The file's text with the values set: a line naming a value gets the new
// value, every other line stays byte for byte, values no line names are
// appended in their order.
std::string SetPcsxrValues(std::string_view text, const PcsxrValues& values);

// The file's name below ~/.pcsxr/ and the arguments that start pcsxr on it.
std::string PcsxrConfigName(std::string_view profileName);  // "dravolo/<profile>.cfg"
std::string PcsxrArguments(std::string_view profileName);   // "-cfg dravolo/<profile>.cfg", quoted as needed

// Writes ~/.pcsxr/dravolo/<profile>.cfg from the record; false when it
// cannot be written (or there is no HOME).
bool WritePcsxrConfig(const _PCSXDATA& record, std::string_view profileName);

}  // namespace dravolo
