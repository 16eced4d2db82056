// Profile files on disk: save, load, create, list, rename and delete, with the
// messages the user sees.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "frontend/core/settings_store.h"
#include "frontend/profiles/profile_files.h"
#include "frontend/profiles/profile_manager.h"
#include "tests/support/memory_registry.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/prefix_fixture.h"
#include "tests/support/recording_prompter.h"

namespace dravolo {
namespace {

class ProfileStore : public test::PrefixFixture {
protected:
    test::MemoryRegistry registry;
    SettingsStore settings{registry};
    test::RecordingPrompter prompter;

    std::vector<std::string> Captions() const {
        std::vector<std::string> out;
        for (const auto& m : prompter.messages) out.push_back(m.caption);
        return out;
    }
};

TEST_F(ProfileStore, CreateMakesTheDefaultFileAndNeverOverwrites) {
    const std::string path = ProfilePath(EmulatorKind::Epsxe, "Crash");
    EXPECT_EQ(path, ".\\Epsxe\\Crash.set");
    ASSERT_TRUE(CreateProfileFile(EmulatorKind::Epsxe, path, settings));
    EXPECT_EQ(ReadHostFile("Epsxe/Crash.set").size(), 150u);

    WriteHostFile("Epsxe/Crash.set", "mine");
    EXPECT_FALSE(CreateProfileFile(EmulatorKind::Epsxe, path, settings));
    EXPECT_EQ(ReadHostFile("Epsxe/Crash.set"), "mine");
    // A stored number outside 0-4 names no kind, so no profile can be made of it.
    EXPECT_FALSE(KindFromNumber(5));
    EXPECT_FALSE(KindFromNumber(-1));
    EXPECT_FALSE(CreateProfileFile(EmulatorKind::Epsxe, "", settings));
    EXPECT_FALSE(HostExists("Epsxe/Other.set"));
}

TEST_F(ProfileStore, SavingShorterTextsLeavesTheOldTailAndLoadsExactly) {
    const std::string path = ProfilePath(EmulatorKind::Epsxe, "Long");
    ASSERT_TRUE(CreateProfileFile(EmulatorKind::Epsxe, path, settings));
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
    WriteHostFile("Fpse/Short.set", std::string("\x02"
                                                "FP\x01\x01",
                                                5));
    EXPECT_FALSE(LoadProfileRecord(record, ProfilePath(EmulatorKind::Fpse, "Short"), prompter));
    EXPECT_EQ(record.BiosName, "mine");
    EXPECT_EQ(record.CDUseCache, 1);
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[0].text, "Cannot Open File.");
    EXPECT_EQ(prompter.messages[1].caption, "File Open Error");
}

TEST_F(ProfileStore, EnumerationListsSetFilesInFolderOrder) {
    ProfileList list;
    EXPECT_FALSE(EnumerateProfiles(EmulatorKind::Epsxe, list, settings, prompter));
    EXPECT_TRUE(list.fileNames.empty() && list.descriptions.empty() && list.bitmapFiles.empty());

    std::filesystem::create_directory(HostPath("Epsxe/folder.set"));
    ASSERT_TRUE(CreateNewProfile(EmulatorKind::Epsxe, "beta", std::string("second"), std::nullopt, settings, prompter));
    ASSERT_TRUE(CreateNewProfile(EmulatorKind::Epsxe, "Alpha", std::nullopt, std::string("a.bmp"), settings, prompter));
    WriteHostFile("Epsxe/Broken.set", "\x02");
    WriteHostFile("Epsxe/Cut.set",
                  "\x02"
                  "EP");
    WriteHostFile("Epsxe/notes.txt", "x");
    prompter.messages.clear();

    ASSERT_TRUE(EnumerateProfiles(EmulatorKind::Epsxe, list, settings, prompter));
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
    for (const char* ext : {".set", ".gpu", ".spu", ".cdr", ".pad", ".ini"})
        WriteHostFile(std::string("Epsxe/A") + ext, ext);
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

#ifndef _WIN32
// Runs `work` in a child process with a time limit (and, outside ASan, a
// memory limit), so a read that never ends or never stops growing fails the
// test instead of hanging or exhausting the machine. The child's text comes
// back; a child that did not finish gives "(child did not finish)".
std::string InBoundedChild(const std::function<std::string()>& work) {
    int out[2];
    if (pipe(out) != 0) return "(no pipe)";
    const pid_t pid = fork();
    if (pid == 0) {
        close(out[0]);
        alarm(10);
#ifndef __SANITIZE_ADDRESS__
        rlimit memory{512u << 20, 512u << 20};
        setrlimit(RLIMIT_AS, &memory);
#endif
        const std::string text = work();
        [[maybe_unused]] const ssize_t n = write(out[1], text.data(), text.size());
        _exit(0);
    }
    close(out[1]);
    std::string text;
    char chunk[256];
    ssize_t got;
    while ((got = read(out[0], chunk, sizeof chunk)) > 0) text.append(chunk, static_cast<std::size_t>(got));
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? text : "(child did not finish)";
}

// A ".set" that is a FIFO would block the listing for ever, one that leads to
// /dev/zero would never end, a huge one would fill memory: only regular files
// are read, and no more than a profile can hold.
TEST_F(ProfileStore, ListingAndLoadingReadOnlyRegularFilesOfAProfilesSize) {
    ASSERT_TRUE(CreateNewProfile(EmulatorKind::Epsxe, "Real", std::string("kept"), std::nullopt, settings, prompter));
    ASSERT_EQ(mkfifo(HostPath("Epsxe/Pipe.set").c_str(), 0644), 0);
    ASSERT_EQ(symlink("/dev/zero", HostPath("Epsxe/Zero.set").c_str()), 0);
    ASSERT_EQ(symlink(HostPath("Epsxe/Real.set").c_str(), HostPath("Epsxe/Linked.set").c_str()), 0);
    WriteHostFile("Epsxe/Huge.set", ReadHostFile("Epsxe/Real.set") + std::string(kMaxProfileFileSize, 'x'));
    prompter.messages.clear();

    const std::string seen = InBoundedChild([&] {
        ProfileList list;
        EnumerateProfiles(EmulatorKind::Epsxe, list, settings, prompter);
        std::string text;
        for (std::size_t i = 0; i < list.fileNames.size(); ++i)
            text += list.fileNames[i] + "=" + list.descriptions[i] + ";";
        for (const char* name : {"Pipe", "Zero", "Huge", "Linked"}) {
            _EPSXEDATA record(settings);
            text += std::string(name) + (LoadProfileRecord(record, ProfilePath(EmulatorKind::Epsxe, name), prompter)
                                             ? ":loaded;"
                                             : ":refused;");
            text += SaveProfileRecord(record, ProfilePath(EmulatorKind::Epsxe, name), prompter) ? "saved;" : "unsaved;";
        }
        return text;
    });
    EXPECT_EQ(seen,
              "Huge.set= ;Linked.set=kept;Pipe.set= ;Real.set=kept;Zero.set= ;"
              "Pipe:refused;unsaved;Zero:refused;unsaved;Huge:refused;unsaved;Linked:loaded;saved;");
    // Nothing was written through the FIFO or over the huge file.
    EXPECT_EQ(std::filesystem::file_size(HostPath("Epsxe/Huge.set")),
              ReadHostFile("Epsxe/Real.set").size() + kMaxProfileFileSize);
}

// Saving follows the file's own permission: a read-only profile is refused and
// left as it is (a rename over it would ignore its permission), and a writable
// one in a folder where no new file can be made is written in place.
TEST_F(ProfileStore, SaveFollowsTheFilesOwnPermission) {
    ASSERT_TRUE(
        CreateNewProfile(EmulatorKind::Epsxe, "Locked", std::string("before"), std::nullopt, settings, prompter));
    ASSERT_TRUE(CreateNewProfile(EmulatorKind::Fpse, "Open", std::string("before"), std::nullopt, settings, prompter));
    prompter.messages.clear();
    const std::string lockedBefore = ReadHostFile("Epsxe/Locked.set");
    ASSERT_EQ(chmod(HostPath("Epsxe/Locked.set").c_str(), 0444), 0);
    ASSERT_EQ(chmod(HostPath("Fpse").c_str(), 0555), 0);
    struct stat openBefore {};
    ASSERT_EQ(stat(HostPath("Fpse/Open.set").c_str(), &openBefore), 0);

    bool lockedSaved = true, openSaved = false;
    {
        test::ActAsOrdinaryUser user(root());
        _EPSXEDATA locked(settings);
        locked.Properties.Description = "after";
        lockedSaved = SaveProfileRecord(locked, ProfilePath(EmulatorKind::Epsxe, "Locked"), prompter);
        _FPSEDATA open(settings);
        open.Properties.Description = "after";
        openSaved = SaveProfileRecord(open, ProfilePath(EmulatorKind::Fpse, "Open"), prompter);
    }
    chmod(HostPath("Fpse").c_str(), 0755);

    EXPECT_FALSE(lockedSaved);
    EXPECT_TRUE(ReadHostFile("Epsxe/Locked.set") == lockedBefore);
    struct stat st {};
    ASSERT_EQ(stat(HostPath("Epsxe/Locked.set").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Cannot Save to File.");
    EXPECT_EQ(prompter.messages[0].caption, "File Save Error");

    EXPECT_TRUE(openSaved);
    _FPSEDATA back(settings);
    ASSERT_TRUE(LoadProfileRecord(back, ProfilePath(EmulatorKind::Fpse, "Open"), prompter));
    EXPECT_EQ(back.Properties.Description, "after");
    ASSERT_EQ(stat(HostPath("Fpse/Open.set").c_str(), &st), 0);
    EXPECT_EQ(st.st_ino, openBefore.st_ino);  // the same file, written in place
    // Neither save leaves anything beside the profiles.
    EXPECT_EQ(
        std::distance(std::filesystem::directory_iterator(HostPath("Epsxe")), std::filesystem::directory_iterator{}),
        1);
    EXPECT_EQ(
        std::distance(std::filesystem::directory_iterator(HostPath("Fpse")), std::filesystem::directory_iterator{}), 1);
}
#endif

TEST_F(ProfileStore, TooLargeARecordIsNotSaved) {
    const std::string path = ProfilePath(EmulatorKind::Psinex, "Big");
    ASSERT_TRUE(CreateProfileFile(EmulatorKind::Psinex, path, settings));
    const std::string before = ReadHostFile("Psinex/Big.set");
    _PSINEXDATA record(settings);
    record.Properties.Description = std::string(kMaxProfileFileSize, 'd');
    EXPECT_FALSE(SaveProfileRecord(record, path, prompter));
    EXPECT_TRUE(ReadHostFile("Psinex/Big.set") == before);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Cannot Save to File.");
}

// On Linux a folder may hold "con.set" or "x?y.set", names Windows refuses and
// we refuse to touch: the delete says so and reports the profile as still there.
TEST_F(ProfileStore, DeleteTellsWhetherTheProfileIsGone) {
#ifndef _WIN32  // such files cannot exist on Windows
    WriteHostFile("Epsxe/con.set", "x");
    WriteHostFile("Epsxe/x?y.set", "x");
    EXPECT_FALSE(DeleteProfileFiles(EmulatorKind::Epsxe, "con", prompter));
    EXPECT_FALSE(DeleteProfileFiles(EmulatorKind::Epsxe, "x?y", prompter));
    EXPECT_TRUE(HostExists("Epsxe/con.set"));
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Profile Name Error", "Profile Name Error"}));

    // A record that cannot be deleted (its folder is read-only) keeps its
    // side files: the profile stays whole, and the user is told.
    if (geteuid() != 0) {
        WriteHostFile("Fpse/Locked.set", "x");
        WriteHostFile("Fpse/Locked.gpu", "g");
        chmod(HostPath("Fpse").c_str(), 0555);
        prompter.messages.clear();
        EXPECT_FALSE(DeleteProfileFiles(EmulatorKind::Fpse, "Locked", prompter));
        chmod(HostPath("Fpse").c_str(), 0755);
        EXPECT_TRUE(HostExists("Fpse/Locked.set"));
        EXPECT_EQ(ReadHostFile("Fpse/Locked.gpu"), "g");
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_EQ(prompter.messages[0].text, "The profile \"Locked\" could not be deleted.");
    }
#endif
    // A profile whose record is already gone is gone: nothing to report.
    prompter.messages.clear();
    WriteHostFile("Pcsx/Half.gpu", "x");
    EXPECT_TRUE(DeleteProfileFiles(EmulatorKind::Pcsx, "Half", prompter));
    EXPECT_FALSE(HostExists("Pcsx/Half.gpu"));
    EXPECT_TRUE(prompter.messages.empty());
}

// A side file already carrying the new name would be adopted by the renamed
// profile and the old one left behind: the rename is refused, nothing moves.
TEST_F(ProfileStore, RenameChecksEveryTargetFirst) {
    for (const char* ext : {".set", ".gpu", ".spu"}) WriteHostFile(std::string("Epsxe/Old") + ext, ext);
    WriteHostFile("Epsxe/New.spu", "stray");
    EXPECT_EQ(RenameProfile(EmulatorKind::Epsxe, "Old", "New", prompter), RenameOutcome::Refused);
    for (const char* ext : {".set", ".gpu", ".spu"}) EXPECT_EQ(ReadHostFile(std::string("Epsxe/Old") + ext), ext);
    EXPECT_FALSE(HostExists("Epsxe/New.set"));
    EXPECT_FALSE(HostExists("Epsxe/New.gpu"));
    EXPECT_EQ(ReadHostFile("Epsxe/New.spu"), "stray");
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_NE(prompter.messages[0].text.find(".\\Epsxe\\New.spu"), std::string::npos) << prompter.messages[0].text;
}

// The front end owns the profile folders: a missing one is made.
TEST_F(ProfileStore, NewProfileMakesAMissingFolder) {
    std::filesystem::remove_all(HostPath("Adripsx"));
    ASSERT_TRUE(CreateNewProfile(EmulatorKind::Adripsx, "First", std::string("one"), std::nullopt, settings, prompter));
    EXPECT_TRUE(prompter.messages.empty());
    _ADRIPSXDATA record(settings);
    ASSERT_TRUE(LoadProfileRecord(record, ProfilePath(EmulatorKind::Adripsx, "First"), prompter));
    EXPECT_EQ(record.Properties.Description, "one");

    // A file where the folder should be: the creation fails as it says.
    std::filesystem::remove_all(HostPath("Pcsx"));
    WriteHostFile("Pcsx", "not a folder");
    EXPECT_FALSE(CreateNewProfile(EmulatorKind::Pcsx, "Second", std::nullopt, std::nullopt, settings, prompter));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Error creating new profile.\nCheck if profile exists.");
}

}  // namespace
}  // namespace dravolo
