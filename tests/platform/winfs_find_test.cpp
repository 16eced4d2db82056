#include <gtest/gtest.h>

#include <filesystem>

#include "common/platform/winfs.h"
#include "tests/support/prefix_fixture.h"

namespace dravolo {
namespace {

class WinFsFind : public test::PrefixFixture {
protected:
    static std::vector<std::string> Names(const std::vector<FindEntry>& found) {
        std::vector<std::string> out;
        for (const auto& e : found) out.push_back(e.name);
        return out;
    }
};

TEST_F(WinFsFind, MasksSkipDirectoriesUnlessAsked) {
    WriteHostFile(driveC() + "/epsxe/memcards/x.mc", "1");
    WriteHostFile(driveC() + "/epsxe/memcards/y.mcr", "22");
    WriteHostFile(driveC() + "/epsxe/memcards/z.txt", "");
    std::filesystem::create_directories(driveC() + "/epsxe/memcards/dir.mcd");

    const auto files = FindFiles("C:\\EPSXE\\MEMCARDS\\*.mc?");
    EXPECT_EQ(Names(files), (std::vector<std::string>{"x.mc", "y.mcr"}));
    ASSERT_EQ(files.size(), 2u);
    EXPECT_FALSE(files[1].isDirectory);

    EXPECT_EQ(Names(FindFiles("C:\\epsxe\\memcards\\*.mc?", FindWhat::FilesAndDirectories)),
              (std::vector<std::string>{"dir.mcd", "x.mc", "y.mcr"}));
    EXPECT_EQ(Names(FindFiles("C:\\epsxe\\memcards\\*", FindWhat::DirectoriesOnly)),
              (std::vector<std::string>{"dir.mcd"}));
}

TEST_F(WinFsFind, NamesComeInNtfsOrder) {
    // Case-insensitive ordinal: upper-cased bytes compared, so '_' (0x5F) sorts
    // after letters and "b" before "C" whatever the case.
#ifdef _WIN32
    const char* eAcute = "\xE9.set";  // host names are ANSI here
#else
    const char* eAcute = "\xC3\xA9.set";  // and UTF-8 here
#endif
    for (const char* n : {"b.set", "C.set", "a_x.set", "ab.set", "A.set", "Z.set", eAcute})
        WriteHostFile(std::string("Epsxe/") + n, "");
    EXPECT_EQ(Names(FindFiles(".\\Epsxe\\*.set")),
              (std::vector<std::string>{"A.set", "ab.set", "a_x.set", "b.set", "C.set", "Z.set", "\xE9.set"}));
}

TEST_F(WinFsFind, NamesThatAreNotUtf8AreTakenAsAnsi) {
    WriteHostFile("Fpse/\xE9t\xE9.set", "latin1");  // Latin-1 bytes on disk
    const auto found = FindFiles("Fpse\\*.set");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].name, "\xE9t\xE9.set");
    EXPECT_TRUE(FileExists("Fpse\\\xC9T\xC9.SET"));
}

TEST_F(WinFsFind, NoDotEntriesAndNothingForMissingFolders) {
    WriteHostFile("Fpse/only.set", "");
    EXPECT_EQ(Names(FindFiles("Fpse\\*.*", FindWhat::FilesAndDirectories)), (std::vector<std::string>{"only.set"}));
    EXPECT_TRUE(FindFiles("Nowhere\\*.*").empty());
    EXPECT_TRUE(FindFiles("Fpse\\").empty());
}

TEST_F(WinFsFind, PatternWithoutFolderSearchesTheCurrentDirectory) {
    WriteHostFile("top.ini", "");
    EXPECT_EQ(Names(FindFiles("*.INI")), (std::vector<std::string>{"top.ini"}));
    EXPECT_EQ(Names(FindFiles("E*", FindWhat::DirectoriesOnly)), (std::vector<std::string>{"Epsxe"}));
}

}  // namespace
}  // namespace dravolo
