// The parts of the Wine bridge that need no Wine: the 32-bit view's key
// mapping and the .reg file a batch becomes.

#include <gtest/gtest.h>

#include "common/platform/posix/hive_access.h"
#include "common/platform/posix/hive_registry.h"
#include "common/platform/posix/wine_bridge.h"
#include "common/platform/regfile.h"

namespace dravolo {
namespace {

constexpr RegRoot HKCU = RegRoot::CurrentUser;
constexpr RegRoot HKLM = RegRoot::LocalMachine;

TEST(WineView, OnlyMachineSoftwareOfA64BitPrefixIsRedirected) {
    const auto p32 = RegistryView::Program32;
    EXPECT_EQ(StorePath(HKLM, "Software\\AdriPSX", "win64", p32), "Software\\Wow6432Node\\AdriPSX");
    EXPECT_EQ(StorePath(HKLM, "SOFTWARE\\a\\b", "win64", p32), "SOFTWARE\\Wow6432Node\\a\\b");
    EXPECT_EQ(StorePath(HKLM, "Software", "win64", p32), "Software\\Wow6432Node");
    EXPECT_EQ(StorePath(HKLM, "\\Software\\x", "win64", p32), "\\Software\\Wow6432Node\\x");
    EXPECT_EQ(StorePath(HKLM, "Software\\wow6432node\\x", "win64", p32), "Software\\wow6432node\\x");
    EXPECT_EQ(StorePath(HKLM, "Software\\Classes\\x", "win64", p32), "Software\\Classes\\x");
    EXPECT_EQ(StorePath(HKLM, "System\\x", "win64", p32), "System\\x");
    EXPECT_EQ(StorePath(HKLM, "Softwarex\\y", "win64", p32), "Softwarex\\y");
    EXPECT_EQ(StorePath(HKCU, "Software\\x", "win64", p32), "Software\\x");
    EXPECT_EQ(StorePath(HKLM, "Software\\x", "win32", p32), "Software\\x");
    EXPECT_EQ(StorePath(HKLM, "Software\\x", "", p32), "Software\\x");
    EXPECT_EQ(StorePath(HKLM, "Software\\x", "win64", RegistryView::Native), "Software\\x");
}

// The generated file, read back by our own importer, does what the batch does
// when applied directly: values of every type, deletes, created keys, in order.
TEST(WineRegFile, ABatchBecomesAFileThatAppliesIt) {
    hive::MemoryHives direct, imported;
    RegBatch setup;
    setup.SetString(HKCU, "Software\\T\\Old", "gone", "1");
    setup.SetString(HKCU, "Software\\T", "dropped", "2");
    setup.SetString(HKCU, "Software\\T", "kept", "3");
    ASSERT_TRUE(direct.Commit(setup));
    ASSERT_TRUE(imported.Commit(setup));

    RegBatch batch;
    batch.DeleteTree(HKCU, "Software\\T\\Old");
    batch.SetString(HKCU, "Software\\T", "", "default \"q\" back\\slash\r\nline");
    batch.SetString(HKCU, "Software\\T", "N\xe4me \x80", "caf\xe9");
    batch.SetValue(HKCU, "Software\\T", "odd", kRegSz, Bytes{'a', 0, 'b'});  // no single terminating NUL
    batch.SetValue(HKCU, "Software\\T", "exp", kRegExpandSz, Bytes{'%', 'x', '%', 0});
    batch.SetValue(HKCU, "Software\\T", "multi", kRegMultiSz, Bytes{'a', 0, 0xe9, 0, 0});
    batch.SetValue(HKCU, "Software\\T", "bin", kRegBinary, Bytes(70, 0xab));
    batch.SetValue(HKCU, "Software\\T", "none", kRegNone, Bytes{});
    batch.SetDword(HKCU, "Software\\T", "dw", 0x01020304);
    batch.SetValue(HKCU, "Software\\T", "shortdw", kRegDword, Bytes{1, 2});
    batch.SetValue(HKCU, "Software\\T", "qw", kRegQword, Bytes{1, 2, 3, 4, 5, 6, 7, 8});
    batch.DeleteValue(HKCU, "Software\\T", "dropped");
    batch.CreateKey(HKCU, "\\Software\\\\T\\Empty\\");
    batch.SetDword(HKLM, "Software\\Wow6432Node\\T", "m", 7);
    batch.SetDword(HKCU, "Software\\T", "after", 1);  // back to an earlier key
    ASSERT_TRUE(direct.Commit(batch));
    const Bytes file = wine::RegFileForChanges(batch.changes());
    ASSERT_EQ(ImportRegistryData(imported, file), RegImportResult::Ok);

    EXPECT_EQ(ExportRegistryKey(imported, HKCU, "Software\\T"), ExportRegistryKey(direct, HKCU, "Software\\T"));
    EXPECT_EQ(imported.QueryDword(HKLM, "Software\\Wow6432Node\\T", "m"), 7u);
    EXPECT_FALSE(imported.KeyExists(HKCU, "Software\\T\\Old"));
    EXPECT_TRUE(imported.KeyExists(HKCU, "Software\\T\\Empty"));
    EXPECT_EQ(imported.QueryValue(HKCU, "Software\\T", "odd")->data, (Bytes{'a', 0, 'b'}));
    // UTF-16LE with a BOM: Wine reads a 5.00 file in any other form as ANSI.
    ASSERT_GE(file.size(), 2u);
    EXPECT_EQ(file[0], 0xFF);
    EXPECT_EQ(file[1], 0xFE);
}

TEST(WineRunner, MissingRunnerAndTimeLimit) {
    EXPECT_TRUE(wine::RunnerCommand("/no/such/wine").empty());
    EXPECT_EQ(wine::RunnerCommand("sh -c")[1], "-c");
    const auto slow =
        wine::RunInPrefix("/tmp", wine::RunnerCommand("sh"), {"-c", "sleep 5"}, std::chrono::milliseconds(100));
    EXPECT_TRUE(slow.started);
    EXPECT_TRUE(slow.timedOut);
    const auto quick = wine::RunInPrefix("/tmp/x y", wine::RunnerCommand("sh"), {"-c", "echo \"$WINEPREFIX\"; exit 3"},
                                         std::chrono::seconds(10));
    EXPECT_EQ(quick.exitCode, 3);
    EXPECT_EQ(quick.output, "/tmp/x y\n");
}

}  // namespace
}  // namespace dravolo
