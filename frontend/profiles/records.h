#pragma once
// The five profile records, one per emulator. A record is a plain value: built
// with its defaults (memory-card paths below the emulator's install folder as
// the settings give it at that moment), filled from a profile file, handed to a
// page or a writer, and dropped.
//
// VisitFields lists the fields in the order of the profile file, with their
// names; the archive, the command line's show/set and the tests all walk it.

#include <cstdint>
#include <string>
#include <variant>

#include "frontend/core/emulator_kind.h"

namespace dravolo {

class SettingsStore;
class ProfileArchive;

// Plugin file names used as defaults where the emulator needs a plugin of its
// own kind before the user picked one.
inline constexpr std::string_view kDefaultPadPlugin = "padJoy.dll";
inline constexpr std::string_view kDefaultAdripsxSpuPlugin = "spuPeopsDSound.dll";
inline constexpr std::string_view kDefaultAdripsxCdrPlugin = "cdrMooby2.dll";

class CProfileProperties {
public:
    std::string Description = " ";
    std::string BitmapFile = " ";

    template <typename V>
    void VisitFields(V& v) {
        v.Text("Description", Description);
        v.Text("BitmapFile", BitmapFile);
    }
};

class _EPSXEDATA {
public:
    static constexpr EmulatorKind kKind = EmulatorKind::Epsxe;
    explicit _EPSXEDATA(const SettingsStore& settings);

    std::string EmulatorTag = "EP";
    std::uint8_t SoundEnabled = 1;
    std::uint8_t MdecXa = 1;
    std::uint8_t SoundXARead = 1;
    std::uint8_t SoundSpuIrq = 0;
    std::uint8_t DVOEnableGui = 1;
    std::uint8_t SoundCDDA = 1;
    std::uint8_t AccurateCdrTiming = 0;
    std::uint8_t AutoPpfLoad = 1;
    std::uint8_t NoCdrParamOverwrite = 0;
    std::uint8_t SubchannelCaching = 0;
    std::uint8_t SubchannelCachingLG = 0;
    std::uint8_t SubchannelCdromEnabled = 1;
    std::uint8_t SioIrq = 0;
    std::string VideoPlugin;
    std::string SoundPlugin;
    std::string CdromPlugin;
    std::string Memcard1;
    std::string Memcard2;
    std::string Country = "Autodetect";
    std::string DVOCommandLine;
    std::string BiosName;
    std::string CdromLetter = "First";
    CProfileProperties Properties;

    template <typename V>
    void VisitFields(V& v) {
        v.Text("EmulatorTag", EmulatorTag);
        v.Flag("SoundEnabled", SoundEnabled);
        v.Flag("MdecXa", MdecXa);
        v.Flag("SoundXARead", SoundXARead);
        v.Flag("SoundSpuIrq", SoundSpuIrq);
        v.Flag("DVOEnableGui", DVOEnableGui);
        v.Flag("SoundCDDA", SoundCDDA);
        v.Flag("AccurateCdrTiming", AccurateCdrTiming);
        v.Flag("AutoPpfLoad", AutoPpfLoad);
        v.Flag("SioIrq", SioIrq);
        v.Text("CdromLetter", CdromLetter);
        v.Text("Country", Country);
        v.Text("DVOCommandLine", DVOCommandLine);
        v.Text("BiosName", BiosName);
        v.Text("VideoPlugin", VideoPlugin);
        v.Text("SoundPlugin", SoundPlugin);
        v.Text("CdromPlugin", CdromPlugin);
        v.Text("Memcard1", Memcard1);
        v.Text("Memcard2", Memcard2);
        // The file holds AutoPpfLoad a second time; on reading this copy wins.
        v.Flag("AutoPpfLoad", AutoPpfLoad);
        v.Flag("NoCdrParamOverwrite", NoCdrParamOverwrite);
        v.Flag("SubchannelCachingLG", SubchannelCachingLG);
        v.Flag("SubchannelCaching", SubchannelCaching);
        v.Flag("SubchannelCdromEnabled", SubchannelCdromEnabled);
        Properties.VisitFields(v);
    }
};

class _FPSEDATA {
public:
    static constexpr EmulatorKind kKind = EmulatorKind::Fpse;
    explicit _FPSEDATA(const SettingsStore& settings);

    std::string EmulatorTag = "FP";
    std::uint8_t CDUseCache = 1;
    std::uint8_t ShowGenCode = 0;
    std::uint8_t CpuMode2 = 0;
    std::uint8_t DisableEngines = 0;
    std::uint8_t MDEC_bw = 0;
    std::uint8_t UseOtherMDEC = 0;
    std::uint8_t AutoSpeed = 1;
    std::uint8_t DisableLogo = 0;
    std::uint8_t EnableHLE = 0;
    std::uint8_t EmuConsole = 0;
    std::uint8_t CpuMode = 0;
    std::uint8_t SpareFlag1 = 0;
    std::uint8_t SpareFlag2 = 0;
    std::uint8_t SpareFlag3 = 0;
    std::uint8_t IrqEnable = 0;
    std::int32_t CDCacheSize = 128;
    std::int32_t CDStreamSpeed = 0;
    std::string GpuPlugin = "FgpuPeopsSoft.dll";
    std::string SpuPlugin = "FSPUNULL.DLL";
    std::string CdrPlugin = "FCDNULL.DLL";
    std::string CommandLine;
    std::string CDCountry = "United States";
    std::string BiosName = "SCPH1001.BIN";
    std::string MemCard1;
    std::string MemCard2;
    std::string LasPAD1 = "JOY0KEY.DLL";
    std::string LasPAD2 = "JOY1KEY.DLL";
    CProfileProperties Properties;

    template <typename V>
    void VisitFields(V& v) {
        v.Text("EmulatorTag", EmulatorTag);
        v.Flag("CDUseCache", CDUseCache);
        v.Flag("ShowGenCode", ShowGenCode);
        v.Flag("CpuMode2", CpuMode2);
        v.Flag("DisableEngines", DisableEngines);
        v.Flag("MDEC_bw", MDEC_bw);
        v.Flag("UseOtherMDEC", UseOtherMDEC);
        v.Flag("AutoSpeed", AutoSpeed);
        v.Flag("DisableLogo", DisableLogo);
        v.Flag("EnableHLE", EnableHLE);
        v.Flag("SpareFlag1", SpareFlag1);
        v.Flag("SpareFlag2", SpareFlag2);
        v.Flag("SpareFlag3", SpareFlag3);
        v.Flag("IrqEnable", IrqEnable);
        v.Flag("EmuConsole", EmuConsole);
        v.Flag("CpuMode", CpuMode);
        v.Int("CDCacheSize", CDCacheSize);
        v.Int("CDStreamSpeed", CDStreamSpeed);
        v.Text("CommandLine", CommandLine);
        v.Text("CDCountry", CDCountry);
        v.Text("BiosName", BiosName);
        v.Text("MemCard1", MemCard1);
        v.Text("MemCard2", MemCard2);
        v.Text("GpuPlugin", GpuPlugin);
        v.Text("SpuPlugin", SpuPlugin);
        v.Text("CdrPlugin", CdrPlugin);
        v.Text("LasPAD1", LasPAD1);
        v.Text("LasPAD2", LasPAD2);
        Properties.VisitFields(v);
    }
};

class _PSINEXDATA {
public:
    static constexpr EmulatorKind kKind = EmulatorKind::Psinex;
    explicit _PSINEXDATA(const SettingsStore& settings);

    std::int32_t CpuMode = 0;
    std::uint8_t Mdec = 1;
    std::uint8_t SpuIrq = 1;
    std::string Bios;
    std::string MemCard1;
    std::string MemCard2;
    std::string Controls{kDefaultPadPlugin};
    std::string Graphics;
    std::string Sound;
    std::string CdRom;
    CProfileProperties Properties;

    template <typename V>
    void VisitFields(V& v) {
        v.Flag("Mdec", Mdec);
        v.Int("CpuMode", CpuMode);
        v.Text("Bios", Bios);
        v.Flag("SpuIrq", SpuIrq);
        v.Text("MemCard1", MemCard1);
        v.Text("MemCard2", MemCard2);
        v.Text("Controls", Controls);
        v.Text("Graphics", Graphics);
        v.Text("Sound", Sound);
        v.Text("CdRom", CdRom);
        Properties.VisitFields(v);
    }
};

class _ADRIPSXDATA {
public:
    static constexpr EmulatorKind kKind = EmulatorKind::Adripsx;
    explicit _ADRIPSXDATA(const SettingsStore& settings);

    std::int32_t CPUtype = 0;
    std::uint8_t ADPCMenable = 1;
    std::uint8_t CDAenable = 1;
    std::uint8_t CDDEC = 1;
    std::uint8_t XAenable = 1;
    std::uint8_t EnableHLE = 1;
    std::string Memcard1;
    std::string Memcard2;
    std::string PADplugin{kDefaultPadPlugin};
    std::string GPUplugin = "gpuPeopsSoft.dll";
    std::string SPUplugin{kDefaultAdripsxSpuPlugin};
    std::string CDRplugin{kDefaultAdripsxCdrPlugin};
    std::string BIOSfile;
    CProfileProperties Properties;

    template <typename V>
    void VisitFields(V& v) {
        v.Int("CPUtype", CPUtype);
        v.Flag("ADPCMenable", ADPCMenable);
        v.Flag("CDAenable", CDAenable);
        v.Flag("CDDEC", CDDEC);
        v.Flag("XAenable", XAenable);
        v.Flag("EnableHLE", EnableHLE);
        v.Text("BIOSfile", BIOSfile);
        v.Text("PADplugin", PADplugin);
        v.Text("Memcard1", Memcard1);
        v.Text("Memcard2", Memcard2);
        v.Text("GPUplugin", GPUplugin);
        v.Text("SPUplugin", SPUplugin);
        v.Text("CDRplugin", CDRplugin);
        Properties.VisitFields(v);
    }
};

class _PCSXDATA {
public:
    static constexpr EmulatorKind kKind = EmulatorKind::Pcsx;
    explicit _PCSXDATA(const SettingsStore& settings);

    std::int32_t Cpu = 0;
    std::uint8_t Cdda = 1;
    std::uint8_t PsxOut = 0;
    std::uint8_t Mdec = 1;
    std::uint8_t QKeys = 1;
    std::uint8_t Xa = 1;
    std::uint8_t Sio = 0;
    std::uint8_t SpuIrq = 0;
    std::string Pad1{kDefaultPadPlugin};
    std::string Pad2{kDefaultPadPlugin};
    std::string Mcd1;
    std::string Mcd2;
    std::string Country = "Autodetect";
    std::string Bios = "USE HLE BIOS";
    std::string Gpu;
    std::string Spu;
    std::string Cdr;
    std::uint8_t CdTiming = 0;
    std::uint8_t RcntFix = 0;
    CProfileProperties Properties;

    template <typename V>
    void VisitFields(V& v) {
        v.Flag("Cdda", Cdda);
        v.Flag("PsxOut", PsxOut);
        v.Flag("Mdec", Mdec);
        v.Flag("QKeys", QKeys);
        v.Flag("Xa", Xa);
        v.Flag("Sio", Sio);
        v.Flag("SpuIrq", SpuIrq);
        v.Int("Cpu", Cpu);
        v.Text("Country", Country);
        v.Text("Bios", Bios);
        v.Text("Pad1", Pad1);
        v.Text("Pad2", Pad2);
        v.Text("Mcd1", Mcd1);
        v.Text("Mcd2", Mcd2);
        v.Text("Gpu", Gpu);
        v.Text("Spu", Spu);
        v.Text("Cdr", Cdr);
        Properties.VisitFields(v);
        // The two fixes came later and follow the properties in the file.
        v.Flag("CdTiming", CdTiming);
        v.Flag("RcntFix", RcntFix);
    }
};

// A record of any kind, for code that handles every kind alike (lists, the
// command line). Pages and writers hold the concrete type.
using AnyProfileRecord = std::variant<_EPSXEDATA, _FPSEDATA, _PSINEXDATA, _ADRIPSXDATA, _PCSXDATA>;
AnyProfileRecord MakeDefaultRecord(EmulatorKind kind, const SettingsStore& settings);
CProfileProperties& PropertiesOf(AnyProfileRecord& record);
inline EmulatorKind KindOf(const AnyProfileRecord& record) {
    return std::visit([](const auto& r) { return r.kKind; }, record);
}

// Writes or reads a record in its file layout. Storing appends the trailer;
// loading stops after the last field and ignores whatever follows.
template <typename Record>
void Serialize(Record& record, ProfileArchive& archive);

}  // namespace dravolo
