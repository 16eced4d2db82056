#include "frontend/launch/config_writers.h"

#include "common/platform/profile_ini.h"
#include "common/platform/winfs.h"
#include "common/psemu/settings_file.h"
#include "frontend/core/settings_store.h"
#include "frontend/profiles/profile_files.h"

namespace dravolo {

namespace {

std::string Dec(int value) { return std::to_string(value); }

std::uint32_t Not(std::uint8_t flag) { return flag == 0 ? 1u : 0u; }

// "0" for the first drive, else the character code of the letter ("D:" -> 68).
std::string EpsxeCdromLetter(const std::string& field) {
    if (field == "First") return "0";
    return Dec(field.empty() ? 0 : static_cast<unsigned char>(field[0]));
}

std::string EpsxeCountry(const std::string& field) {
    if (field == "Autodetect") return "255";
    if (field == "NTSC") return "0";
    return "1";
}

template <typename Record>
bool LoadRecord(Record& record, std::string_view path, Prompter& prompter) {
    return LoadProfileRecord(record, path, prompter);
}

}  // namespace

RegBatch EpsxeConfigBatch(const _EPSXEDATA& r, WindowsFamily family) {
    const auto root = RegRoot::CurrentUser;
    const std::string_view key = kEpsxeConfigKey;
    const bool nt = family == WindowsFamily::NT;
    RegBatch b;
    b.CreateKey(root, key);
    b.SetString(root, key, "VideoPlugin", r.VideoPlugin);
    b.SetString(root, key, "SoundPlugin", r.SoundPlugin);
    b.SetString(root, key, "CdromPlugin", r.CdromPlugin);
    b.SetString(root, key, "BiosName", r.BiosName);
    b.SetString(root, key, "Memcard1", r.Memcard1);
    b.SetString(root, key, "Memcard2", r.Memcard2);
    b.SetString(root, key, "SoundEnabled", Dec(r.SoundEnabled));
    b.SetString(root, key, "SoundXA", "1");
    b.SetString(root, key, "SoundXARead", Dec(r.SoundXARead));
    b.SetString(root, key, "SoundCDDA", Dec(r.SoundCDDA));
    b.SetString(root, key, "SoundSpuIrq", Dec(r.SoundSpuIrq));
    // ePSXe keeps separate sub-channel settings per Windows family; only the
    // running family's set is touched.
    b.SetString(root, key, nt ? "SubchannelW2KCaching" : "SubchannelW9xCaching", Dec(r.SubchannelCaching));
    b.SetString(root, key, nt ? "SubchannelW2KCachingLG" : "SubchannelW9xCachingLG", Dec(r.SubchannelCachingLG));
    b.SetString(root, key, nt ? "SubchannelW2KCdromEnabled" : "SubchannelW9xCdromEnabled",
                Dec(r.SubchannelCdromEnabled));
    b.SetString(root, key, "AutoPpfLoad", r.AutoPpfLoad == 1 ? "0" : "255");
    b.SetString(root, key, "CdromLetter", EpsxeCdromLetter(r.CdromLetter));
    b.SetString(root, key, "Country", EpsxeCountry(r.Country));
    // Ours, kept in ePSXe's key: the launch reads them back for the command line.
    b.SetString(root, key, "DVOCommandLine", r.DVOCommandLine);
    b.SetString(root, key, "DVOEnableGui", Dec(r.DVOEnableGui));
    return b;
}

RegBatch PcsxConfigBatch(const _PCSXDATA& r, std::string_view pcsxPath) {
    const auto root = RegRoot::CurrentUser;
    const std::string_view key = kPcsxConfigKey;
    RegBatch b;
    b.CreateKey(root, key);
    b.SetString(root, key, "Gpu", r.Gpu);
    b.SetString(root, key, "Spu", r.Spu);
    b.SetString(root, key, "Cdr", r.Cdr);
    b.SetString(root, key, "Bios", r.Bios);
    b.SetString(root, key, "Pad1", r.Pad1);
    b.SetString(root, key, "Pad2", r.Pad2);
    b.SetString(root, key, "Mcd1", r.Mcd1);
    b.SetString(root, key, "Mcd2", r.Mcd2);
    b.SetDword(root, key, "PsxAuto", r.Country == "Autodetect" ? 1 : 0);
    b.SetDword(root, key, "PsxType", r.Country == "NTSC" ? 0 : 1);
    // PCSX stores these four as "disabled" switches.
    b.SetDword(root, key, "QKeys", Not(r.QKeys));
    b.SetDword(root, key, "Cpu", static_cast<std::uint32_t>(r.Cpu));
    b.SetDword(root, key, "PsxOut", r.PsxOut);
    b.SetDword(root, key, "Sio", r.Sio);
    b.SetDword(root, key, "SpuIrq", r.SpuIrq);
    b.SetDword(root, key, "Mdec", Not(r.Mdec));
    b.SetDword(root, key, "CdTiming", r.CdTiming);
    b.SetDword(root, key, "RcntFix", r.RcntFix);
    b.SetDword(root, key, "Xa", Not(r.Xa));
    b.SetDword(root, key, "Cdda", Not(r.Cdda));
    b.SetString(root, key, "PluginsDir", std::string(pcsxPath) + "plugin\\");
    b.SetString(root, key, "BiosDir", "");
    return b;
}

RegBatch AdripsxConfigBatch(const _ADRIPSXDATA& r) {
    const auto root = RegRoot::LocalMachine;
    const std::string_view key = kAdripsxConfigKey;
    const std::string plugins = "Plugins\\";
    RegBatch b;
    b.CreateKey(root, key);
    b.SetDword(root, key, "ADPCMenable", r.ADPCMenable);
    b.SetDword(root, key, "CDAenable", r.CDAenable);
    b.SetDword(root, key, "CDDEC", r.CDDEC);
    b.SetDword(root, key, "NOSTATIC", Not(r.EnableHLE));
    b.SetDword(root, key, "XAenable", r.XAenable);
    b.SetString(root, key, "PADplugin", plugins + r.PADplugin);
    b.SetDword(root, key, "CPUtype", static_cast<std::uint32_t>(r.CPUtype));
    b.SetString(root, key, "GPUplugin", plugins + r.GPUplugin);
    b.SetString(root, key, "SPUplugin", plugins + r.SPUplugin);
    b.SetString(root, key, "CDRplugin", plugins + r.CDRplugin);
    b.SetString(root, key, "BIOSfile", r.BIOSfile);
    b.SetString(root, key, "AdriAdvance", "true");
    b.SetDword(root, key, "RTCIRQ", 1);
    b.SetDword(root, key, "PADsecond", 1);
    b.SetDword(root, key, "MDECdisable", 0);
    b.SetDword(root, key, "MDECskip", 0);
    b.SetDword(root, key, "MULTITASK", 1);
    b.SetDword(root, key, "NOHLE", 0);
    b.SetDword(root, key, "PADirq", 1);
    return b;
}

std::string AdripsxIniText(const _ADRIPSXDATA& r) {
    auto plugin = [](std::string_view name, const std::string& file) {
        return std::string(name) + "= Plugins\\" + file + "\r\n";
    };
    auto number = [](std::string_view name, long value) {
        return std::string(name) + "= " + std::to_string(value) + "\r\n";
    };
    std::string t;
    t += "#PSEmuPro Plugins\r\n";
    t += plugin("GPU", r.GPUplugin);
    t += plugin("SPU", r.SPUplugin);
    t += plugin("CDR", r.CDRplugin);
    t += plugin("PAD", r.PADplugin) + "\r\n";
    t += "#Sound Options\r\n";
    t += number("ADPCM", r.ADPCMenable);
    t += number("CDXA", r.XAenable);
    t += number("CDDA", r.CDAenable) + "\r\n";
    t += "#Bios Image File\r\n";
    t += "BIOS=" + r.BIOSfile + "\r\n\r\n";
    t += "#General Options\r\n";
    t += number("SKIPMOVIES", 0);
    t += number("CDTYPE", 0);
    t += "CDLETTER=  \r\n";
    t += number("CPUTYPE", r.CPUtype);
    t += number("RTCIRQ", 1);
    t += number("MULTITASK", 1);
    t += number("NOHLE", 0);
    t += "NOSTATIC= " + std::to_string(Not(r.EnableHLE));
    return t;
}

bool WriteEmulatorConfig(std::string_view profileFile, EmulatorKind kind, Registry& registry,
                         const SettingsStore& settings, Prompter& prompter) {
    switch (kind) {
    case EmulatorKind::Epsxe: {
        _EPSXEDATA record(settings);
        if (!LoadRecord(record, profileFile, prompter)) return false;
        // ePSXe starts with its previous values when these cannot be written.
        (void)registry.Commit(EpsxeConfigBatch(record, CurrentWindowsFamily()));
        return true;
    }
    case EmulatorKind::Pcsx: {
        _PCSXDATA record(settings);
        if (!LoadRecord(record, profileFile, prompter)) return false;
        // PCSX starts with its previous values when these cannot be written.
        (void)registry.Commit(PcsxConfigBatch(record, settings.InstallPath(EmulatorKind::Pcsx)));
        return true;
    }
    case EmulatorKind::Adripsx: {
        _ADRIPSXDATA record(settings);
        if (!LoadRecord(record, profileFile, prompter)) return false;
        // Without rights under HKEY_LOCAL_MACHINE the registry part is
        // skipped; AdriPSX still finds its file.
        (void)registry.Commit(AdripsxConfigBatch(record));
        const std::string text = AdripsxIniText(record);
        // As with the registry, a start with the previous file beats none.
        (void)WriteWholeFileAtomic(settings.InstallPath(EmulatorKind::Adripsx) + std::string(kAdripsxIniName),
                                   std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
        return true;
    }
    case EmulatorKind::Fpse:
    case EmulatorKind::Psinex: return true;
    }
    return true;
}

bool WritePsinexConfig(const _PSINEXDATA& r, std::string_view installPath) {
    const std::string file = std::string(installPath) + std::string(kPsinexIniName);
    SetCurrentSettingsFile(file);
    // The file holds every other PSinex setting: one we cannot read is left
    // alone rather than replaced by our ten entries.
    const RegularFileContent existing = ReadRegularFile(file, kMaxPsinexIniSize);
    if (existing.status != RegularFileRead::Ok && existing.status != RegularFileRead::Missing) return false;
    IniDocument ini = IniDocument::Parse(
        std::string_view(reinterpret_cast<const char*>(existing.bytes.data()), existing.bytes.size()));
    const std::string plugins = "plugins\\";
    ini.Set("GENERAL", "BIOS", r.Bios);
    ini.Set("GENERAL", "MDEC", r.Mdec == 1 ? "True" : "False");
    ini.Set("PLUGINS", "Graphics", plugins + r.Graphics);
    ini.Set("PLUGINS", "Sound", plugins + r.Sound);
    ini.Set("PLUGINS", "Cd-ROM", plugins + r.CdRom);
    ini.Set("PLUGINS", "Controls", plugins + r.Controls);
    ini.Set("MEMCARDS", "MemCard1", r.MemCard1);
    ini.Set("MEMCARDS", "MemCard2", r.MemCard2);
    ini.Set("GENERAL", "CPU Mode", r.CpuMode == 0 ? "True" : "False");
    ini.Set("GENERAL", "SPU irq", r.SpuIrq == 1 ? "True" : "False");
    const std::string text = ini.Serialize();
    return WriteWholeFileAtomic(file, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool IsFpseNativeField(std::string_view field) { return !field.empty() && field[0] == kFpseNativeMarker; }

// Exactly the one marker goes: "FFastGpu.dll" names the file "FastGpu.dll".
std::string WithoutFpseMarker(std::string_view field) {
    return IsFpseNativeField(field) ? std::string(field.substr(1)) : std::string(field);
}

bool PrepareFpseFiles(std::string_view profileName, std::string_view fpsePath, const SettingsStore& settings,
                      Prompter& prompter) {
    const std::string profileDir = std::string(KindInfo(EmulatorKind::Fpse).directory) + "\\";
    const auto profileIni = ReadWholeFile(profileDir + std::string(profileName) + ".INI");
    if (!profileIni) return false;
    _FPSEDATA record(settings);
    // Everything is read before FPSE.INI is touched, so a failure leaves
    // FPSE's own file as it was.
    if (!LoadRecord(record, profileDir + std::string(profileName) + ".set", prompter)) return false;

    // Copied as a text-mode copy does: the lines unchanged, CR LF line ends.
    const std::string text =
        ToCrLf(std::string_view(reinterpret_cast<const char*>(profileIni->data()), profileIni->size()));
    const std::string path(fpsePath);
    if (!WriteWholeFileAtomic(path + std::string(kFpseIniName),
                              std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())))
        return false;

    // A field without the marker names a PSEmu Pro plugin: FPSE then loads its
    // bridge library, which finds the plugin through FPSE.INI.
    auto source = [&](const std::string& field, std::string_view bridge) {
        return path + "plugin\\" + (IsFpseNativeField(field) ? WithoutFpseMarker(field) : std::string(bridge));
    };
    // A plugin that is missing or cannot be copied leaves FPSE its former one.
    (void)CopyFileTo(source(record.GpuPlugin, "GPUPsemu.dll"), path + "GPURend.dll", false);
    (void)CopyFileTo(source(record.SpuPlugin, "SPUPsemu.dll"), path + "SPURend.dll", false);
    (void)CopyFileTo(source(record.CdrPlugin, "CDPsemu.dll"), path + "CDRend.dll", false);
    (void)CopyFileTo(path + "plugin\\" + record.LasPAD1, path + "JOY0Rend.dll", false);
    (void)CopyFileTo(path + "plugin\\" + record.LasPAD2, path + "JOY1Rend.dll", false);
    return true;
}

}  // namespace dravolo
