// Windows path -> host path mapping through the prefix.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "common/platform/prefix.h"
#include "common/platform/winfs.h"
#include "tests/support/prefix_fixture.h"

namespace dravolo {
namespace {

namespace fs = std::filesystem;

class WinFsMapping : public test::PrefixFixture {
protected:
    std::string Canon(const std::string& host) const { return fs::weakly_canonical(host).string(); }
};

TEST_F(WinFsMapping, DriveLetterAndEveryComponentResolveWithoutCase) {
    WriteHostFile(driveC() + "/epsxe/memcards/a.mcr", "card");
    EXPECT_EQ(ToHostPath("C:\\EPSXE\\MemCards\\A.MCR"), Canon(driveC() + "/epsxe/memcards/a.mcr"));
    EXPECT_EQ(ToHostPath("c:/epsxe/memcards/a.mcr"), Canon(driveC() + "/epsxe/memcards/a.mcr"));
    EXPECT_TRUE(FileExists("C:\\EPSXE\\MemCards\\A.MCR"));
    EXPECT_FALSE(DirectoryExists("C:\\EPSXE\\MemCards\\A.MCR"));
    EXPECT_TRUE(DirectoryExists("c:\\Epsxe\\MEMCARDS\\"));
}

TEST_F(WinFsMapping, MissingTailIsAppendedAsWritten) {
    EXPECT_EQ(ToHostPath("C:\\EPSXE\\New Dir\\File.TXT"), Canon(driveC()) + "/epsxe/New Dir/File.TXT");
}

TEST_F(WinFsMapping, RelativePathsFollowTheCurrentDirectory) {
    WriteHostFile("Epsxe/crash.set", "x");
    EXPECT_TRUE(FileExists(".\\Epsxe\\Crash.set"));
    EXPECT_TRUE(FileExists("EPSXE\\CRASH.SET"));
    EXPECT_TRUE(FileExists("Fpse\\..\\Epsxe\\.\\crash.set"));
    ASSERT_TRUE(SetCurrentDir("Epsxe"));
    EXPECT_TRUE(FileExists("crash.set"));
    EXPECT_TRUE(FileExists("..\\epsxe\\crash.set"));
}

TEST_F(WinFsMapping, DotDotStopsAtTheDriveRoot) {
    WriteHostFile(driveC() + "/top.txt", "x");
    EXPECT_TRUE(FileExists("C:\\..\\..\\top.txt"));
}

TEST_F(WinFsMapping, TrailingDotsAndBlanksAreDroppedFromNames) {
    WriteHostFile("Epsxe/game", "x");
    EXPECT_TRUE(FileExists("Epsxe\\game."));
    EXPECT_TRUE(FileExists("Epsxe\\game .."));
}

TEST_F(WinFsMapping, HostPathsAreTakenAsTheyAre) {
    WriteHostFile("Pcsx/p.set", "x");
    EXPECT_TRUE(FileExists(workdir() + "/Pcsx/p.set"));
    EXPECT_TRUE(FileExists(workdir() + "/PCSX/P.SET"));
}

TEST_F(WinFsMapping, ReverseMappingGivesDriveCOrZ) {
    fs::create_directories(driveC() + "/epsxe/plugins");
    EXPECT_EQ(ToWindowsPath(driveC() + "/epsxe/plugins"), "C:\\epsxe\\plugins");
    EXPECT_EQ(ToWindowsPath(driveC()), "C:\\");
    EXPECT_EQ(ToWindowsPath("/"), "Z:\\");
    const std::string cwd = GetCurrentDir();
    ASSERT_EQ(cwd.substr(0, 3), "Z:\\");
    EXPECT_EQ(ToHostPath(cwd), Canon(workdir()));
    EXPECT_TRUE(DirectoryExists(cwd + "\\Epsxe"));
}

TEST_F(WinFsMapping, AnsiNamesCrossAsUtf8) {
    WriteHostFile("Epsxe/caf\xC3\xA9.set", "x");    // UTF-8 on disk
    EXPECT_TRUE(FileExists("Epsxe\\caf\xE9.set"));  // cp1252 in the program
    EXPECT_TRUE(FileExists("Epsxe\\CAF\xC9.SET"));  // and without case
    const auto found = FindFiles("Epsxe\\*.set");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].name, "caf\xE9.set");
    EXPECT_EQ(ToWindowsPath(workdir() + "/Epsxe/caf\xC3\xA9.set"), GetCurrentDir() + "\\Epsxe\\caf\xE9.set");
}

// The core's text is ANSI, host paths included (dravolo-cli's arguments, a
// path typed into a field): their names reach the disk as UTF-8 too, while a
// host path already in UTF-8 names the same entries.
TEST_F(WinFsMapping, HostPathsInAnsiNameAndMakeUtf8Entries) {
    const std::string ansiDir = workdir() + "/Jos\xE9";
    ASSERT_TRUE(CreateDir(ansiDir));
    EXPECT_TRUE(fs::is_directory(workdir() + "/Jos\xC3\xA9"));
    const Bytes card{1, 2, 3};
    ASSERT_TRUE(WriteWholeFileAtomic(ansiDir + "/N\xE9.mcr", card));
    EXPECT_TRUE(fs::is_regular_file(workdir() + "/Jos\xC3\xA9/N\xC3\xA9.mcr"));
    EXPECT_EQ(ReadWholeFile(workdir() + "/Jos\xC3\xA9/N\xC3\xA9.mcr"), card);  // UTF-8 host path
    EXPECT_EQ(ReadWholeFile(ansiDir + "/n\xC9.MCR"), card);                    // ANSI, without case
    // A name on disk that is not UTF-8 (from an old Latin-1 system) still opens.
    WriteHostFile("Old/caf\xE9.set", "x");
    EXPECT_TRUE(FileExists(workdir() + "/Old/caf\xE9.set"));
    EXPECT_TRUE(FileExists(workdir() + "/Old/CAF\xC9.SET"));
}

TEST(WinFsPrefix, CreatesWineLayoutWhenMissing) {
    test::TempDir tmp;
    const std::string dir = tmp.path() + "/new/prefix";
    const char* old = std::getenv("DRAVOLO_PREFIX");
    const std::string saved = old ? old : "";
    setenv("DRAVOLO_PREFIX", (dir + "/").c_str(), 1);
    EXPECT_EQ(PrefixDirectory(), dir);
    if (old) setenv("DRAVOLO_PREFIX", saved.c_str(), 1);
    else unsetenv("DRAVOLO_PREFIX");

    EXPECT_TRUE(fs::is_directory(dir + "/drive_c"));
    EXPECT_EQ(fs::read_symlink(dir + "/dosdevices/c:"), "../drive_c");
    EXPECT_EQ(fs::read_symlink(dir + "/dosdevices/z:"), "/");
    // A link the user changed is kept.
    fs::remove(dir + "/dosdevices/z:");
    fs::create_directory_symlink("/tmp", dir + "/dosdevices/z:");
    EXPECT_TRUE(EnsurePrefixLayout(dir));
    EXPECT_EQ(fs::read_symlink(dir + "/dosdevices/z:"), "/tmp");
}

TEST(WinFsPrefix, FallsBackToWinePrefixThenHome) {
    const char* oldD = std::getenv("DRAVOLO_PREFIX");
    const char* oldW = std::getenv("WINEPREFIX");
    const char* oldH = std::getenv("HOME");
    const std::string sd = oldD ? oldD : "", sw = oldW ? oldW : "", sh = oldH ? oldH : "";
    test::TempDir tmp;
    unsetenv("DRAVOLO_PREFIX");
    setenv("WINEPREFIX", (tmp.path() + "/wp").c_str(), 1);
    EXPECT_EQ(PrefixDirectory(), tmp.path() + "/wp");
    unsetenv("WINEPREFIX");
    setenv("HOME", tmp.path().c_str(), 1);
    EXPECT_EQ(PrefixDirectory(), tmp.path() + "/.wine");
    EXPECT_TRUE(fs::is_symlink(tmp.path() + "/.wine/dosdevices/c:"));
    oldD ? setenv("DRAVOLO_PREFIX", sd.c_str(), 1) : unsetenv("DRAVOLO_PREFIX");
    oldW ? setenv("WINEPREFIX", sw.c_str(), 1) : unsetenv("WINEPREFIX");
    oldH ? setenv("HOME", sh.c_str(), 1) : unsetenv("HOME");
}

}  // namespace
}  // namespace dravolo
