// The core's ANSI Windows paths as the UTF-8 host paths Qt's dialogs take, and
// back: a folder whose name leaves ASCII must come out as that very folder.

#include <gtest/gtest.h>

#include <filesystem>

#include "common/base/text.h"
#include "common/platform/native_text.h"
#include "common/platform/winfs.h"
#include "tests/support/prefix_fixture.h"

namespace dravolo {
namespace {

namespace fs = std::filesystem;

class HostPathText : public test::PrefixFixture {};

// A UTF-8 host path as the file system's own, on Windows too (where a narrow
// std::filesystem path would be read in the ANSI code page).
fs::path Host(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

// "É" is one byte in the ANSI code page, two in UTF-8; read as UTF-8 the
// ANSI byte would name no folder at all.
TEST_F(HostPathText, AnAnsiFolderNameBecomesTheRealFolderAndComesBack) {
    const std::string folder = "C:\\Jeux\\" + Utf8ToAnsi("\xC3\x89psxe");
    ASSERT_EQ(folder.size(), 13u) << "the ANSI code page has no single byte for the letter";
    ASSERT_TRUE(CreateDir("C:\\Jeux"));
    ASSERT_TRUE(CreateDir(folder));
    ASSERT_TRUE(CreateDir(folder + "\\Memcards"));

    const std::string host = Utf8HostPathOfWindowsPath(folder);
    EXPECT_NE(host.find("\xC3\x89psxe"), std::string::npos) << host;
    EXPECT_TRUE(fs::is_directory(Host(host))) << host;
    EXPECT_TRUE(EqualsNoCase(WindowsPathOfUtf8HostPath(host), folder)) << WindowsPathOfUtf8HostPath(host);

    // A file inside it that does not exist yet (a card to create) keeps its
    // name, and the folder part still leads to the real folder.
    const std::string card = Utf8HostPathOfWindowsPath(folder + "\\Memcards\\Neuve.mcr");
    EXPECT_EQ(Host(card).filename(), fs::path("Neuve.mcr"));
    EXPECT_TRUE(fs::is_directory(Host(card).parent_path())) << card;
    EXPECT_TRUE(EqualsNoCase(WindowsPathOfUtf8HostPath(card), folder + "\\Memcards\\Neuve.mcr"));
}

TEST_F(HostPathText, AsciiPathsNameTheSameFileEitherWay) {
    WriteHostFile(driveC() + "/epsxe/bios/scph1001.bin", "bios");
    const std::string host = Utf8HostPathOfWindowsPath("C:\\epsxe\\bios\\scph1001.bin");
    EXPECT_TRUE(fs::is_regular_file(Host(host))) << host;
    EXPECT_TRUE(EqualsNoCase(WindowsPathOfUtf8HostPath(host), "C:\\epsxe\\bios\\scph1001.bin"));
}

}  // namespace
}  // namespace dravolo
