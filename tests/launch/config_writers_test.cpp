// The configuration each emulator finds at start-up: registry values with
// their names, types, order and encodings, and the settings files.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "common/platform/profile_ini.h"
#include "common/psemu/settings_file.h"
#include "frontend/launch/config_writers.h"
#include "tests/launch/launch_fixture.h"

namespace dravolo {
namespace {

constexpr auto HKCU = RegRoot::CurrentUser;
constexpr auto HKLM = RegRoot::LocalMachine;

class Writers : public test::LaunchFixture {
protected:
    void TearDown() override {
        OverrideWindowsFamily(std::nullopt);
        test::LaunchFixture::TearDown();
    }
    bool Write(EmulatorKind kind, const std::string& name) {
        return WriteEmulatorConfig(ProfilePath(kind, name), kind, registry(), settings(), prompter);
    }
};

TEST_F(Writers, EpsxeWritesEveryValueAsTextInOrderOnNt) {
    OverrideWindowsFamily(WindowsFamily::NT);
    _EPSXEDATA r(settings());
    r.VideoPlugin = "gpuTest.dll";
    r.SoundPlugin = "spuTest.dll";
    r.CdromPlugin = "cdrTest.dll";
    r.BiosName = "bios\\scph1001.bin";
    r.SoundEnabled = 0;
    r.SubchannelCaching = 1;
    r.DVOCommandLine = "-slowboot";
    r.DVOEnableGui = 0;
    SaveProfile("Crash", r);
    registry().SetString(HKCU, kEpsxeConfigKey, "SubchannelW9xCaching", "7");

    ASSERT_TRUE(Write(EmulatorKind::Epsxe, "Crash"));
    const std::vector<std::string> expected = {"SubchannelW9xCaching",
                                               "VideoPlugin",
                                               "SoundPlugin",
                                               "CdromPlugin",
                                               "BiosName",
                                               "Memcard1",
                                               "Memcard2",
                                               "SoundEnabled",
                                               "SoundXA",
                                               "SoundXARead",
                                               "SoundCDDA",
                                               "SoundSpuIrq",
                                               "SubchannelW2KCaching",
                                               "SubchannelW2KCachingLG",
                                               "SubchannelW2KCdromEnabled",
                                               "AutoPpfLoad",
                                               "CdromLetter",
                                               "Country",
                                               "DVOCommandLine",
                                               "DVOEnableGui"};
    EXPECT_EQ(ValueNames(HKCU, kEpsxeConfigKey), expected);
    EXPECT_EQ(String(HKCU, kEpsxeConfigKey, "VideoPlugin"), "gpuTest.dll");
    EXPECT_EQ(String(HKCU, kEpsxeConfigKey, "BiosName"), "bios\\scph1001.bin");
    EXPECT_EQ(String(HKCU, kEpsxeConfigKey, "Memcard1"), r.Memcard1);
    EXPECT_EQ(String(HKCU, kEpsxeConfigKey, "SoundEnabled"), "0");
    EXPECT_EQ(String(HKCU, kEpsxeConfigKey, "SoundXA"), "1");
    EXPECT_EQ(String(HKCU, kEpsxeConfigKey, "SubchannelW2KCaching"), "1");
    EXPECT_EQ(String(HKCU, kEpsxeConfigKey, "SubchannelW2KCdromEnabled"), "1");
    EXPECT_EQ(String(HKCU, kEpsxeConfigKey, "SubchannelW9xCaching"), "7");  // the other family's stays
    EXPECT_EQ(String(HKCU, kEpsxeConfigKey, "AutoPpfLoad"), "0");
    EXPECT_EQ(String(HKCU, kEpsxeConfigKey, "CdromLetter"), "0");
    EXPECT_EQ(String(HKCU, kEpsxeConfigKey, "Country"), "255");
    EXPECT_EQ(String(HKCU, kEpsxeConfigKey, "DVOCommandLine"), "-slowboot");
    EXPECT_EQ(String(HKCU, kEpsxeConfigKey, "DVOEnableGui"), "0");
    // One batch: the hive is rewritten once per launch.
    EXPECT_EQ(static_cast<test::MemoryRegistry&>(registry()).commits, 2);
}

TEST_F(Writers, EpsxeOn9xWritesOnlyThe9xNames) {
    _EPSXEDATA r(settings());
    r.SubchannelCachingLG = 1;
    const RegBatch batch = EpsxeConfigBatch(r, WindowsFamily::Win9x);
    std::vector<std::string> subchannel;
    for (const auto& c : batch.changes())
        if (c.value.name.starts_with("Subchannel")) subchannel.push_back(c.value.name);
    EXPECT_EQ(subchannel, (std::vector<std::string>{"SubchannelW9xCaching", "SubchannelW9xCachingLG",
                                                    "SubchannelW9xCdromEnabled"}));
}

TEST_F(Writers, EpsxeLetterCountryAndPpfRulesAreExact) {
    struct Case {
        std::string letter, country;
        std::uint8_t ppf;
        std::string wantLetter, wantCountry, wantPpf;
    };
    const std::vector<Case> cases = {
        {"E:", "PAL", 0, "69", "1", "255"},          {"D:", "NTSC", 1, "68", "0", "0"},
        {"first", "ntsc", 1, "102", "1", "0"},       {"", "Autodetect", 0, "0", "255", "255"},
        {"\xC9:", "autodetect", 1, "201", "1", "0"},
    };
    for (const auto& c : cases) {
        _EPSXEDATA r(settings());
        r.CdromLetter = c.letter;
        r.Country = c.country;
        r.AutoPpfLoad = c.ppf;
        test::MemoryRegistry reg;
        EXPECT_TRUE(reg.Commit(EpsxeConfigBatch(r, WindowsFamily::NT)));
        EXPECT_EQ(*reg.QueryString(HKCU, kEpsxeConfigKey, "CdromLetter"), c.wantLetter) << c.letter;
        EXPECT_EQ(*reg.QueryString(HKCU, kEpsxeConfigKey, "Country"), c.wantCountry) << c.country;
        EXPECT_EQ(*reg.QueryString(HKCU, kEpsxeConfigKey, "AutoPpfLoad"), c.wantPpf);
    }
}

TEST_F(Writers, PcsxInvertsItsFlagsAndDerivesCountry) {
    _PCSXDATA r(settings());
    r.Gpu = "gpuTest.dll";
    r.Cdda = r.Mdec = r.QKeys = r.Xa = 1;
    r.Country = "PAL";
    r.Cpu = 1;
    r.RcntFix = 1;
    SaveProfile("Ape", r);
    ASSERT_TRUE(Write(EmulatorKind::Pcsx, "Ape"));
    const std::vector<std::string> expected = {
        "Gpu", "Spu",    "Cdr", "Bios",   "Pad1", "Pad2",     "Mcd1",    "Mcd2", "PsxAuto", "PsxType",    "QKeys",
        "Cpu", "PsxOut", "Sio", "SpuIrq", "Mdec", "CdTiming", "RcntFix", "Xa",   "Cdda",    "PluginsDir", "BiosDir"};
    EXPECT_EQ(ValueNames(HKCU, kPcsxConfigKey), expected);
    for (const char* inverted : {"Cdda", "Mdec", "QKeys", "Xa"}) EXPECT_EQ(Dword(HKCU, kPcsxConfigKey, inverted), 0);
    EXPECT_EQ(Dword(HKCU, kPcsxConfigKey, "PsxAuto"), 0);
    EXPECT_EQ(Dword(HKCU, kPcsxConfigKey, "PsxType"), 1);
    EXPECT_EQ(Dword(HKCU, kPcsxConfigKey, "Cpu"), 1);
    EXPECT_EQ(Dword(HKCU, kPcsxConfigKey, "RcntFix"), 1);
    EXPECT_EQ(String(HKCU, kPcsxConfigKey, "Gpu"), "gpuTest.dll");
    EXPECT_EQ(String(HKCU, kPcsxConfigKey, "Bios"), "USE HLE BIOS");
    EXPECT_EQ(String(HKCU, kPcsxConfigKey, "PluginsDir"), "c:\\pcsx\\plugin\\");
    EXPECT_EQ(String(HKCU, kPcsxConfigKey, "BiosDir"), "");

    for (const auto& [country, autoValue, type] :
         std::vector<std::tuple<std::string, int, int>>{{"Autodetect", 1, 1}, {"NTSC", 0, 0}, {"ntsc", 0, 1}}) {
        r.Country = country;
        test::MemoryRegistry reg;
        EXPECT_TRUE(reg.Commit(PcsxConfigBatch(r, "c:\\pcsx\\")));
        EXPECT_EQ(*reg.QueryDword(HKCU, kPcsxConfigKey, "PsxAuto"), static_cast<std::uint32_t>(autoValue));
        EXPECT_EQ(*reg.QueryDword(HKCU, kPcsxConfigKey, "PsxType"), static_cast<std::uint32_t>(type));
    }
}

TEST_F(Writers, AdripsxWritesRegistryAndIniByteForByte) {
    _ADRIPSXDATA r(settings());
    r.EnableHLE = 1;
    r.CPUtype = 2;
    r.XAenable = 0;
    r.BIOSfile = "c:\\adripsx\\bios\\scph1001.bin";
    SaveProfile("Tekken", r);
    ASSERT_TRUE(Write(EmulatorKind::Adripsx, "Tekken"));

    EXPECT_EQ(Dword(HKLM, kAdripsxConfigKey, "NOSTATIC"), 0);
    EXPECT_EQ(Dword(HKLM, kAdripsxConfigKey, "XAenable"), 0);
    EXPECT_EQ(Dword(HKLM, kAdripsxConfigKey, "CPUtype"), 2);
    EXPECT_EQ(String(HKLM, kAdripsxConfigKey, "GPUplugin"), "Plugins\\gpuPeopsSoft.dll");
    EXPECT_EQ(String(HKLM, kAdripsxConfigKey, "AdriAdvance"), "true");
    EXPECT_EQ(ValueNames(HKLM, kAdripsxConfigKey).size(), 19u);
    EXPECT_EQ(ValueNames(HKLM, kAdripsxConfigKey).front(), "ADPCMenable");
    EXPECT_EQ(ValueNames(HKLM, kAdripsxConfigKey).back(), "PADirq");

    const std::string expected =
        "#PSEmuPro Plugins\r\n"
        "GPU= Plugins\\gpuPeopsSoft.dll\r\n"
        "SPU= Plugins\\spuPeopsDSound.dll\r\n"
        "CDR= Plugins\\cdrMooby2.dll\r\n"
        "PAD= Plugins\\padJoy.dll\r\n\r\n"
        "#Sound Options\r\n"
        "ADPCM= 1\r\n"
        "CDXA= 0\r\n"
        "CDDA= 1\r\n\r\n"
        "#Bios Image File\r\n"
        "BIOS=c:\\adripsx\\bios\\scph1001.bin\r\n\r\n"
        "#General Options\r\n"
        "SKIPMOVIES= 0\r\n"
        "CDTYPE= 0\r\n"
        "CDLETTER=  \r\n"
        "CPUTYPE= 2\r\n"
        "RTCIRQ= 1\r\n"
        "MULTITASK= 1\r\n"
        "NOHLE= 0\r\n"
        "NOSTATIC= 0";
    EXPECT_EQ(ReadHostFile(driveC() + "/adripsx/AdriPSX.ini"), expected);
}

TEST_F(Writers, AdripsxStillWritesItsFileWhenTheKeyCannotBeWritten) {
    SaveProfile("Tekken", _ADRIPSXDATA(settings()));
    static_cast<test::MemoryRegistry&>(registry()).failWrites = true;
    ASSERT_TRUE(Write(EmulatorKind::Adripsx, "Tekken"));
    EXPECT_TRUE(ReadHostFile(driveC() + "/adripsx/AdriPSX.ini").ends_with("NOHLE= 0\r\nNOSTATIC= 0"));
}

TEST_F(Writers, AnUnreadableRecordWritesNothing) {
    EXPECT_FALSE(Write(EmulatorKind::Epsxe, "Missing"));
    EXPECT_FALSE(Write(EmulatorKind::Adripsx, "Missing"));
    EXPECT_FALSE(registry().KeyExists(HKCU, kEpsxeConfigKey));
    EXPECT_FALSE(HostExists(driveC() + "/adripsx/AdriPSX.ini"));
    EXPECT_TRUE(Write(EmulatorKind::Fpse, "Missing"));
    EXPECT_TRUE(Write(EmulatorKind::Psinex, "Missing"));
}

TEST_F(Writers, PsinexUpdatesItsEntriesAndKeepsTheRest) {
    const std::string ini = driveC() + "/psinex/psinex pc emulator.ini";
    WriteHostFile(ini, "[GENERAL]\r\nWindowed=1\r\nBIOS=old\r\n[OTHER]\r\nx=y\r\n");
    _PSINEXDATA r(settings());
    r.CpuMode = 1;
    r.Mdec = 1;
    r.SpuIrq = 0;
    r.Bios = "scph1001.bin";
    r.Sound = "spuTest.dll";
    r.MemCard1 = "c:\\psinex\\card1.mcr";
    ASSERT_TRUE(WritePsinexConfig(r, "c:\\psinex\\"));
    const std::string file = "c:\\psinex\\psinex pc emulator.ini";
    EXPECT_EQ(CurrentSettingsFile(), file);
    EXPECT_EQ(GetPrivateProfileString("GENERAL", "Windowed", "", file), "1");
    EXPECT_EQ(GetPrivateProfileString("OTHER", "x", "", file), "y");
    EXPECT_EQ(GetPrivateProfileString("GENERAL", "BIOS", "", file), "scph1001.bin");
    EXPECT_EQ(GetPrivateProfileString("GENERAL", "MDEC", "", file), "True");
    EXPECT_EQ(GetPrivateProfileString("GENERAL", "CPU Mode", "", file), "False");
    EXPECT_EQ(GetPrivateProfileString("GENERAL", "SPU irq", "", file), "False");
    EXPECT_EQ(GetPrivateProfileString("PLUGINS", "Graphics", "", file), "plugins\\");
    EXPECT_EQ(GetPrivateProfileString("PLUGINS", "Sound", "", file), "plugins\\spuTest.dll");
    EXPECT_EQ(GetPrivateProfileString("PLUGINS", "Controls", "", file), "plugins\\padJoy.dll");
    EXPECT_EQ(GetPrivateProfileString("MEMCARDS", "MemCard1", "", file), "c:\\psinex\\card1.mcr");
}

#ifndef _WIN32
// Runs fn where the INI cannot be read: as another user when we are root (who
// reads everything), else with the file's rights taken away. The directory
// stays writable, so only the read can fail. fn's result crosses as the exit
// status.
bool RunWithoutReadRights(const std::string& hostFile, const std::string& treeRoot, const std::function<bool()>& fn) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(treeRoot))
        if (entry.is_directory()) chmod(entry.path().c_str(), 0777);
    chmod(treeRoot.c_str(), 0777);
    chmod(hostFile.c_str(), 0);
    if (geteuid() != 0) return fn();
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
        _exit(fn() ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 2) << "could not drop to another user";
    return WIFEXITED(status) && WEXITSTATUS(status) == 1;
}

TEST_F(Writers, PsinexRefusesAnIniItCannotReadInsteadOfReplacingIt) {
    const std::string ini = driveC() + "/psinex/psinex pc emulator.ini";
    const std::string kept = "[GENERAL]\r\nWindowed=1\r\nFullscreen=0\r\n";
    WriteHostFile(ini, kept);
    _PSINEXDATA r(settings());
    const bool written =
        RunWithoutReadRights(HostPath(ini), root(), [&] { return WritePsinexConfig(r, "c:\\psinex\\"); });
    EXPECT_FALSE(written);
    chmod(HostPath(ini).c_str(), 0644);
    EXPECT_EQ(ReadHostFile(ini), kept);
}
#endif

TEST_F(Writers, FpseCopiesItsIniAndPicksLibrariesByMarker) {
    const std::string fpse = driveC() + "/fpse/";
    WriteHostFile(fpse + "plugin/gpuNative.dll", "native gpu");
    WriteHostFile(fpse + "plugin/GPUPsemu.dll", "bridge gpu");
    WriteHostFile(fpse + "plugin/SPUPsemu.dll", "bridge spu");
    WriteHostFile(fpse + "plugin/FastCd.dll", "native cd");
    WriteHostFile(fpse + "plugin/astCd.dll", "not this one");
    WriteHostFile(fpse + "plugin/JOY0KEY.DLL", "pad 0");
    WriteHostFile(fpse + "SPURend.dll", "old spu");
    _FPSEDATA r(settings());
    r.GpuPlugin = "FgpuNative.dll";
    r.SpuPlugin = "spuTest.dll";
    r.CdrPlugin = "FFastCd.dll";  // the marker, then a name of its own starting with F
    SaveProfile("Wipeout", r);
    WriteHostFile("Fpse/Wipeout.ini", "[CPU]\nMode=1\r\n[GPU]\nPluginName=" + std::string(300, 'x') + "\n");

    ASSERT_TRUE(PrepareFpseFiles("Wipeout", "c:\\fpse\\", settings(), prompter));
    EXPECT_EQ(ReadHostFile(fpse + "FPSE.INI"),
              "[CPU]\r\nMode=1\r\n[GPU]\r\nPluginName=" + std::string(300, 'x') + "\r\n");
    EXPECT_EQ(ReadHostFile(fpse + "GPURend.dll"), "native gpu");
    EXPECT_EQ(ReadHostFile(fpse + "SPURend.dll"), "bridge spu");
    EXPECT_EQ(ReadHostFile(fpse + "CDRend.dll"), "native cd");
    EXPECT_EQ(ReadHostFile(fpse + "JOY0Rend.dll"), "pad 0");
    EXPECT_FALSE(HostExists(fpse + "JOY1Rend.dll"));  // a failed copy is ignored
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(Writers, FpseLeavesItsIniAloneWhenTheProfileCannotBeRead) {
    const std::string fpse = driveC() + "/fpse/";
    WriteHostFile(fpse + "FPSE.INI", "[own]\r\nkept=1\r\n");
    SaveProfile("NoIni", _FPSEDATA(settings()));
    EXPECT_FALSE(PrepareFpseFiles("NoIni", "c:\\fpse\\", settings(), prompter));
    EXPECT_TRUE(prompter.messages.empty());

    // A settings file without its record: FPSE.INI must not be truncated either.
    WriteHostFile("Fpse/NoSet.ini", "[CPU]\r\n");
    EXPECT_FALSE(PrepareFpseFiles("NoSet", "c:\\fpse\\", settings(), prompter));
    EXPECT_EQ(ReadHostFile(fpse + "FPSE.INI"), "[own]\r\nkept=1\r\n");
    EXPECT_EQ(Texts(), std::vector<std::string>{"Cannot Open File."});
}

}  // namespace
}  // namespace dravolo
