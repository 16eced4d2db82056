// Profile files on disk: save, load, create, list, rename and delete, with the
// messages the user sees.

#include <gtest/gtest.h>

#include <filesystem>

#include "frontend/profiles/profile_files.h"
#include "frontend/profiles/profile_manager.h"
#include "frontend/shell/settings_store.h"
#include "tests/support/memory_registry.h"
#include "tests/support/prefix_fixture.h"
#include "tests/support/scripted_prompter.h"

namespace dravolo {
namespace {

class ProfileStore : public test::PrefixFixture {
protected:
    test::MemoryRegistry registry;
    SettingsStore settings{registry};
    test::ScriptedPrompter prompter;

    std::vector<std::string> Captions() const {
        std::vector<std::string> out;
        for (const auto& m : prompter.messages) out.push_back(m.caption);
        return out;
    }
};

TEST_F(ProfileStore, CreateMakesTheDefaultFileAndNeverOverwrites) {
    const std::string path = ProfilePath(EmulatorKind::Epsxe, "Crash");
    EXPECT_EQ(path, ".\\Epsxe\\Crash.set");
    ASSERT_TRUE(CreateProfileFile(0, path, settings));
    EXPECT_EQ(ReadHostFile("Epsxe/Crash.set").size(), 150u);

    WriteHostFile("Epsxe/Crash.set", "mine");
    EXPECT_FALSE(CreateProfileFile(0, path, settings));
    EXPECT_EQ(ReadHostFile("Epsxe/Crash.set"), "mine");
    EXPECT_FALSE(CreateProfileFile(5, ".\\Epsxe\\Other.set", settings));
    EXPECT_FALSE(CreateProfileFile(-1, ".\\Epsxe\\Other.set", settings));
    EXPECT_FALSE(CreateProfileFile(0, "", settings));
    EXPECT_FALSE(HostExists("Epsxe/Other.set"));
}

TEST_F(ProfileStore, SavingShorterTextsLeavesTheOldTailAndLoadsExactly) {
    const std::string path = ProfilePath(EmulatorKind::Epsxe, "Long");
    ASSERT_TRUE(CreateProfileFile(0, path, settings));
    _EPSXEDATA record(settings);
    record.Properties.Description = std::string(300, 'd');
    ASSERT_TRUE(SaveProfileRecord(record, path, prompter));
    const std::string longFile = ReadHostFile("Epsxe/Long.set");

    record.Properties.Description = "short";
    ASSERT_TRUE(SaveProfileRecord(record, path, prompter));
    const std::string shortFile = ReadHostFile("Epsxe/Long.set");
    ASSERT_EQ(shortFile.size(), longFile.size());
    const std::size_t newLength = EncodeRecord(record).size();
    EXPECT_EQ(shortFile.substr(newLength), longFile.substr(newLength));

    _EPSXEDATA back(settings);
    ASSERT_TRUE(LoadProfileRecord(back, path, prompter));
    EXPECT_EQ(back.Properties.Description, "short");
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(ProfileStore, SaveToADeletedProfileReportsAndCreatesNothing) {
    const std::string path = ProfilePath(EmulatorKind::Pcsx, "Gone");
    _PCSXDATA record(settings);
    EXPECT_FALSE(SaveProfileRecord(record, path, prompter));
    EXPECT_FALSE(HostExists("Pcsx/Gone.set"));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Cannot Save to File.");
    EXPECT_EQ(prompter.messages[0].caption, "File Save Error");
    EXPECT_EQ(prompter.messages[0].icon, PromptIcon::Stop);
}

TEST_F(ProfileStore, LoadFailuresKeepTheRecordAndSaySo) {
    _FPSEDATA record(settings);
    record.BiosName = "mine";
    EXPECT_FALSE(LoadProfileRecord(record, ProfilePath(EmulatorKind::Fpse, "Missing"), prompter));
    WriteHostFile("Fpse/Short.set", std::string("\x02" "FP\x01\x01", 5));
    EXPECT_FALSE(LoadProfileRecord(record, ProfilePath(EmulatorKind::Fpse, "Short"), prompter));
    EXPECT_EQ(record.BiosName, "mine");
    EXPECT_EQ(record.CDUseCache, 1);
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[0].text, "Cannot Open File.");
    EXPECT_EQ(prompter.messages[1].caption, "File Open Error");
}

TEST_F(ProfileStore, EnumerationListsSetFilesInFolderOrder) {
    ProfileList list;
    EXPECT_FALSE(EnumerateProfiles(0, list, settings, prompter));
    EXPECT_TRUE(list.fileNames.empty() && list.descriptions.empty() && list.bitmapFiles.empty());

    std::filesystem::create_directory(HostPath("Epsxe/folder.set"));
    ASSERT_TRUE(CreateNewProfile(EmulatorKind::Epsxe, "beta", std::string("second"), std::nullopt, settings, prompter));
    ASSERT_TRUE(CreateNewProfile(EmulatorKind::Epsxe, "Alpha", std::nullopt, std::string("a.bmp"), settings, prompter));
    WriteHostFile("Epsxe/Broken.set", "\x02");
    WriteHostFile("Epsxe/Cut.set", "\x02" "EP");
    WriteHostFile("Epsxe/notes.txt", "x");
    prompter.messages.clear();

    ASSERT_TRUE(EnumerateProfiles(0, list, settings, prompter));
    EXPECT_EQ(list.fileNames, (std::vector<std::string>{"Alpha.set", "beta.set", "Broken.set", "Cut.set"}));
    EXPECT_EQ(list.descriptions, (std::vector<std::string>{" ", "second", " ", " "}));
    EXPECT_EQ(list.bitmapFiles, (std::vector<std::string>{"a.bmp", " ", " ", " "}));
    ASSERT_EQ(prompter.messages.size(), 1u);  // damaged files are reported once per listing
    EXPECT_EQ(prompter.messages[0].text, "Unexpected file format.");
}

TEST_F(ProfileStore, NewProfileTrimsTheNameAndRefusesDuplicates) {
    EXPECT_TRUE(CreateNewProfile(EmulatorKind::Epsxe, "  Crash  ", std::nullopt, std::nullopt, settings, prompter));
    EXPECT_TRUE(HostExists("Epsxe/Crash.set"));
    EXPECT_FALSE(CreateNewProfile(EmulatorKind::Epsxe, "   ", std::nullopt, std::nullopt, settings, prompter));
    EXPECT_TRUE(prompter.messages.empty());

    const std::string before = ReadHostFile("Epsxe/Crash.set");
    EXPECT_FALSE(CreateNewProfile(EmulatorKind::Epsxe, "Crash", std::string("x"), std::nullopt, settings, prompter));
    EXPECT_EQ(ReadHostFile("Epsxe/Crash.set"), before);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Error creating new profile.\nCheck if profile exists.");
    EXPECT_EQ(prompter.messages[0].caption, "File Creation Error");
}

TEST_F(ProfileStore, NamesThatAreNotFileNamesTouchNothing) {
    WriteHostFile("outside.set", "keep");
    WriteHostFile("Epsxe/Real.set", "keep");
    const std::string longName(300, 'n');
    for (const char* bad : {"..\\outside", "a/b", "c:x", "what?", "star*", "q\"uote", "<x>", "pi|pe", ".", "..",
                            "tab\there", "CON", "nul", "com1", longName.c_str()}) {
        prompter.messages.clear();
        EXPECT_FALSE(CreateNewProfile(EmulatorKind::Epsxe, bad, std::nullopt, std::nullopt, settings, prompter)) << bad;
        EXPECT_EQ(prompter.messages.size(), 1u) << bad;
        EXPECT_EQ(RenameProfile(EmulatorKind::Epsxe, "Real", bad, prompter), RenameOutcome::Refused) << bad;
        EXPECT_FALSE(DeleteProfileFiles(EmulatorKind::Epsxe, bad, prompter)) << bad;
    }
    EXPECT_EQ(ReadHostFile("outside.set"), "keep");
    EXPECT_EQ(ReadHostFile("Epsxe/Real.set"), "keep");
    EXPECT_EQ(prompter.messages[0].caption, "Profile Name Error");
    EXPECT_FALSE(ProfileNameProblem("Final Fantasy VII (Disc 1) - é"));
}

TEST_F(ProfileStore, RenameMovesEverySideFileAndNeverReplaces) {
    for (const char* ext : {".set", ".gpu", ".spu", ".cdr", ".pad", ".ini"}) WriteHostFile(std::string("Epsxe/A") + ext, ext);
    WriteHostFile("Epsxe/B.set", "other");
    EXPECT_EQ(RenameProfile(EmulatorKind::Epsxe, "A", "B", prompter), RenameOutcome::Failed);
    EXPECT_EQ(ReadHostFile("Epsxe/B.set"), "other");
    EXPECT_TRUE(HostExists("Epsxe/A.gpu"));

    EXPECT_EQ(RenameProfile(EmulatorKind::Epsxe, "A", "  C ", prompter), RenameOutcome::Renamed);
    for (const char* ext : {".set", ".gpu", ".spu", ".cdr", ".pad", ".ini"}) {
        EXPECT_EQ(ReadHostFile(std::string("Epsxe/C") + ext), ext);
        EXPECT_FALSE(HostExists(std::string("Epsxe/A") + ext));
    }
    EXPECT_EQ(RenameProfile(EmulatorKind::Epsxe, "C", "C", prompter), RenameOutcome::Unchanged);
    EXPECT_EQ(RenameProfile(EmulatorKind::Epsxe, "C", "   ", prompter), RenameOutcome::Unchanged);
    EXPECT_FALSE(RenameProfileFile("", "x"));
    EXPECT_FALSE(RenameProfileFile("same", "same"));
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(ProfileStore, DeleteRemovesWhatExistsQuietly) {
    WriteHostFile("Pcsx/Del.set", "x");
    WriteHostFile("Pcsx/Del.gpu", "x");
    WriteHostFile("Pcsx/Keep.set", "x");
    EXPECT_TRUE(DeleteProfileFiles(EmulatorKind::Pcsx, "Del", prompter));
    EXPECT_FALSE(HostExists("Pcsx/Del.set"));
    EXPECT_FALSE(HostExists("Pcsx/Del.gpu"));
    EXPECT_TRUE(HostExists("Pcsx/Keep.set"));
    EXPECT_TRUE(prompter.messages.empty());
}

}  // namespace
}  // namespace dravolo
