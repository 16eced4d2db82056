#include <gtest/gtest.h>

#include "frontend/options/option_lists.h"
#include "tests/support/prefix_fixture.h"

namespace dravolo {
namespace {

TEST(CdrDriveList, StoredLettersSelectTheirEntries) {
    const auto& entries = CdrDriveEntries();
    ASSERT_EQ(entries.size(), 26u);
    EXPECT_EQ(entries.front(), "First");
    EXPECT_EQ(entries.back(), "");
    // A prefix search for "F" alone would find "First".
    ASSERT_TRUE(CdrDriveEntryFor("F").has_value());
    EXPECT_EQ(entries[static_cast<std::size_t>(*CdrDriveEntryFor("F"))], "F");
    EXPECT_EQ(CdrDriveEntryFor("First"), 0);
    EXPECT_EQ(entries[static_cast<std::size_t>(*CdrDriveEntryFor("Q"))], "Q");
    EXPECT_EQ(CdrDriveEntryFor("1"), std::nullopt);
    // No selection and the empty last entry both store "First".
    EXPECT_EQ(CdromLetterFromEntry(""), "First");
    EXPECT_EQ(CdromLetterFromEntry("F"), "F");
}

TEST(PcsxBios, HleIsShownAsItsEntryAndStoredBack) {
    EXPECT_EQ(PcsxBiosShown("HLE"), "USE HLE BIOS");
    EXPECT_EQ(PcsxBiosStored("USE HLE BIOS"), "HLE");
    EXPECT_EQ(PcsxBiosShown("c:\\pcsx\\bios\\scph1001.bin"), "c:\\pcsx\\bios\\scph1001.bin");
    EXPECT_EQ(PcsxBiosStored("c:\\pcsx\\bios\\scph1001.bin"), "c:\\pcsx\\bios\\scph1001.bin");
}

TEST(FpseCacheSize, StaysWithinItsBounds) {
    EXPECT_EQ(ClampFpseCacheSize(1020 + kFpseCacheStep), 1024);
    EXPECT_EQ(ClampFpseCacheSize(2000), 1024);
    EXPECT_EQ(ClampFpseCacheSize(8 - kFpseCacheStep), 0);
    EXPECT_EQ(ClampFpseCacheSize(512), 512);
    EXPECT_EQ(ClampFpseCacheSize(99999999999LL), 1024);
}

class BiosListTest : public test::PrefixFixture {};

TEST_F(BiosListTest, ListsBinFilesOfTheBiosFolderOnly) {
    WriteHostFile(driveC() + "/epsxe/bios/SCPH7502.BIN", "b");
    WriteHostFile(driveC() + "/epsxe/bios/scph1001.bin", "b");
    WriteHostFile(driveC() + "/epsxe/bios/readme.txt", "r");
    WriteHostFile(driveC() + "/epsxe/bios/folder.bin/x", "d");
    const auto files = FindBiosFiles("c:\\epsxe\\");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0], "c:\\epsxe\\bios\\scph1001.bin");
    EXPECT_EQ(files[1], "c:\\epsxe\\bios\\SCPH7502.BIN");
    EXPECT_TRUE(FindBiosFiles("c:\\nowhere\\").empty());
}

TEST_F(BiosListTest, DefaultExtensionOnlyForNamesWithoutOne) {
    WriteHostFile(driveC() + "/cards/plain", "x");
    EXPECT_EQ(WithDefaultExtension("c:\\cards\\new", "mcr"), "c:\\cards\\new.mcr");
    EXPECT_EQ(WithDefaultExtension("c:\\cards\\plain", "mcr"), "c:\\cards\\plain");
    EXPECT_EQ(WithDefaultExtension("c:\\cards\\a.mcd", "mcr"), "c:\\cards\\a.mcd");
    EXPECT_EQ(WithDefaultExtension("c:\\my.dir\\card", "mcr"), "c:\\my.dir\\card.mcr");
}

}  // namespace
}  // namespace dravolo
