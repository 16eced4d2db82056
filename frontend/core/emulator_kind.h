#pragma once
// The five emulators the front end keeps profiles for. The number is used
// everywhere: the CurrentEmulator setting, the emulator bar's item, the record
// type, the profile folder and the writers' switch.

#include <array>
#include <optional>
#include <string_view>

namespace dravolo {

enum class EmulatorKind : int { Epsxe = 0, Fpse = 1, Psinex = 2, Adripsx = 3, Pcsx = 4 };

struct EmulatorKindInfo {
    EmulatorKind kind;
    std::string_view directory;     // profile folder below the working directory
    std::string_view pathSetting;   // install folder setting, ends in a backslash
    std::string_view defaultPath;
    std::string_view exeSetting;    // program file name inside the install folder
    std::string_view defaultExe;
};

inline constexpr std::array<EmulatorKindInfo, 5> kEmulatorKinds = {{
    {EmulatorKind::Epsxe, "Epsxe", "EpsxePath", "c:\\epsxe\\", "EpsxeExe", "epsxe.exe"},
    {EmulatorKind::Fpse, "Fpse", "FpsePath", "c:\\fpse\\", "FpseExe", "fpse.exe"},
    {EmulatorKind::Psinex, "Psinex", "PsinexPath", "c:\\psinex\\", "PsinexExe", "psinex pc emulator.exe"},
    {EmulatorKind::Adripsx, "Adripsx", "AdripsxPath", "c:\\adripsx\\", "AdripsxExe", "adriile.exe"},
    {EmulatorKind::Pcsx, "Pcsx", "PcsxPath", "c:\\pcsx\\", "PcsxExe", "pcsx.exe"},
}};

inline const EmulatorKindInfo& KindInfo(EmulatorKind kind) { return kEmulatorKinds[static_cast<int>(kind)]; }

inline std::optional<EmulatorKind> KindFromNumber(int number) {
    if (number < 0 || number > 4) return std::nullopt;
    return static_cast<EmulatorKind>(number);
}

// "Epsxe", "epsxe", "EPSXE" ... -> kind.
std::optional<EmulatorKind> KindFromDirectoryName(std::string_view name);

}  // namespace dravolo
