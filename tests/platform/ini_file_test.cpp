#include <gtest/gtest.h>

#include "common/platform/profile_ini.h"
#include "tests/support/prefix_fixture.h"

namespace dravolo {
namespace {

class IniFile : public test::PrefixFixture {};

TEST_F(IniFile, MissingFileReadsAsDefaultsAndWritingCreatesIt) {
    EXPECT_EQ(GetPrivateProfileString("GPU", "Mode", "dflt", "Epsxe\\none.ini"), "dflt");
    EXPECT_EQ(GetPrivateProfileInt("GPU", "Mode", 7, "Epsxe\\none.ini"), 7);
    EXPECT_TRUE(WritePrivateProfileString("GPU", "Missing", std::nullopt, "Epsxe\\none.ini"));
    EXPECT_FALSE(HostExists("Epsxe/none.ini"));
    ASSERT_TRUE(WritePrivateProfileString("GPU", "Mode", "2", "EPSXE\\New.ini"));
    EXPECT_EQ(ReadHostFile("Epsxe/New.ini"), "[GPU]\r\nMode=2\r\n");
    EXPECT_FALSE(WritePrivateProfileString("GPU", "Mode", "2", "NoDir\\x.ini"));
}

TEST_F(IniFile, WritesGoIntoTheExistingFileWithoutCase) {
    WriteHostFile(driveC() + "/fpse/fpse.ini", "[Plugins]\nGPU=old.dll\n# mine\n");
    ASSERT_TRUE(WritePrivateProfileString("plugins", "gpu", "new.dll", "C:\\FPSE\\FPSE.INI"));
    ASSERT_TRUE(WritePrivateProfileString("plugins", "SPU", "spu.dll", "C:\\FPSE\\FPSE.INI"));
    EXPECT_EQ(ReadHostFile(driveC() + "/fpse/fpse.ini"), "[Plugins]\nGPU=new.dll\n# mine\nSPU=spu.dll\r\n");
    EXPECT_EQ(GetPrivateProfileString("PLUGINS", "Spu", "", "c:\\fpse\\fpse.ini"), "spu.dll");
    ASSERT_TRUE(WritePrivateProfileString("Plugins", "", std::nullopt, "C:\\fpse\\fpse.ini"));
    EXPECT_EQ(ReadHostFile(driveC() + "/fpse/fpse.ini"), "");
}

TEST_F(IniFile, IntegersParseLikeWindows) {
    WriteHostFile("Pcsx/n.ini", "[N]\na= 42\nb=-3\nc=12abc\nd=abc\ne=\nf=\"9\"\ng=4294967297\n");
    const char* f = "Pcsx\\n.ini";
    EXPECT_EQ(GetPrivateProfileInt("N", "a", 0, f), 42);
    EXPECT_EQ(GetPrivateProfileInt("N", "b", 0, f), -3);
    EXPECT_EQ(GetPrivateProfileInt("N", "c", 0, f), 12);
    EXPECT_EQ(GetPrivateProfileInt("N", "d", 5, f), 0);
    EXPECT_EQ(GetPrivateProfileInt("N", "e", 5, f), 5);
    EXPECT_EQ(GetPrivateProfileInt("N", "f", 0, f), 9);
    EXPECT_EQ(GetPrivateProfileInt("N", "g", 0, f), 1);
}

}  // namespace
}  // namespace dravolo
