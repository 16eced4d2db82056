#pragma once
// Before every start the front end rewrites the emulator's own configuration
// from the profile record, so the emulator finds the profile's choices as if
// the user had set them in the emulator itself:
//   ePSXe, PCSX, AdriPSX - registry values (AdriPSX also its AdriPSX.ini);
//   PSinex               - entries of "psinex pc emulator.ini";
//   FPSE                 - the profile's own FPSE.INI and the plugin libraries
//                          copied to the names FPSE loads.
// Each registry writer commits its values in one batch, so a launch rewrites
// the hive once.

#include <cstddef>
#include <string>
#include <string_view>

#include "common/base/prompter.h"
#include "common/platform/registry.h"
#include "common/platform/windows_family.h"
#include "frontend/profiles/records.h"

namespace dravolo {

class SettingsStore;

inline constexpr std::string_view kEpsxeConfigKey = "Software\\epsxe\\config";
inline constexpr std::string_view kPcsxConfigKey = "Software\\Pcsx";
inline constexpr std::string_view kAdripsxConfigKey = "Software\\Adripsx";  // under HKEY_LOCAL_MACHINE
inline constexpr std::string_view kAdripsxIniName = "AdriPSX.ini";
inline constexpr std::string_view kPsinexIniName = "psinex pc emulator.ini";
inline constexpr std::string_view kFpseIniName = "FPSE.INI";

// The values each registry writer commits, in the order it writes them.
RegBatch EpsxeConfigBatch(const _EPSXEDATA& record, WindowsFamily family);
RegBatch PcsxConfigBatch(const _PCSXDATA& record, std::string_view pcsxPath);
RegBatch AdripsxConfigBatch(const _ADRIPSXDATA& record);
// AdriPSX.ini byte for byte: CR LF line ends, no line end after the last line.
std::string AdripsxIniText(const _ADRIPSXDATA& record);

// ePSXe, AdriPSX and PCSX: loads the record from profileFile (".\\Epsxe\\X.set")
// and writes its configuration. False, having written nothing, when the record
// cannot be loaded. A key that cannot be written is not reported (AdriPSX still
// writes its file). FPSE and PSinex: nothing to do, true.
// The values go to `registry`; install paths come from `settings`.
bool WriteEmulatorConfig(std::string_view profileFile, EmulatorKind kind, Registry& registry,
                         const SettingsStore& settings, Prompter& prompter);

// Writes the PSinex entries into installPath + "psinex pc emulator.ini" (other
// keys of the file stay) and makes that file the current settings file. False,
// the file untouched, when an existing file cannot be read (or is no regular
// file, or is larger than any INI) and when the file cannot be written.
inline constexpr std::size_t kMaxPsinexIniSize = 16u << 20;
bool WritePsinexConfig(const _PSINEXDATA& record, std::string_view installPath);

// Copies the profile's FPSE settings file (".\\Fpse\\NAME.INI") over
// fpsePath + "FPSE.INI" and the chosen plugin libraries to GPURend.dll,
// SPURend.dll, CDRend.dll, JOY0Rend.dll and JOY1Rend.dll. False when the
// profile's settings file cannot be read, its record cannot be loaded or
// FPSE.INI cannot be written; FPSE.INI then stays as it was.
bool PrepareFpseFiles(std::string_view profileName, std::string_view fpsePath, const SettingsStore& settings,
                      Prompter& prompter);

// An FPSE plugin field starting with "F" names an FPSE-native plugin; its file
// name is the field without that one marker (a file name may itself start
// with "F").
inline constexpr char kFpseNativeMarker = 'F';
bool IsFpseNativeField(std::string_view field);
std::string WithoutFpseMarker(std::string_view field);

}  // namespace dravolo
