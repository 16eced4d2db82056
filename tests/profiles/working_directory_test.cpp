// Which folder the programs keep their profiles in: the folder they were
// started in, the user's data folder when that is the bare home folder, or the
// one "--workdir" names.

#include <gtest/gtest.h>

#include <filesystem>

#include "frontend/profiles/working_directory.h"
#include "tests/support/prefix_fixture.h"

namespace dravolo {
namespace {

namespace fs = std::filesystem;

class WorkingDirectory : public ::testing::Test {
protected:
    void SetUp() override {
        saved = fs::current_path();
        home = temp.path() + "/home";
        fs::create_directories(home);
    }
    void TearDown() override { fs::current_path(saved); }

    WorkingDirectoryInputs FromHome() const { return {home, home, "", ""}; }

    test::TempDir temp;
    std::string home;
    fs::path saved;
};

TEST_F(WorkingDirectory, TheBareHomeFolderBecomesTheDataFolderWithTheFiveProfileFolders) {
    auto inputs = FromHome();
    WorkingDirectoryChoice choice = ChooseWorkingDirectory(inputs);
    EXPECT_EQ(fs::path(choice.directory), fs::path(home + "/.local/share/dravolo"));
    EXPECT_TRUE(choice.makeProfileFolders);

    inputs.xdgDataHome = temp.path() + "/data";
    choice = ChooseWorkingDirectory(inputs);
    EXPECT_EQ(fs::path(choice.directory), fs::path(temp.path() + "/data/dravolo"));
    ASSERT_FALSE(EnterWorkingDirectory(choice).has_value());
    EXPECT_TRUE(fs::equivalent(fs::current_path(), temp.path() + "/data/dravolo"));
    for (const char* folder : {"Epsxe", "Fpse", "Psinex", "Adripsx", "Pcsx"})
        EXPECT_TRUE(fs::is_directory(temp.path() + "/data/dravolo/" + folder)) << folder;
    // Nothing appeared in the home folder.
    EXPECT_TRUE(fs::is_empty(home));

    // A relative XDG_DATA_HOME is not a valid one: the default applies.
    inputs.xdgDataHome = "relative/data";
    EXPECT_EQ(fs::path(ChooseWorkingDirectory(inputs).directory), fs::path(home + "/.local/share/dravolo"));
}

TEST_F(WorkingDirectory, AHomeFolderWithProfileFoldersAndAnyOtherFolderAreUsedAsTheyAre) {
    fs::create_directories(home + "/pcsx");  // any letter case, as profile paths resolve
    WorkingDirectoryChoice choice = ChooseWorkingDirectory(FromHome());
    EXPECT_EQ(choice.directory, home);
    EXPECT_FALSE(choice.makeProfileFolders);

    const std::string games = temp.path() + "/games";
    fs::create_directories(games);
    choice = ChooseWorkingDirectory({games, home, "", ""});
    EXPECT_EQ(choice.directory, games);
    EXPECT_FALSE(choice.makeProfileFolders);
    ASSERT_FALSE(EnterWorkingDirectory(choice).has_value());
    EXPECT_TRUE(fs::is_empty(games));  // nothing made where the user started us

    // A file named like a profile folder is not one.
    fs::remove(home + "/pcsx");
    std::FILE* file = std::fopen((home + "/Epsxe").c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    EXPECT_FALSE(HoldsProfileFolders(home));
}

TEST_F(WorkingDirectory, AnExplicitFolderIsMadeAndFilledButFoldersInAnotherCaseAreKept) {
    const std::string chosen = temp.path() + "/my profiles/deep";
    fs::create_directories(chosen + "/EPSXE");
    auto inputs = FromHome();
    inputs.explicitDir = chosen;
    const WorkingDirectoryChoice choice = ChooseWorkingDirectory(inputs);
    EXPECT_EQ(choice.directory, chosen);
    ASSERT_FALSE(EnterWorkingDirectory(choice).has_value());
    EXPECT_TRUE(fs::equivalent(fs::current_path(), chosen));
    EXPECT_FALSE(fs::exists(chosen + "/Epsxe") && !fs::equivalent(chosen + "/Epsxe", chosen + "/EPSXE"));
    EXPECT_TRUE(fs::is_directory(chosen + "/Adripsx"));

    // A folder that cannot be made is said so, and the process stays where it was.
    std::FILE* file = std::fopen((temp.path() + "/plain").c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    const auto problem = EnterWorkingDirectory({temp.path() + "/plain/sub", true});
    ASSERT_TRUE(problem.has_value());
    EXPECT_NE(problem->find("plain/sub"), std::string::npos) << *problem;
    EXPECT_TRUE(fs::equivalent(fs::current_path(), chosen));
}

TEST(WorkdirOption, IsTakenOutInBothSpellingsAndNeedsAFolder) {
    std::vector<std::string> args{"--workdir", "/tmp/a", "profiles", "list", "Epsxe"};
    std::string workdir, error;
    ASSERT_TRUE(TakeWorkdirOption(args, workdir, error));
    EXPECT_EQ(workdir, "/tmp/a");
    EXPECT_EQ(args, (std::vector<std::string>{"profiles", "list", "Epsxe"}));

    args = {"profiles", "--workdir=/tmp/b", "list", "Epsxe"};
    ASSERT_TRUE(TakeWorkdirOption(args, workdir, error));
    EXPECT_EQ(workdir, "/tmp/b");
    EXPECT_EQ(args, (std::vector<std::string>{"profiles", "list", "Epsxe"}));

    args = {"profiles", "list", "Epsxe", "--workdir"};
    EXPECT_FALSE(TakeWorkdirOption(args, workdir, error));
    EXPECT_EQ(error, "--workdir needs a folder");
    args = {"--workdir="};
    EXPECT_FALSE(TakeWorkdirOption(args, workdir, error));
}

}  // namespace
}  // namespace dravolo
