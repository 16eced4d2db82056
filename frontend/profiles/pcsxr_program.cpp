#include "frontend/profiles/pcsxr_program.h"

#include <cstdlib>

#include "frontend/core/settings_store.h"

namespace dravolo {

bool IsPcsxReloaded(std::string_view installPath, std::string_view executable) {
    const auto slash = executable.find_last_of("/\\");
    const std::string_view file = slash == std::string_view::npos ? executable : executable.substr(slash + 1);
    if (file == "pcsxr") return true;
    return std::string(installPath) + std::string(executable) == "/usr/games/pcsxr";
}

bool PcsxIsPcsxReloaded(const SettingsStore& settings) {
    return IsPcsxReloaded(settings.InstallPath(EmulatorKind::Pcsx), settings.ExecutableName(EmulatorKind::Pcsx));
}

std::optional<std::string> PcsxrHome() {
    const char* home = std::getenv("HOME");
    if (!home || !*home) return std::nullopt;
    std::string dir = home;
    if (dir.back() != '/') dir += '/';
    return dir + ".pcsxr/";
}

std::string PcsxrDefaultCard(int slot) {
    return PcsxrHome().value_or("~/.pcsxr/") + "memcards/card" + std::to_string(slot) + ".mcd";
}

}  // namespace dravolo
