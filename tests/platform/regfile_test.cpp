// regedit files: our export is byte-identical to Wine's regedit for the same
// keys, and we import what Wine's regedit and REGEDIT4 writers produce.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "common/base/text.h"
#include "common/platform/posix/hive_registry.h"
#include "common/platform/regfile.h"
#include "tests/support/prefix_fixture.h"

namespace dravolo {
namespace {

constexpr RegRoot HKCU = RegRoot::CurrentUser;
constexpr RegRoot HKLM = RegRoot::LocalMachine;

std::string ReadData(const std::string& name) {
    std::ifstream in(std::string(DRAVOLO_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::span<const std::uint8_t> Span(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

class RegFileTest : public test::PrefixFixture {};

#ifndef _WIN32  // seeded through the prefix's hive file; on Windows the next test covers the export
TEST_F(RegFileTest, ExportMatchesWinesRegeditByteForByte) {
    // The hive Wine wrote, plus the two things it held when it exported.
    WriteHostFile(prefix() + "/user.reg", ReadData("wine_user.reg"));
    auto reg = OpenSystemRegistry();
    Bytes longData;
    for (int i = 0; i < 100; ++i) longData.push_back(static_cast<std::uint8_t>(i));
    RegBatch batch;
    batch.SetValue(HKCU, "Software\\epsxe\\config", "Long", kRegBinary, longData);
    batch.SetString(HKCU, "Software\\epsxe\\config\\deep\\er", "x", "y");
    ASSERT_TRUE(reg->Commit(batch));

    auto exported = ExportRegistryKey(*reg, HKCU, "Software\\epsxe");
    ASSERT_TRUE(exported.has_value());
    const std::string wine = ReadData("wine_export.reg");
    EXPECT_EQ(std::string(exported->begin(), exported->end()), wine);
    EXPECT_EQ(ExportRegistryKey(*reg, HKCU, "Software\\Missing"), std::nullopt);

    ASSERT_TRUE(ExportRegistryKeyToFile(*reg, HKCU, "Software\\epsxe", "out.reg"));
    EXPECT_EQ(ReadHostFile("out.reg"), wine);
}
#endif

TEST_F(RegFileTest, WinesExportImportsToTheSameValues) {
    auto reg = OpenSystemRegistry();
    ASSERT_EQ(ImportRegistryData(*reg, Span(ReadData("wine_export.reg"))), RegImportResult::Ok);
    const std::string k = "Software\\epsxe\\config";
    EXPECT_EQ(reg->QueryString(HKCU, k, ""), "default");
    EXPECT_EQ(reg->QueryString(HKCU, k, "Name"), "Caf\xe9 \x80 \"q\" back\\slash");
    EXPECT_EQ(reg->QueryDword(HKCU, k, "CPUOverclocking"), 0x1a2bu);
    auto home = reg->QueryValue(HKCU, k, "Home");
    EXPECT_EQ(home->type, kRegExpandSz);
    EXPECT_EQ(home->data, RegSzData("%USERPROFILE%\\epsxe"));
    auto paths = reg->QueryValue(HKCU, k, "Paths");
    EXPECT_EQ(paths->type, kRegMultiSz);
    EXPECT_EQ(std::string(paths->data.begin(), paths->data.end()), std::string("C:\\a\0D:\\b\0\0", 11));
    EXPECT_EQ(reg->QueryValue(HKCU, k, "Long")->data.size(), 100u);
    EXPECT_EQ(reg->QueryValue(HKCU, k + "\\sub", "Big")->type, kRegQword);
    EXPECT_TRUE(reg->KeyExists(HKCU, "Software\\epsxe\\empty"));
    // And exporting what we imported gives Wine's file back.
    auto again = ExportRegistryKey(*reg, HKCU, "Software\\epsxe");
    EXPECT_EQ(std::string(again->begin(), again->end()), ReadData("wine_export.reg"));
}

TEST_F(RegFileTest, ImportsRegedit4AndDeletions) {
    auto reg = OpenSystemRegistry();
    ASSERT_TRUE(reg->SetString(HKCU, "Software\\Gone\\Deep", "v", "1"));
    ASSERT_TRUE(reg->SetString(HKLM, "Software\\Keep", "drop", "1"));
    const std::string file =
        "REGEDIT4\n"
        "\n"
        "; a comment\n"
        "[-HKEY_CURRENT_USER\\Software\\Gone]\n"
        "\"ignored\"=\"values of a deleted key are skipped\"\n"
        "[HKLM\\Software\\Keep]\n"
        "\"drop\"=-\n"
        "@=\"caf\xe9 \x80\"\n"
        "  \"spaced\" = dword:0000001f ; trailing comment\n"
        "\"expand\"=hex(2):25,41,25,00\n"
        "\"wrapped\"=hex:01,02,\\\n"
        "    03,\\\n"
        "  04\n"
        "\"esc\"=\"a\\\\b\\\"c\\nd\"\n";
    ASSERT_EQ(ImportRegistryData(*reg, Span(file)), RegImportResult::Ok);
    EXPECT_FALSE(reg->KeyExists(HKCU, "Software\\Gone"));
    EXPECT_EQ(reg->QueryValue(HKLM, "Software\\Keep", "drop"), std::nullopt);
    EXPECT_EQ(reg->QueryString(HKLM, "Software\\Keep", ""), "caf\xe9 \x80");
    EXPECT_EQ(reg->QueryDword(HKLM, "Software\\Keep", "spaced"), 0x1fu);
    EXPECT_EQ(reg->QueryValue(HKLM, "Software\\Keep", "expand")->data, RegSzData("%A%"));  // ANSI bytes in REGEDIT4
    EXPECT_EQ(reg->QueryValue(HKLM, "Software\\Keep", "wrapped")->data, (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(reg->QueryString(HKLM, "Software\\Keep", "esc"), "a\\b\"c\nd");

    // A 5.00 header without a BOM is read as ANSI, CR LF line ends too.
    const std::string ansi500 =
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\A]\r\n\"v\"=\"\xe9\"\r\n";
    ASSERT_EQ(ImportRegistryData(*reg, Span(ansi500)), RegImportResult::Ok);
    EXPECT_EQ(reg->QueryString(HKCU, "Software\\A", "v"), "\xe9");
}

TEST_F(RegFileTest, AValueNameHoldingHexStillContinuesItsData) {
    // "=hex" inside the quoted name is no data tag: the wrapped data after the
    // name's closing quote still goes on over the next line.
    auto reg = OpenSystemRegistry();
    Bytes data;
    for (std::uint8_t i = 0; i < 40; ++i) data.push_back(i);
    ASSERT_TRUE(reg->SetValue(HKCU, "Software\\Dravolo\\Fuzz", "Mode=hex", kRegBinary, data));
    ASSERT_TRUE(reg->SetDword(HKCU, "Software\\Dravolo\\Fuzz", "Other", 2));
    auto exported = ExportRegistryKey(*reg, HKCU, "Software\\Dravolo\\Fuzz");
    ASSERT_TRUE(exported.has_value());
    const std::string reproducer = ReadData("fuzz/regfile/value-name-holding-hex.reg");
    EXPECT_EQ(std::string(exported->begin(), exported->end()), reproducer);

    ASSERT_TRUE(reg->DeleteTree(HKCU, "Software\\Dravolo"));
    ASSERT_EQ(ImportRegistryData(*reg, Span(reproducer)), RegImportResult::Ok);
    EXPECT_EQ(reg->QueryValue(HKCU, "Software\\Dravolo\\Fuzz", "Mode=hex")->data, data);
    EXPECT_EQ(reg->QueryDword(HKCU, "Software\\Dravolo\\Fuzz", "Other"), 2u);
    // A quoted string whose name holds "=hex" still may not end in a backslash.
    const std::string notContinued = "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\X]\n\"a=hex\"=\"x\\\n\"b\"=\"y\"\n";
    EXPECT_EQ(ImportRegistryData(*reg, Span(notContinued)), RegImportResult::BadFormat);
}

TEST_F(RegFileTest, AFileThatDoesNotParseChangesNothing) {
    auto reg = OpenSystemRegistry();
    ASSERT_TRUE(reg->SetString(HKCU, "Software\\Before", "v", "1"));
    const std::string before = ReadHostFile(prefix() + "/user.reg");
    const std::vector<std::string> bad = {
        "",
        "REGEDIT5\r\n",
        "REGEDIT4\n\"orphan\"=\"value before any key\"\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\X]\n\"a\"=\"1\"\n[HKEY_CLASSES_ROOT\\.txt]\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\X]\n\"a\"=\"unterminated\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\X]\n\"a\"=dword:123456789\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\X]\n\"a\"=hex:zz\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\X]\n\"a\"=hex(7:00\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\X]\n\"a\"=wrong\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\X\n",
        "REGEDIT4\n[-HKEY_CURRENT_USER]\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\X]\nstray text\n",
    };
    for (const std::string& file : bad) {
        EXPECT_EQ(ImportRegistryData(*reg, Span(file)), RegImportResult::BadFormat) << file;
        EXPECT_FALSE(reg->KeyExists(HKCU, "Software\\X")) << file;
    }
    EXPECT_EQ(ReadHostFile(prefix() + "/user.reg"), before);
    EXPECT_EQ(ImportRegistryFile(*reg, "no-such-file.reg"), RegImportResult::CannotRead);
}

TEST_F(RegFileTest, ExportWrapsAndEscapesAsRegedit) {
    auto reg = OpenSystemRegistry();
    RegBatch batch;
    batch.SetString(HKCU, "Software\\W", "line\"s", "a\r\nb\\");
    batch.SetValue(HKCU, "Software\\W", "odd", kRegSz, Bytes{'x'});  // no NUL: kept as hex(1)
    batch.SetValue(HKCU, "Software\\W", "dw3", kRegDword, Bytes{1, 2, 3});
    batch.SetValue(HKCU, "Software\\W", "n", kRegNone, {});
    ASSERT_TRUE(reg->Commit(batch));
    auto bytes = ExportRegistryKey(*reg, HKCU, "Software\\W\\");
    ASSERT_TRUE(bytes.has_value());
    std::u16string text;
    for (std::size_t i = 2; i + 1 < bytes->size(); i += 2)
        text += static_cast<char16_t>((*bytes)[i] | ((*bytes)[i + 1] << 8));
    EXPECT_EQ(Utf16ToUtf8(text),
              "Windows Registry Editor Version 5.00\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\W]\r\n"
              "\"dw3\"=hex(4):01,02,03\r\n"
              "\"line\\\"s\"=\"a\\r\\nb\\\\\"\r\n"
              "\"n\"=hex(0):\r\n"
              "\"odd\"=hex(1):78,00\r\n"
              "\r\n");
    // Which reads back to the same values.
    ASSERT_TRUE(reg->DeleteTree(HKCU, "Software\\W"));
    ASSERT_EQ(ImportRegistryData(*reg, *bytes), RegImportResult::Ok);
    EXPECT_EQ(reg->QueryString(HKCU, "Software\\W", "line\"s"), "a\r\nb\\");
#ifdef _WIN32
    // RegQueryValueExA may add the missing NUL itself (Wine's does).
    EXPECT_EQ(RegDataAsText(reg->QueryValue(HKCU, "Software\\W", "odd")->data), "x");
#else
    EXPECT_EQ(reg->QueryValue(HKCU, "Software\\W", "odd")->data, Bytes{'x'});
#endif
    EXPECT_EQ(reg->QueryValue(HKCU, "Software\\W", "dw3")->data, (Bytes{1, 2, 3}));
}

TEST(RegFileNames, RootsParseBothWays) {
    EXPECT_EQ(ParseRootedKey("HKEY_CURRENT_USER\\Software\\x\\"),
              std::make_pair(RegRoot::CurrentUser, std::string("Software\\x")));
    EXPECT_EQ(ParseRootedKey("hklm\\Software"), std::make_pair(RegRoot::LocalMachine, std::string("Software")));
    EXPECT_EQ(ParseRootedKey("HKEY_LOCAL_MACHINE"), std::make_pair(RegRoot::LocalMachine, std::string()));
    EXPECT_EQ(ParseRootedKey("HKEY_CLASSES_ROOT\\x"), std::nullopt);
    EXPECT_EQ(ParseRootedKey("HKEY_CURRENT_USERX\\x"), std::nullopt);
    EXPECT_EQ(RootedKeyName(RegRoot::CurrentUser, "Software\\x"), "HKEY_CURRENT_USER\\Software\\x");
    EXPECT_EQ(RootedKeyName(RegRoot::LocalMachine, ""), "HKEY_LOCAL_MACHINE");
}

}  // namespace
}  // namespace dravolo
