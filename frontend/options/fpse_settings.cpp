#include "frontend/options/fpse_settings.h"

#include <span>

#include "common/platform/profile_ini.h"
#include "common/platform/winfs.h"
#include "frontend/profiles/profile_files.h"

namespace dravolo {

namespace {

std::string_view OnOff(std::uint8_t flag) { return flag ? "on" : "off"; }

}  // namespace

std::string FpseSettingsFilePath(std::string_view profileName) {
    return ProfilePath(EmulatorKind::Fpse, profileName, ".ini");
}

std::string_view FpseCountryNumber(std::string_view country) {
    if (country == "United States") return "0";
    if (country == "Europe") return "1";
    if (country == "Japan") return "2";
    return {};
}

bool WriteFpseSettingsFile(const _FPSEDATA& v, std::string_view path) {
    std::string content;
    if (const auto bytes = ReadWholeFile(path)) content.assign(bytes->begin(), bytes->end());
    IniDocument ini = IniDocument::Parse(content);
    const std::string_view s = "FPSE";
    ini.Set(s, "DisclaimerAgree", "1");
    if (const auto country = FpseCountryNumber(v.CDCountry); !country.empty()) ini.Set(s, "CDCountry", country);
    ini.Set(s, "UseOtherMDEC", OnOff(v.UseOtherMDEC));
    ini.Set(s, "CDUseCache", OnOff(v.CDUseCache));
    ini.Set(s, "CDCacheSize", std::to_string(v.CDCacheSize));
    ini.Set(s, "CDStreamSpeed", std::to_string(v.CDStreamSpeed));
    // The radio's first button, "Compiler", is CpuMode 0.
    ini.Set(s, "CpuMode", v.CpuMode == 0 ? "on" : "off");
    ini.Set(s, "CpuMode2", OnOff(v.CpuMode2));
    ini.Set(s, "ShowGenCode", OnOff(v.ShowGenCode));
    ini.Set(s, "AutoSpeed", OnOff(v.AutoSpeed));
    ini.Set(s, "DisableEngines", OnOff(v.DisableEngines));
    ini.Set(s, "MDEC_bw", OnOff(v.MDEC_bw));
    ini.Set(s, "DisableLogo", OnOff(v.DisableLogo));
    ini.Set(s, "EnableHLE", OnOff(v.EnableHLE));
    ini.Set(s, "EmuConsole", OnOff(v.EmuConsole));
    ini.Set(s, "BiosName", v.BiosName);
    if (!v.MemCard1.empty()) ini.Set(s, "MemCard1", v.MemCard1);
    if (!v.MemCard2.empty()) ini.Set(s, "MemCard2", v.MemCard2);
    if (!v.LasPAD1.empty()) ini.Set(s, "LasPAD1", v.LasPAD1);
    if (!v.LasPAD2.empty()) ini.Set(s, "LasPAD2", v.LasPAD2);
    ini.Set("SPUPSEMU", "IrqEnable", std::to_string(static_cast<long>(v.IrqEnable)));
    const std::string out = ini.Serialize();
    return WriteWholeFileAtomic(path, std::span(reinterpret_cast<const std::uint8_t*>(out.data()), out.size()));
}

}  // namespace dravolo
