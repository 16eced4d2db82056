#pragma once
// The five emulators the front end keeps profiles for. The number is used
// everywhere: the CurrentEmulator setting, the emulator bar's item, the record
// type, the profile folder and the writers' switch.

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace dravolo {

enum class EmulatorKind : int { Epsxe = 0, Fpse = 1, Psinex = 2, Adripsx = 3, Pcsx = 4 };

struct EmulatorKindInfo {
    EmulatorKind kind;
    std::string_view directory;    // profile folder below the working directory
    std::string_view pathSetting;  // install folder setting, ends in a backslash
    std::string_view defaultPath;
    std::string_view exeSetting;  // program file name inside the install folder
    std::string_view defaultExe;
    std::string_view runnerSetting;  // how its Windows program is started on Linux
    std::string_view prefixSetting;  // the Wine prefix it lives in
};

inline constexpr std::array<EmulatorKindInfo, 5> kEmulatorKinds = {{
    {EmulatorKind::Epsxe, "Epsxe", "EpsxePath", "c:\\epsxe\\", "EpsxeExe", "epsxe.exe", "EpsxeRunner", "EpsxePrefix"},
    {EmulatorKind::Fpse, "Fpse", "FpsePath", "c:\\fpse\\", "FpseExe", "fpse.exe", "FpseRunner", "FpsePrefix"},
    {EmulatorKind::Psinex, "Psinex", "PsinexPath", "c:\\psinex\\", "PsinexExe", "psinex pc emulator.exe",
     "PsinexRunner", "PsinexPrefix"},
    {EmulatorKind::Adripsx, "Adripsx", "AdripsxPath", "c:\\adripsx\\", "AdripsxExe", "adriile.exe", "AdripsxRunner",
     "AdripsxPrefix"},
    {EmulatorKind::Pcsx, "Pcsx", "PcsxPath", "c:\\pcsx\\", "PcsxExe", "pcsx.exe", "PcsxRunner", "PcsxPrefix"},
}};

// The kind's place in kEmulatorKinds and in every table kept in the kinds'
// order (the list's emulator icons, the settings dialog's rows): the one
// conversion from a kind to an index.
constexpr std::size_t KindIndex(EmulatorKind kind) { return static_cast<std::size_t>(kind); }

inline const EmulatorKindInfo& KindInfo(EmulatorKind kind) { return kEmulatorKinds[KindIndex(kind)]; }

// A stored number (the CurrentEmulator setting, the emulator bar's row) as a
// kind; nothing for a number that names none.
inline std::optional<EmulatorKind> KindFromNumber(int number) {
    if (number < 0 || number > 4) return std::nullopt;
    return static_cast<EmulatorKind>(number);
}

// "Epsxe", "epsxe", "EPSXE" ... -> kind.
std::optional<EmulatorKind> KindFromDirectoryName(std::string_view name);

}  // namespace dravolo
