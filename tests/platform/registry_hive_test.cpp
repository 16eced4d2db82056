// The registry over a prefix's hive files, seen through the narrow interface.

#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "common/platform/posix/hive_registry.h"
#include "common/platform/registry.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/prefix_fixture.h"

namespace dravolo {
namespace {

constexpr RegRoot HKCU = RegRoot::CurrentUser;
constexpr RegRoot HKLM = RegRoot::LocalMachine;

class RegistryHiveTest : public test::PrefixFixture {
protected:
    std::string UserReg() const { return prefix() + "/user.reg"; }
    std::string SystemReg() const { return prefix() + "/system.reg"; }
};

Bytes Of(std::string_view s) { return Bytes(s.begin(), s.end()); }

TEST_F(RegistryHiveTest, EveryTypeRoundTripsThroughTheNarrowInterface) {
    auto reg = OpenSystemRegistry();
    const std::vector<RegValue> values = {
        {"", kRegSz, RegSzData("default")},
        {"Sz", kRegSz, RegSzData("C:\\epsxe\\\"x\"")},
        {"Expand", kRegExpandSz, RegSzData("%WINDIR%")},
        {"Multi", kRegMultiSz, Of(std::string_view("a\0b\0\0", 5))},
        {"Binary", kRegBinary, {0, 0xff, 0x10}},
        {"Dword", kRegDword, RegDwordData(0xdeadbeef)},
        {"BigEndian", kRegDwordBigEndian, {1, 2, 3, 4}},
        {"Qword", kRegQword, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"None", kRegNone, {}},
        {"NoNul", kRegSz, Of("abc")},  // stored as given, like RegSetValueExA
    };
    RegBatch batch;
    for (const RegValue& v : values) batch.SetValue(HKCU, "Software\\T", v.name, v.type, v.data);
    ASSERT_TRUE(reg->Commit(batch));

    auto fresh = OpenSystemRegistry();  // reads the file, not a cache
    for (const RegValue& v : values) {
        auto got = fresh->QueryValue(HKCU, "Software\\T", v.name);
        ASSERT_TRUE(got.has_value()) << v.name;
        EXPECT_EQ(got->type, v.type) << v.name;
        EXPECT_EQ(got->data, v.data) << v.name;
    }
    EXPECT_EQ(fresh->QueryString(HKCU, "Software\\T", "Sz"), "C:\\epsxe\\\"x\"");
    EXPECT_EQ(fresh->QueryDword(HKCU, "Software\\T", "Dword"), 0xdeadbeefu);
    EXPECT_EQ(fresh->QueryDword(HKCU, "Software\\T", "Sz"), std::nullopt);
    EXPECT_EQ(fresh->QueryString(HKCU, "Software\\T", "Missing"), std::nullopt);
    EXPECT_EQ(fresh->EnumValues(HKCU, "Software\\T")->size(), values.size());
}

TEST_F(RegistryHiveTest, NamesAreCaseInsensitiveAndKeepTheirCase) {
    auto reg = OpenSystemRegistry();
    ASSERT_TRUE(reg->SetString(HKCU, "Software\\ePSXe\\Config", "VideoPlugin", "a.dll"));
    ASSERT_TRUE(reg->SetString(HKCU, "SOFTWARE\\EPSXE\\CONFIG", "VIDEOPLUGIN", "b.dll"));
    EXPECT_EQ(reg->QueryString(HKCU, "software\\epsxe\\config", "videoplugin"), "b.dll");
    auto values = reg->EnumValues(HKCU, "Software\\epsxe\\config");
    ASSERT_EQ(values->size(), 1u);
    EXPECT_EQ((*values)[0].name, "VideoPlugin");
    EXPECT_EQ(reg->EnumSubkeys(HKCU, "software"), (std::vector<std::string>{"ePSXe"}));
    EXPECT_TRUE(reg->KeyExists(HKCU, "Software\\EPSXE"));
    EXPECT_EQ(reg->EnumSubkeys(HKCU, "Software\\Missing"), std::nullopt);
    // Accented names fold too, as in Windows.
    ASSERT_TRUE(reg->SetDword(HKCU, "Software\\\xc9t\xc9", "\xc9", 1));  // ÉtÉ, É
    EXPECT_EQ(reg->QueryDword(HKCU, "software\\\xe9t\xe9", "\xe9"), 1u);
}

TEST_F(RegistryHiveTest, AnsiTextIsStoredAsUnicode) {
    auto reg = OpenSystemRegistry();
    ASSERT_TRUE(reg->SetString(HKCU, "Software\\Caf\xe9", "Pr\xe9\x80", "5 \x80 caf\xe9"));  // é, €
    const std::string file = ReadHostFile(UserReg());
    EXPECT_NE(file.find("[Software\\\\Caf\\xe9]"), std::string::npos) << file;
    EXPECT_NE(file.find("\"Pr\\xe9\\x20ac\"=\"5 \\x20ac caf\\xe9\""), std::string::npos) << file;
    for (char c : file) EXPECT_LT(static_cast<unsigned char>(c), 0x80u);  // escapes, never raw bytes
    EXPECT_EQ(OpenSystemRegistry()->QueryString(HKCU, "Software\\Caf\xe9", "Pr\xe9\x80"), "5 \x80 caf\xe9");
}

TEST_F(RegistryHiveTest, NewHivesGetWinesHeaders) {
    auto reg = OpenSystemRegistry();
    ASSERT_TRUE(reg->SetDword(HKLM, "Software\\X", "v", 1));
    EXPECT_FALSE(HostExists(UserReg()));  // only the hive written is created
    const std::string system = ReadHostFile(SystemReg());
    // Wine's default prefix is 64-bit (a Wine without 32-bit support refuses
    // "win32" hives); a 32-bit program's HKEY_LOCAL_MACHINE\Software is then
    // Wow6432Node.
    EXPECT_EQ(system.rfind("WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n\n"
                           "[Software\\\\Wow6432Node\\\\X] ",
                           0),
              0u)
        << system;
    // The second hive follows the architecture of the first.
    WriteHostFile(SystemReg(), "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win32\n");
    ASSERT_TRUE(reg->SetDword(HKCU, "Software\\X", "v", 1));
    EXPECT_EQ(
        ReadHostFile(UserReg()).rfind(
            "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win32\n",
            0),
        0u);
    EXPECT_FALSE(reg->KeyExists(HKLM, "Software\\X"));  // system.reg was replaced behind our back
}

TEST_F(RegistryHiveTest, DeletesAndBatchSemantics) {
    auto reg = OpenSystemRegistry();
    RegBatch batch;
    batch.CreateKey(HKCU, "Software\\A\\Empty");
    batch.SetString(HKCU, "Software\\A\\B", "x", "1");
    batch.SetString(HKCU, "Software\\A\\B\\C", "y", "2");
    batch.DeleteValue(HKCU, "Software\\A\\B", "x");
    batch.DeleteValue(HKCU, "Software\\Nowhere", "x");  // missing: not an error
    batch.DeleteTree(HKCU, "Software\\Nowhere");
    ASSERT_TRUE(reg->Commit(batch));
    EXPECT_TRUE(reg->KeyExists(HKCU, "Software\\A\\Empty"));
    EXPECT_EQ(reg->QueryValue(HKCU, "Software\\A\\B", "x"), std::nullopt);
    EXPECT_EQ(reg->EnumSubkeys(HKCU, "Software\\A"), (std::vector<std::string>{"B", "Empty"}));

    ASSERT_TRUE(reg->DeleteTree(HKCU, "software\\a\\b"));
    EXPECT_FALSE(reg->KeyExists(HKCU, "Software\\A\\B\\C"));
    EXPECT_TRUE(reg->KeyExists(HKCU, "Software\\A\\Empty"));

    // Deleting a whole hive is refused, and nothing of that batch applies.
    RegBatch wipe;
    wipe.SetString(HKCU, "Software\\A", "z", "3");
    wipe.DeleteTree(HKCU, "");
    EXPECT_FALSE(reg->Commit(wipe));
    EXPECT_EQ(reg->QueryValue(HKCU, "Software\\A", "z"), std::nullopt);
    EXPECT_TRUE(reg->Commit(RegBatch{}));
}

TEST_F(RegistryHiveTest, DamagedHiveIsNeverOverwritten) {
    const std::string damaged = "WINE REGISTRY Version 3\n\n[Software\\\\Keep] 1\n\"v\"=\"1\"\n";
    WriteHostFile(UserReg(), damaged);
    auto reg = OpenSystemRegistry();
    EXPECT_FALSE(reg->KeyExists(HKCU, "Software\\Keep"));
    EXPECT_FALSE(reg->SetString(HKCU, "Software\\New", "v", "x"));
    EXPECT_EQ(ReadHostFile(UserReg()), damaged);
    // The other hive is unaffected, but a batch touching both applies nothing.
    RegBatch both;
    both.SetDword(HKLM, "Software\\M", "v", 1);
    both.SetDword(HKCU, "Software\\U", "v", 1);
    EXPECT_FALSE(reg->Commit(both));
    EXPECT_FALSE(HostExists(SystemReg()));
    EXPECT_TRUE(reg->SetDword(HKLM, "Software\\M", "v", 1));
}

TEST_F(RegistryHiveTest, ABatchIsOneRewriteAndNoChangeIsNone) {
    auto reg = OpenSystemRegistry();
    ASSERT_TRUE(reg->SetDword(HKCU, "Software\\Seed", "v", 0));
    const int fd = inotify_init1(IN_NONBLOCK);
    ASSERT_GE(fd, 0);
    ASSERT_GE(inotify_add_watch(fd, prefix().c_str(), IN_MOVED_TO), 0);
    auto renames = [&] {
        int count = 0;
        alignas(inotify_event) char buf[8192];
        for (ssize_t n; (n = read(fd, buf, sizeof buf)) > 0;)
            for (char* p = buf; p < buf + n; p += sizeof(inotify_event) + reinterpret_cast<inotify_event*>(p)->len)
                if (std::string_view(reinterpret_cast<inotify_event*>(p)->name) == "user.reg") ++count;
        return count;
    };

    RegBatch batch;
    for (int i = 0; i < 500; ++i)
        batch.SetDword(HKCU, "Software\\Many\\K" + std::to_string(i % 7), "v" + std::to_string(i), i);
    ASSERT_TRUE(reg->Commit(batch));
    EXPECT_EQ(renames(), 1);
    // Setting what is already there rewrites nothing.
    ASSERT_TRUE(reg->Commit(batch));
    ASSERT_TRUE(reg->CreateKey(HKCU, "Software\\Many"));
    EXPECT_EQ(renames(), 0);
    close(fd);
}

TEST_F(RegistryHiveTest, TwoWritersNeverLoseEachOthersUpdates) {
    auto a = OpenPrefixRegistry(prefix());
    auto b = OpenPrefixRegistry(prefix());
    // Interleaved on one thread: each must see the other's file change.
    ASSERT_TRUE(a->SetDword(HKCU, "Software\\Shared", "a", 1));
    ASSERT_TRUE(b->SetDword(HKCU, "Software\\Shared", "b", 2));
    ASSERT_TRUE(a->SetDword(HKCU, "Software\\Shared", "c", 3));
    EXPECT_EQ(b->EnumValues(HKCU, "Software\\Shared")->size(), 3u);

    // And from two threads at once.
    constexpr int kEach = 40;
    auto writer = [&](Registry* reg, const char* who) {
        for (int i = 0; i < kEach; ++i) {
            RegBatch batch;
            batch.SetDword(HKCU, "Software\\Shared", std::string(who) + std::to_string(i), i);
            batch.SetDword(HKLM, "Software\\Shared", std::string(who) + std::to_string(i), i);
            EXPECT_TRUE(reg->Commit(batch));
        }
    };
    std::thread ta(writer, a.get(), "ta");
    std::thread tb(writer, b.get(), "tb");
    ta.join();
    tb.join();
    auto check = OpenPrefixRegistry(prefix());
    EXPECT_EQ(check->EnumValues(HKCU, "Software\\Shared")->size(), 3u + 2 * kEach);
    EXPECT_EQ(check->EnumValues(HKLM, "Software\\Shared")->size(), 2u * kEach);
}

// A hive is saved as every other whole file: a user.reg that is a link (to a
// hive kept elsewhere) stays a link and its target gets the change, the file
// keeps its mode, a read-only hive is refused and left alone, and one in a
// folder where no new file can be made is written in place.
TEST_F(RegistryHiveTest, SavesKeepLinksModeAndTheFilesOwnPermission) {
    namespace fs = std::filesystem;
    ASSERT_TRUE(OpenSystemRegistry()->SetString(HKCU, "Software\\T", "First", "1"));
    const std::string shared = root() + "/shared/user.reg";
    fs::create_directories(root() + "/shared");
    fs::rename(UserReg(), shared);
    fs::create_symlink(shared, UserReg());
    ASSERT_EQ(chmod(shared.c_str(), 0600), 0);

    ASSERT_TRUE(OpenSystemRegistry()->SetString(HKCU, "Software\\T", "Second", "2"));
    EXPECT_TRUE(fs::is_symlink(UserReg()));
    EXPECT_EQ(OpenSystemRegistry()->QueryString(HKCU, "Software\\T", "Second"), "2");
    std::ifstream in(shared, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("\"Second\"=\"2\""), std::string::npos) << text;
    EXPECT_EQ(fs::status(shared).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

    // Read-only: refused, unchanged. A folder that refuses new files: in place.
    ASSERT_EQ(chmod(shared.c_str(), 0444), 0);
    bool readOnlySaved = true, inPlaceSaved = false;
    {
        test::ActAsOrdinaryUser user(root());
        readOnlySaved = OpenSystemRegistry()->SetString(HKCU, "Software\\T", "Third", "3");
    }
    EXPECT_FALSE(readOnlySaved);
    std::ifstream again(shared, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(again)), std::istreambuf_iterator<char>()), text);

    ASSERT_EQ(chmod(shared.c_str(), 0644), 0);
    ASSERT_EQ(chmod((root() + "/shared").c_str(), 0555), 0);
    {
        test::ActAsOrdinaryUser user(root());
        inPlaceSaved = OpenSystemRegistry()->SetString(HKCU, "Software\\T", "Fourth", "4");
    }
    chmod((root() + "/shared").c_str(), 0755);
    EXPECT_TRUE(inPlaceSaved);
    EXPECT_EQ(OpenSystemRegistry()->QueryString(HKCU, "Software\\T", "Fourth"), "4");
    EXPECT_EQ(OpenSystemRegistry()->QueryString(HKCU, "Software\\T", "Third"), std::nullopt);
    EXPECT_EQ(std::distance(fs::directory_iterator(root() + "/shared"), fs::directory_iterator{}), 1);
}

// A failed commit says which hive file and keeps errno, also when the file
// cannot even be read (a folder in its place fails for root as well).
TEST_F(RegistryHiveTest, AFailedCommitKeepsTheFileAndErrno) {
    ASSERT_TRUE(OpenSystemRegistry()->SetString(HKCU, "Software\\T", "First", "1"));
    ASSERT_EQ(chmod(UserReg().c_str(), 0444), 0);
    RegBatch batch;
    batch.SetString(HKCU, "Software\\T", "Second", "2");
    Error refused;
    bool saved = true;
    {
        test::ActAsOrdinaryUser user(root());
        saved = OpenSystemRegistry()->Commit(batch, &refused);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(refused.path, UserReg());
    EXPECT_EQ(refused.code, static_cast<unsigned long>(EACCES));
    EXPECT_EQ(refused.Describe(), UserReg() + ": Permission denied");

    std::filesystem::remove(SystemReg());
    std::filesystem::create_directory(SystemReg());
    batch = RegBatch();
    batch.SetDword(HKLM, "Software\\M", "v", 1);
    Error unreadable;
    EXPECT_FALSE(OpenSystemRegistry()->Commit(batch, &unreadable));
    EXPECT_EQ(unreadable.path, SystemReg());
    EXPECT_EQ(unreadable.code, static_cast<unsigned long>(EISDIR));
}

TEST_F(RegistryHiveTest, NoWineServerInAFreshPrefix) { EXPECT_FALSE(WineServerRunning(prefix())); }

}  // namespace
}  // namespace dravolo
