#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <filesystem>

#include "common/platform/winfs.h"
#include "tests/support/prefix_fixture.h"

namespace dravolo {
namespace {

namespace fs = std::filesystem;

Bytes B(std::string_view s) { return Bytes(s.begin(), s.end()); }

class WinFsFiles : public test::PrefixFixture {
protected:
    // The names in a folder as stored, case and all (a host lookup ignores
    // case on Windows).
    std::vector<std::string> Listing(const std::string& dir) const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(HostPath(dir))) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

// Each failure names the path as the caller wrote it and the system's cause.
TEST_F(WinFsFiles, FailuresCarryThePathAndTheSystemsCause) {
    Error missingFolder;
    EXPECT_FALSE(WriteWholeFileAtomic("Nowhere\\a.set", B("A"), &missingFolder));
    EXPECT_EQ(missingFolder.path, "Nowhere\\a.set");
    EXPECT_NE(missingFolder.code, 0u);
    EXPECT_FALSE(missingFolder.cause.empty());
    EXPECT_NE(missingFolder.cause.back(), '\n');
    EXPECT_EQ(missingFolder.Describe(), "Nowhere\\a.set: " + missingFolder.cause);

    WriteHostFile("Epsxe/a.set", "A");
    WriteHostFile("Epsxe/b.set", "B");
    Error taken;
    EXPECT_FALSE(RenameNoReplace("Epsxe\\a.set", "Epsxe\\b.set", &taken));
    EXPECT_TRUE(taken.IsSet());
    Error gone;
    EXPECT_FALSE(DeleteFileAt("Epsxe\\missing.set", &gone));
    EXPECT_EQ(gone.path, "Epsxe\\missing.set");
    EXPECT_EQ(gone.operation, "delete");
    Error notOpened;
    EXPECT_EQ(WinFile::Open("Epsxe\\missing.set", WinFile::Mode::Read, &notOpened), nullptr);
    EXPECT_EQ(notOpened.code, gone.code);  // the same "not found" either way
    // Success leaves the error alone.
    Error untouched;
    EXPECT_TRUE(WriteWholeFileAtomic("Epsxe\\a.set", B("AA"), &untouched));
    EXPECT_FALSE(untouched.IsSet());
}

TEST_F(WinFsFiles, RenameNeverReplacesAnExistingName) {
    WriteHostFile("Epsxe/a.set", "A");
    WriteHostFile("Epsxe/b.set", "B");
    EXPECT_FALSE(RenameNoReplace("Epsxe\\a.set", "Epsxe\\b.set"));
    EXPECT_FALSE(RenameNoReplace("Epsxe\\a.set", "EPSXE\\B.SET"));  // same name without case
    EXPECT_EQ(ReadHostFile("Epsxe/b.set"), "B");
    EXPECT_TRUE(RenameNoReplace("Epsxe\\a.set", "Fpse\\c.set"));
    EXPECT_FALSE(HostExists("Epsxe/a.set"));
    EXPECT_EQ(ReadHostFile("Fpse/c.set"), "A");
    EXPECT_FALSE(RenameNoReplace("Epsxe\\missing.set", "Fpse\\d.set"));
}

TEST_F(WinFsFiles, RenameMayChangeOnlyTheCase) {
    WriteHostFile("Epsxe/game.set", "G");
    EXPECT_TRUE(RenameNoReplace("Epsxe\\game.set", "Epsxe\\GAME.set"));
    EXPECT_EQ(Listing("Epsxe"), std::vector<std::string>{"GAME.set"});
}

TEST_F(WinFsFiles, RenameMovesDirectories) {
    WriteHostFile("Pcsx/sub/f", "x");
    EXPECT_TRUE(RenameNoReplace("Pcsx\\SUB", "Pcsx\\moved"));
    EXPECT_TRUE(FileExists("Pcsx\\moved\\f"));
    EXPECT_FALSE(RenameNoReplace("Pcsx\\moved", "Epsxe"));
}

TEST_F(WinFsFiles, CopyWithAndWithoutOverwrite) {
    WriteHostFile("Epsxe/src.set", "new");
    WriteHostFile("Epsxe/Dst.set", "old");
    EXPECT_FALSE(CopyFileTo("Epsxe\\src.set", "Epsxe\\dst.set", true));
    EXPECT_EQ(ReadHostFile("Epsxe/Dst.set"), "old");
    EXPECT_TRUE(CopyFileTo("Epsxe\\src.set", "Epsxe\\dst.set", false));
    EXPECT_EQ(ReadHostFile("Epsxe/Dst.set"), "new");  // the existing name is kept
    EXPECT_EQ(Listing("Epsxe"), (std::vector<std::string>{"Dst.set", "src.set"}));
    EXPECT_TRUE(CopyFileTo("Epsxe\\src.set", "Fpse\\fresh.set", true));
    EXPECT_EQ(ReadHostFile("Fpse/fresh.set"), "new");
    EXPECT_FALSE(CopyFileTo("Epsxe\\none.set", "Fpse\\x.set", false));
    EXPECT_FALSE(HostExists("Fpse/x.set"));
    EXPECT_FALSE(CopyFileTo("Epsxe", "Fpse\\dir", false));
    // No temporary files are left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(workdir() + "/Epsxe"), fs::directory_iterator{}), 2);
}

TEST_F(WinFsFiles, AtomicWriteReplacesKeepsModeAndLeavesNoTemp) {
    WriteHostFile("Epsxe/p.ini", "old content");
#ifndef _WIN32  // Windows files have no mode bits
    chmod(HostPath("Epsxe/p.ini").c_str(), 0640);
#endif
    ASSERT_TRUE(WriteWholeFileAtomic("EPSXE\\P.INI", B("new")));
    EXPECT_EQ(ReadHostFile("Epsxe/p.ini"), "new");
#ifndef _WIN32
    struct stat st {};
    ASSERT_EQ(stat(HostPath("Epsxe/p.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
#endif
    EXPECT_EQ(std::distance(fs::directory_iterator(workdir() + "/Epsxe"), fs::directory_iterator{}), 1);

    ASSERT_TRUE(WriteWholeFileAtomic("Epsxe\\created.ini", B("")));
    EXPECT_EQ(FileSize("Epsxe\\created.ini"), 0u);
    EXPECT_FALSE(WriteWholeFileAtomic("NoSuchDir\\x.ini", B("x")));
    EXPECT_FALSE(WriteWholeFileAtomic("Epsxe", B("x")));  // a directory stays one
}

#ifndef _WIN32  // symbolic links need privileges on Windows, and Wine has none
TEST_F(WinFsFiles, AtomicWriteThroughALinkReplacesItsTarget) {
    WriteHostFile("Fpse/real.ini", "a");
    fs::create_symlink(HostPath("Fpse/real.ini"), HostPath("Fpse/link.ini"));
    ASSERT_TRUE(WriteWholeFileAtomic("Fpse\\link.ini", B("b")));
    EXPECT_TRUE(fs::is_symlink(HostPath("Fpse/link.ini")));
    EXPECT_EQ(ReadHostFile("Fpse/real.ini"), "b");
}
#endif

TEST_F(WinFsFiles, ReadWholeFileAndSizes) {
    const std::string big(200000, 'q');
    WriteHostFile("Adripsx/big.bin", big);
    const auto data = ReadWholeFile("adripsx\\BIG.bin");
    ASSERT_TRUE(data);
    EXPECT_EQ(data->size(), big.size());
    EXPECT_EQ(FileSize("Adripsx\\big.bin"), big.size());
    EXPECT_FALSE(ReadWholeFile("Adripsx\\none.bin"));
    EXPECT_FALSE(ReadWholeFile("Adripsx"));
    EXPECT_FALSE(FileSize("Adripsx"));
}

TEST_F(WinFsFiles, DirectoriesOneLevelAtATime) {
    EXPECT_FALSE(CreateDir("Psinex\\a\\b"));
    EXPECT_TRUE(CreateDir("Psinex\\a"));
    EXPECT_FALSE(CreateDir("PSINEX\\A"));
    EXPECT_TRUE(CreateDir("Psinex\\A\\b"));
    EXPECT_TRUE(DirectoryExists("psinex\\a\\B"));
    EXPECT_FALSE(RemoveDir("Psinex\\a"));  // not empty
    EXPECT_FALSE(DeleteFileAt("Psinex\\a\\b"));
    EXPECT_TRUE(RemoveDir("Psinex\\a\\b"));
    WriteHostFile("Psinex/f", "");
    EXPECT_TRUE(DeleteFileAt("PSINEX\\F"));
    EXPECT_FALSE(DeleteFileAt("Psinex\\f"));
}

TEST_F(WinFsFiles, WinFileModes) {
    EXPECT_EQ(WinFile::Open("Epsxe\\card.mcr", WinFile::Mode::Read), nullptr);
    EXPECT_EQ(WinFile::Open("Epsxe\\card.mcr", WinFile::Mode::ReadWrite), nullptr);
    EXPECT_EQ(WinFile::Open("Epsxe", WinFile::Mode::Read), nullptr);
    {
        auto f = WinFile::Open("Epsxe\\card.mcr", WinFile::Mode::CreateNew);
        ASSERT_NE(f, nullptr);
        EXPECT_TRUE(f->Write("0123456789", 10));
        EXPECT_TRUE(f->Flush());
    }
    EXPECT_EQ(WinFile::Open("EPSXE\\CARD.MCR", WinFile::Mode::CreateNew), nullptr);
    {
        // Patched in place: the rest of the file stays.
        auto f = WinFile::Open("Epsxe\\CARD.mcr", WinFile::Mode::ReadWrite);
        ASSERT_NE(f, nullptr);
        EXPECT_TRUE(f->Seek(4));
        EXPECT_TRUE(f->Write("ab", 2));
        EXPECT_EQ(f->Size(), 10u);
        Bytes got;
        EXPECT_TRUE(f->Seek(8));
        EXPECT_TRUE(f->ReadAll(100, got));  // short read at the end is fine
        EXPECT_EQ(got, B("89"));
        EXPECT_TRUE(f->Truncate(6));
        EXPECT_EQ(f->Size(), 6u);
    }
    EXPECT_EQ(ReadHostFile("Epsxe/card.mcr"), "0123ab");
    {
        auto f = WinFile::Open("Epsxe\\card.mcr", WinFile::Mode::CreateAlways);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->Size(), 0u);
    }
    auto ro = WinFile::Open("Epsxe\\card.mcr", WinFile::Mode::Read);
    ASSERT_NE(ro, nullptr);
    EXPECT_FALSE(ro->Write("x", 1));
}

TEST(WinFsText, ToCrLfAddsOnlyMissingCarriageReturns) {
    EXPECT_EQ(ToCrLf("a\nb\r\nc\n\n"), "a\r\nb\r\nc\r\n\r\n");
    EXPECT_EQ(ToCrLf("\n"), "\r\n");
    EXPECT_EQ(ToCrLf("no end\r"), "no end\r");
    EXPECT_EQ(ToCrLf(""), "");
}

}  // namespace
}  // namespace dravolo
