#include <gtest/gtest.h>

#include <filesystem>

#include "optionslib/core/bios_list.h"
#include "optionslib/core/module_path.h"
#include "optionslib/core/pad_config.h"
#include "tests/support/prefix_fixture.h"
#include "tests/support/recording_prompter.h"

namespace dravolo::kstuff {
namespace {

TEST(ModulePath, NamesTheFileThisCodeIsLinkedInto) {
    const std::string path = ThisModulePath();
    ASSERT_FALSE(path.empty());
    EXPECT_NE(path.find('\\'), std::string::npos);
    EXPECT_NE(path.find("optionslib_tests"), std::string::npos) << path;

    EXPECT_EQ(DirectoryOf("C:\\EPSXE\\KestrineStuff.dll"), "C:\\EPSXE");
    EXPECT_EQ(DirectoryOf("KestrineStuff.dll"), "");
    EXPECT_EQ(SiblingPath("C:\\EPSXE\\KestrineStuff.dll", "epsxe.exe"), "C:\\EPSXE\\epsxe.exe");
    EXPECT_EQ(SiblingPath("KestrineStuff.dll", "epsxe.exe"), "epsxe.exe");
}

TEST(PadConfiguration, TellsTheUserThenStartsEmulatorBesideTheLibrary) {
    test::RecordingPrompter prompter;
    std::vector<std::string> started;
    const ProcessStarter starter = [&](std::string_view line) {
        started.emplace_back(line);
        return true;
    };
    EXPECT_TRUE(StartPadConfiguration(prompter, "C:\\Program Files\\ePSXe\\KestrineStuff.dll", starter));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].caption, "Configure ePSXe pads");
    EXPECT_EQ(prompter.messages[0].text,
              "ePSXe will get started now.\nPlease go to the ePSXe pad config screen (Config->Game Pad->Pad 1/Pad 2), "
              "and configure the pads as desired. Please quit ePSXe after configuring.");
    EXPECT_EQ(prompter.messages[0].icon, PromptIcon::Information);
    EXPECT_EQ(prompter.messages[0].buttons, PromptButtons::Ok);
    // Quoted, so the folder's blanks cannot make another program start.
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0], "\"C:\\Program Files\\ePSXe\\epsxe.exe\"");
}

TEST(PadConfiguration, TellsAFailedStart) {
    test::RecordingPrompter prompter;
    EXPECT_FALSE(
        StartPadConfiguration(prompter, "C:\\EPSXE\\KestrineStuff.dll", [](std::string_view) { return false; }));
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[1].caption, "Configure ePSXe pads");
    EXPECT_EQ(prompter.messages[1].icon, PromptIcon::Stop);
    EXPECT_NE(prompter.messages[1].text.find("C:\\EPSXE\\epsxe.exe"), std::string::npos);
}

class BiosImages : public test::PrefixFixture {};

TEST_F(BiosImages, ListsBinFilesOfTheBiosFolderWithFullPaths) {
    EXPECT_TRUE(FindBiosImages("C:\\EPSXE\\KestrineStuff.dll").empty());  // no folder
    std::filesystem::create_directories(driveC() + "/epsxe/bios/sub.bin");
    WriteHostFile(driveC() + "/epsxe/bios/scph7502.BIN", "b");
    WriteHostFile(driveC() + "/epsxe/bios/scph1001.bin", "a");
    WriteHostFile(driveC() + "/epsxe/bios/readme.txt", "t");
    const auto images = FindBiosImages("C:\\EPSXE\\KestrineStuff.dll");
    const std::vector<std::string> expected = {"C:\\EPSXE\\Bios\\scph1001.bin", "C:\\EPSXE\\Bios\\scph7502.BIN"};
    EXPECT_EQ(images, expected);
}

}  // namespace
}  // namespace dravolo::kstuff
