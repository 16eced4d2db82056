#include "frontend/profiles/records.h"

#include "frontend/core/settings_store.h"
#include "frontend/profiles/pcsxr_program.h"
#include "frontend/profiles/profile_archive.h"

namespace dravolo {

namespace {

// The install folder ends in a backslash; card paths are plain concatenations.
std::string CardPath(const SettingsStore& settings, EmulatorKind kind, std::string_view file) {
    return settings.InstallPath(kind) + "memcards\\" + std::string(file);
}

// Lets the archive walk a record's named fields.
struct ArchiveVisitor {
    ProfileArchive& archive;
    void Flag(std::string_view, std::uint8_t& v) { archive.Flag(v); }
    void Int(std::string_view, std::int32_t& v) { archive.Int(v); }
    void Text(std::string_view, std::string& v) { archive.Text(v); }
};

}  // namespace

_EPSXEDATA::_EPSXEDATA(const SettingsStore& settings)
    : Memcard1(CardPath(settings, kKind, "epsxe000.mcr")), Memcard2(CardPath(settings, kKind, "epsxe001.mcr")) {}

_FPSEDATA::_FPSEDATA(const SettingsStore& settings)
    : MemCard1(CardPath(settings, kKind, "mcdslot1.mcd")), MemCard2(CardPath(settings, kKind, "mcdslot2.mcd")) {}

_PSINEXDATA::_PSINEXDATA(const SettingsStore& settings)
    : MemCard1(CardPath(settings, kKind, "mc1.mem")), MemCard2(CardPath(settings, kKind, "mc2.mem")) {}

// AdriPSX keeps no default card paths: its cards are chosen on its own page.
_ADRIPSXDATA::_ADRIPSXDATA(const SettingsStore&) {}

// PCSX-Reloaded's profiles start on the cards pcsxr itself makes.
_PCSXDATA::_PCSXDATA(const SettingsStore& settings)
    : Mcd1(PcsxIsPcsxReloaded(settings) ? PcsxrDefaultCard(1) : CardPath(settings, kKind, "Mcd001.mcr")),
      Mcd2(PcsxIsPcsxReloaded(settings) ? PcsxrDefaultCard(2) : CardPath(settings, kKind, "Mcd002.mcr")) {}

template <typename Record>
void Serialize(Record& record, ProfileArchive& archive) {
    ArchiveVisitor visitor{archive};
    record.VisitFields(visitor);
    if (archive.IsStoring()) archive.StoreTrailer();
}

template void Serialize(_EPSXEDATA&, ProfileArchive&);
template void Serialize(_FPSEDATA&, ProfileArchive&);
template void Serialize(_PSINEXDATA&, ProfileArchive&);
template void Serialize(_ADRIPSXDATA&, ProfileArchive&);
template void Serialize(_PCSXDATA&, ProfileArchive&);

AnyProfileRecord MakeDefaultRecord(EmulatorKind kind, const SettingsStore& settings) {
    switch (kind) {
    case EmulatorKind::Epsxe: return _EPSXEDATA(settings);
    case EmulatorKind::Fpse: return _FPSEDATA(settings);
    case EmulatorKind::Psinex: return _PSINEXDATA(settings);
    case EmulatorKind::Adripsx: return _ADRIPSXDATA(settings);
    case EmulatorKind::Pcsx: break;
    }
    return _PCSXDATA(settings);
}

CProfileProperties& PropertiesOf(AnyProfileRecord& record) {
    return std::visit([](auto& r) -> CProfileProperties& { return r.Properties; }, record);
}

}  // namespace dravolo
