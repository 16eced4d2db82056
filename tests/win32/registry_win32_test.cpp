// The registry backend against the Win32 registry itself: every value type,
// the ANSI <-> UTF-16 conversion the A-functions do, names without case, tree
// deletes, and the 32-bit view HKEY_LOCAL_MACHINE has for the emulators.

#include <gtest/gtest.h>

#include <windows.h>

#include "common/platform/registry.h"
#include "frontend/core/settings_store.h"
#include "frontend/launch/config_writers.h"
#include "tests/support/memory_registry.h"
#include "tests/support/prefix_fixture.h"

namespace dravolo {
namespace {

constexpr auto HKCU = RegRoot::CurrentUser;
constexpr auto HKLM = RegRoot::LocalMachine;
constexpr const char* kTestKey = "Software\\DravoloWin32Test";

class Win32Registry : public test::PrefixFixture {
protected:
    void SetUp() override {
        test::PrefixFixture::SetUp();
        reg = OpenSystemRegistry();
    }
    std::unique_ptr<Registry> reg;
};

// The same value read past our interface, as a Unicode program sees it.
std::wstring ReadWide(HKEY root, const char* key, const wchar_t* name) {
    HKEY h = nullptr;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return L"<no key>";
    wchar_t buffer[256] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t), type = 0;
    const LONG rc = RegQueryValueExW(h, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(h);
    return rc == ERROR_SUCCESS ? std::wstring(buffer) : L"<no value>";
}

TEST_F(Win32Registry, EveryTypeRoundTripsAndStringsAreStoredAsUnicode) {
    const Bytes multi = {'C', ':', '\\', 'a', 0, 'D', ':', '\\', 0xE9, 0, 0};
    const std::vector<RegValue> values = {
        {"none", kRegNone, {1, 2}},
        {"sz", kRegSz, RegSzData("Caf\xE9 \x80 \"q\"")},
        {"expand", kRegExpandSz, RegSzData("%WINDIR%\\x")},
        {"binary", kRegBinary, {0, 0xFF, 0x10, 0}},
        {"dword", kRegDword, RegDwordData(0x1A2B3C4D)},
        {"bigendian", kRegDwordBigEndian, {0x12, 0x34, 0x56, 0x78}},
        {"multi", kRegMultiSz, multi},
        {"resources", kRegResourceList, {9, 8, 7}},
        {"qword", kRegQword, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"", kRegSz, RegSzData("default")},
        {"empty", kRegBinary, {}},
    };
    RegBatch batch;
    for (const auto& v : values) batch.SetValue(HKCU, kTestKey, v.name, v.type, v.data);
    ASSERT_TRUE(reg->Commit(batch));

    for (const auto& v : values) {
        const auto got = reg->QueryValue(HKCU, kTestKey, v.name);
        ASSERT_TRUE(got) << v.name;
        EXPECT_EQ(got->type, v.type) << v.name;
        EXPECT_EQ(got->data, v.data) << v.name;
    }
    const auto listed = reg->EnumValues(HKCU, kTestKey);
    ASSERT_TRUE(listed);
    ASSERT_EQ(listed->size(), values.size());
    for (const auto& v : *listed) EXPECT_EQ(reg->QueryValue(HKCU, kTestKey, v.name)->data, v.data) << v.name;
    EXPECT_EQ(reg->QueryDword(HKCU, kTestKey, "dword"), 0x1A2B3C4Du);

    // Windows-1252 in, UTF-16 stored: what a Unicode plugin reads.
    if (GetACP() == 1252) {
        EXPECT_EQ(ReadWide(HKEY_CURRENT_USER, kTestKey, L"sz"), L"Caf\u00E9 \u20AC \"q\"");
    }
    EXPECT_EQ(reg->QueryValue(HKCU, kTestKey, "missing"), std::nullopt);
    EXPECT_EQ(reg->QueryValue(HKCU, "Software\\NoSuchKeyHere", "sz"), std::nullopt);
    EXPECT_EQ(reg->EnumValues(HKCU, "Software\\NoSuchKeyHere"), std::nullopt);
}

TEST_F(Win32Registry, NamesIgnoreCaseAndKeepTheCaseTheyWereCreatedWith) {
    const std::string key = std::string(kTestKey) + "\\MixedCase";
    ASSERT_TRUE(reg->SetString(HKCU, key, "ValueName", "one"));
    EXPECT_EQ(reg->QueryString(HKCU, "SOFTWARE\\dravolowin32test\\mixedcase", "VALUENAME"), "one");
    ASSERT_TRUE(reg->SetString(HKCU, "software\\DRAVOLOWIN32TEST\\MIXEDCASE", "valuename", "two"));
    EXPECT_EQ(reg->EnumSubkeys(HKCU, kTestKey), std::vector<std::string>{"MixedCase"});
    const auto values = reg->EnumValues(HKCU, key);
    ASSERT_TRUE(values);
    ASSERT_EQ(values->size(), 1u);
    EXPECT_EQ((*values)[0].name, "ValueName");
    EXPECT_EQ(RegDataAsText((*values)[0].data), "two");
    EXPECT_TRUE(reg->DeleteValue(HKCU, key, "VALUENAME"));
    EXPECT_EQ(reg->EnumValues(HKCU, key)->size(), 0u);
    EXPECT_TRUE(reg->DeleteValue(HKCU, key, "VALUENAME"));  // already gone: no error
}

TEST_F(Win32Registry, DeleteTreeTakesEverythingBelowAndNothingBeside) {
    const std::string top = std::string(kTestKey) + "\\Tree";
    RegBatch batch;
    for (const char* sub : {"\\a\\b\\c", "\\a\\b2", "\\a", "\\z"}) batch.SetString(HKCU, top + sub, "v", sub);
    batch.SetString(HKCU, std::string(kTestKey) + "\\Beside", "v", "kept");
    ASSERT_TRUE(reg->Commit(batch));

    EXPECT_TRUE(reg->DeleteTree(HKCU, top + "\\A\\"));  // other case, trailing backslash
    EXPECT_FALSE(reg->KeyExists(HKCU, top + "\\a"));
    EXPECT_FALSE(reg->KeyExists(HKCU, top + "\\a\\b\\c"));
    EXPECT_EQ(reg->EnumSubkeys(HKCU, top), std::vector<std::string>{"z"});
    EXPECT_TRUE(reg->DeleteTree(HKCU, top));
    EXPECT_FALSE(reg->KeyExists(HKCU, top));
    EXPECT_EQ(reg->QueryString(HKCU, std::string(kTestKey) + "\\Beside", "v"), "kept");
    EXPECT_TRUE(reg->DeleteTree(HKCU, top));  // missing: not an error

    // A root's whole tree is refused, and nothing of the batch is applied.
    RegBatch refused;
    refused.SetString(HKCU, kTestKey, "before", "x");
    refused.DeleteTree(HKCU, "\\");
    EXPECT_FALSE(reg->Commit(refused));
    EXPECT_EQ(reg->QueryString(HKCU, kTestKey, "before"), std::nullopt);
    EXPECT_FALSE(reg->DeleteTree(HKCU, ""));
    EXPECT_TRUE(reg->KeyExists(HKCU, "Software"));
}

TEST_F(Win32Registry, AdripsxKeyGoesToTheViewA32BitAdripsxReads) {
    test::MemoryRegistry settingsRegistry;
    const SettingsStore settings(settingsRegistry);
    _ADRIPSXDATA record(settings);
    record.GPUplugin = "gpuTest.dll";
    record.BIOSfile = "scph1001.bin";
    ASSERT_TRUE(reg->Commit(AdripsxConfigBatch(record)));

    EXPECT_EQ(reg->QueryString(HKLM, kAdripsxConfigKey, "GPUplugin"), "Plugins\\gpuTest.dll");
    EXPECT_EQ(reg->QueryString(HKLM, "SOFTWARE\\ADRIPSX", "biosfile"), "scph1001.bin");
    EXPECT_EQ(reg->QueryDword(HKLM, kAdripsxConfigKey, "MULTITASK"), 1u);

    // Read past our interface the way a 32-bit emulator opens it.
    HKEY h = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Adripsx", 0, KEY_READ | KEY_WOW64_32KEY, &h), ERROR_SUCCESS);
    char text[64] = {};
    DWORD size = sizeof text - 1, type = 0;
    EXPECT_EQ(RegQueryValueExA(h, "GPUplugin", nullptr, &type, reinterpret_cast<BYTE*>(text), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(text, "Plugins\\gpuTest.dll");
    RegCloseKey(h);
#ifdef _WIN64
    // Not in the 64-bit view, where the 32-bit emulator would never look.
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Adripsx", 0, KEY_READ | KEY_WOW64_64KEY, &h), ERROR_SUCCESS);
#endif

    EXPECT_TRUE(reg->DeleteTree(HKLM, kAdripsxConfigKey));
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Adripsx", 0, KEY_READ | KEY_WOW64_32KEY, &h), ERROR_SUCCESS);
}

}  // namespace
}  // namespace dravolo
