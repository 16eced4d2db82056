#include "frontend/memcards/launch_snapshots.h"

#include <variant>

#include "common/platform/profile_ini.h"
#include "frontend/core/card_snapshots.h"
#include "frontend/core/settings_store.h"
#include "frontend/profiles/profile_files.h"

namespace dravolo::memcards {

namespace {

bool IsAbsolute(std::string_view path) {
    return (path.size() >= 2 && path[1] == ':') || (!path.empty() && (path[0] == '\\' || path[0] == '/'));
}

std::string FromEmulatorFolder(std::string path, const std::string& installPath) {
    if (path.empty() || IsAbsolute(path)) return path;
    if (path.rfind(".\\", 0) == 0) path.erase(0, 2);
    return installPath + path;
}

}  // namespace

std::array<std::string, 2> LaunchCardPaths(EmulatorKind kind, std::string_view profileName,
                                           const AnyProfileRecord& record, const SettingsStore& settings) {
    std::array<std::string, 2> cards;
    switch (kind) {
    case EmulatorKind::Epsxe: {
        const auto& r = std::get<_EPSXEDATA>(record);
        cards = {r.Memcard1, r.Memcard2};
        break;
    }
    case EmulatorKind::Psinex: {
        const auto& r = std::get<_PSINEXDATA>(record);
        cards = {r.MemCard1, r.MemCard2};
        break;
    }
    case EmulatorKind::Pcsx: {
        const auto& r = std::get<_PCSXDATA>(record);
        cards = {r.Mcd1, r.Mcd2};
        break;
    }
    case EmulatorKind::Fpse: {
        const auto& r = std::get<_FPSEDATA>(record);
        const std::string ini = ProfilePath(kind, profileName, ".INI");
        cards = {GetPrivateProfileString("FPSE", "MemCard1", r.MemCard1, ini),
                 GetPrivateProfileString("FPSE", "MemCard2", r.MemCard2, ini)};
        break;
    }
    case EmulatorKind::Adripsx: return cards;
    }
    const std::string install = settings.InstallPath(kind);
    for (std::string& card : cards) card = FromEmulatorFolder(std::move(card), install);
    return cards;
}

int SnapshotLimit(const SettingsStore& settings) { return settings.Get(kCardSnapshotsSetting); }

void TakeLaunchSnapshots(EmulatorKind kind, std::string_view profileName, const AnyProfileRecord& record,
                         const SettingsStore& settings, std::time_t now) {
    const int keep = SnapshotLimit(settings);
    if (keep <= 0 || profileName.empty()) return;
    const std::array<std::string, 2> cards = LaunchCardPaths(kind, profileName, record, settings);
    const std::string folder = SnapshotFolderOf(ProfilePath(kind, profileName, ""));
    for (int card = 1; card <= 2; ++card)
        TakeSnapshot(folder, card, cards[static_cast<std::size_t>(card - 1)], keep, now);
}

}  // namespace dravolo::memcards
