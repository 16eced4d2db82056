#pragma once
// Whether the PCSX kind's program is PCSX-Reloaded (Debian's pcsxr), the PCSX
// of Linux, and where it keeps its own files. New PCSX profiles then default
// to pcsxr's own memory cards, and a launch writes pcsxr's text file instead
// of the registry (frontend/launch/pcsxr_config.h).

#include <optional>
#include <string>
#include <string_view>

namespace dravolo {

class SettingsStore;

// Where Debian's pcsxr package puts PCSX-Reloaded's plugins (lib*.so).
inline constexpr std::string_view kPcsxrPluginsDir = "/usr/lib/x86_64-linux-gnu/psemu/";

// The executable setting names "pcsxr" (with or without a folder), or the
// program is /usr/games/pcsxr.
bool IsPcsxReloaded(std::string_view installPath, std::string_view executable);
bool PcsxIsPcsxReloaded(const SettingsStore& settings);

// ~/.pcsxr/ (with the slash), from HOME; nullopt without one.
std::optional<std::string> PcsxrHome();
// The cards pcsxr makes by default: ~/.pcsxr/memcards/card1.mcd, card2.mcd.
std::string PcsxrDefaultCard(int slot);

}  // namespace dravolo
