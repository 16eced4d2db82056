#include <gtest/gtest.h>

#include "common/platform/profile_ini.h"
#include "frontend/core/settings_store.h"
#include "frontend/options/fpse_settings.h"
#include "tests/support/memory_registry.h"
#include "tests/support/prefix_fixture.h"

namespace dravolo {
namespace {

class FpseSettingsFileTest : public test::PrefixFixture {
protected:
    test::MemoryRegistry registry;
    SettingsStore settings{registry};
};

TEST_F(FpseSettingsFileTest, WritesTheKeysFpseReads) {
    _FPSEDATA values(settings);
    values.CDCountry = "Europe";
    values.CpuMode = 0;  // Compiler
    values.CpuMode2 = 1;
    values.UseOtherMDEC = 1;
    values.CDCacheSize = 1024;
    values.CDStreamSpeed = 70;
    values.IrqEnable = 1;
    values.MemCard2.clear();
    values.LasPAD2.clear();
    // Keys of other sections, e.g. a plugin's, stay.
    WriteHostFile("Fpse/Crash.ini", "[TestPlugin]\r\nGPU=kept\r\n[FPSE]\r\nMemCard2=old\r\n");
    const std::string path = FpseSettingsFilePath("Crash");
    EXPECT_EQ(path, ".\\Fpse\\Crash.ini");
    ASSERT_TRUE(WriteFpseSettingsFile(values, path));

    auto get = [&](const char* section, const char* key) {
        return GetPrivateProfileString(section, key, "<none>", path);
    };
    EXPECT_EQ(get("FPSE", "DisclaimerAgree"), "1");
    EXPECT_EQ(get("FPSE", "CDCountry"), "1");
    EXPECT_EQ(get("FPSE", "CpuMode"), "on");
    EXPECT_EQ(get("FPSE", "CpuMode2"), "on");
    EXPECT_EQ(get("FPSE", "ShowGenCode"), "off");
    EXPECT_EQ(get("FPSE", "UseOtherMDEC"), "on");
    EXPECT_EQ(get("FPSE", "AutoSpeed"), "on");
    EXPECT_EQ(get("FPSE", "CDCacheSize"), "1024");
    EXPECT_EQ(get("FPSE", "CDStreamSpeed"), "70");
    EXPECT_EQ(get("FPSE", "BiosName"), "SCPH1001.BIN");
    EXPECT_EQ(get("FPSE", "MemCard1"), "c:\\fpse\\memcards\\mcdslot1.mcd");
    EXPECT_EQ(get("FPSE", "MemCard2"), "old");  // empty texts are not written
    EXPECT_EQ(get("FPSE", "LasPAD1"), "JOY0KEY.DLL");
    EXPECT_EQ(get("FPSE", "LasPAD2"), "<none>");
    EXPECT_EQ(get("SPUPSEMU", "IrqEnable"), "1");
    EXPECT_EQ(get("TestPlugin", "GPU"), "kept");

    values.CpuMode = 1;  // Interpreter
    values.CDCountry = "Mars";
    ASSERT_TRUE(WriteFpseSettingsFile(values, path));
    EXPECT_EQ(get("FPSE", "CpuMode"), "off");
    EXPECT_EQ(get("FPSE", "CDCountry"), "1");  // an unknown country writes nothing
    EXPECT_EQ(FpseCountryNumber("United States"), "0");
    EXPECT_EQ(FpseCountryNumber("Japan"), "2");
}

}  // namespace
}  // namespace dravolo
