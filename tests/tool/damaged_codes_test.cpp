// Codes.txt files that people edited by hand: whatever the library cannot
// read stays where it was, byte for byte, and every game and cheat it can
// read is shown, wherever it stands.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/platform/registry.h"
#include "tests/tool/cheat_library_fixture.h"

using namespace dravolo;
using namespace dravolo::tool;

namespace {

class DamagedCodesTest : public test::CheatLibraryFixture {
protected:
    bool HasChoice() const { return ChoiceValue().has_value(); }

    // "KEY" or "KEY/cheat name" for every game and cheat, in order.
    static std::vector<std::string> Outline(const CheatLibrary& library) {
        std::vector<std::string> out;
        for (const CheatGame& game : library.games()) {
            out.push_back(game.Key());
            for (const Cheat& cheat : game.cheats) out.push_back(game.Key() + "/" + cheat.data);
        }
        return out;
    }
};

const std::string kGammaGame = "\r\n*C|Gamma\r\n-Three\r\n3 3\r\n--\r\n**\r\n";

}  // namespace

TEST_F(DamagedCodesTest, HandEditedFilesSurviveASaveUnchangedAndShowEveryCheat) {
    struct Case {
        const char* what;
        std::string text;
        std::vector<std::string> outline;
    };
    const Case cases[] = {
        {"a game header with a leading blank",
         "\r\n*A|Alpha\r\n-One\r\n1 1\r\n--\r\n**\r\n"
         "\r\n *B|Beta\r\n-Two\r\n2 2\r\n--\r\n**\r\n" +
             kGammaGame,
         {"A|Alpha", "A|Alpha/One\r\n1\t1\r\n", "B|Beta", "B|Beta/Two\r\n2\t2\r\n", "C|Gamma",
          "C|Gamma/Three\r\n3\t3\r\n"}},
        {"a blank line between two cheats",
         "\r\n*A|Alpha\r\n-One\r\n1 1\r\n--\r\n\r\n-Two\r\n2 2\r\n--\r\n**\r\n" + kGammaGame,
         {"A|Alpha", "A|Alpha/One\r\n1\t1\r\n", "A|Alpha/Two\r\n2\t2\r\n", "C|Gamma", "C|Gamma/Three\r\n3\t3\r\n"}},
        {"comments between games",
         "my codes\r\n\r\n*A|Alpha\r\n-One\r\n1 1\r\n--\r\n**\r\n; fighting games below\r\n\r\n" + kGammaGame +
             "; the end\r\n",
         {"A|Alpha", "A|Alpha/One\r\n1\t1\r\n", "C|Gamma", "C|Gamma/Three\r\n3\t3\r\n"}},
        {"cheats without their closing lines",
         "\r\n*A|Alpha\r\n-One\r\n1 1\r\n-Two\r\n2 2\r\n**\r\n\r\n*b|beta game\r\n-x\r\nab ab\r\n--\r\n**\r\n" +
             kGammaGame,
         {"A|Alpha", "A|Alpha/One\r\n1\t1\r\n", "A|Alpha/Two\r\n2\t2\r\n", "b|beta game", "b|beta game/x\r\nAB\tAB\r\n",
          "C|Gamma", "C|Gamma/Three\r\n3\t3\r\n"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PutCodes(c.text);
        auto library = Library();
        library->Load();
        EXPECT_EQ(Outline(*library), c.outline);
        ASSERT_TRUE(library->Save());
        EXPECT_EQ(Codes(), c.text);
        // The next start reads the same and writes the same.
        auto again = Library();
        again->Load();
        EXPECT_EQ(Outline(*again), c.outline);
        ASSERT_TRUE(again->Save());
        EXPECT_EQ(Codes(), c.text);
    }
}

TEST_F(DamagedCodesTest, AnEditKeepsTheUnreadTextAtItsPlace) {
    const std::string text =
        "my codes\r\n\r\n*A|Alpha\r\n-One\r\n1 1\r\n--\r\n**\r\n; fighting games below\r\n" + kGammaGame;
    PutCodes(text);
    auto library = Library();
    library->Load();
    // A new game between the two: the comment stays in front of "Gamma".
    library->AddCheat("B", "Beta", "Two\r\n2\t2\r\n");
    ASSERT_TRUE(library->Save());
    EXPECT_EQ(Codes(),
              "my codes\r\n\r\n*A|Alpha\r\n-One\r\n1 1\r\n--\r\n**\r\n"
              "\r\n*B|Beta\r\n-Two\r\n2 2\r\n--\r\n**\r\n"
              "; fighting games below\r\n" +
                  kGammaGame);
    // Deleting it gives the file back as it was.
    ASSERT_TRUE(library->Delete({1, -1}));
    EXPECT_EQ(Codes(), text);
}

TEST_F(DamagedCodesTest, TheActiveChoiceOfAGameAfterADamagedGameSurvives) {
    PutCodes("\r\n*A|Alpha\r\n-One\r\n1 1\r\n--\r\n" + kGammaGame);  // "Alpha" has no "**"
    PutChoice("C|Gamma\r\n*Three\r\n3\t3\r\n");
    auto library = Library();
    EXPECT_EQ(library->Load(), 1);
    EXPECT_TRUE(HasChoice());
    EXPECT_TRUE(library->games()[1].cheats[0].active);
    // Only a game that is truly absent clears it.
    PutChoice("D|Delta\r\n*Four\r\n4\t4\r\n");
    EXPECT_FALSE(Library()->Load());
    EXPECT_FALSE(HasChoice());
}

TEST_F(DamagedCodesTest, TheFileIsBackedUpOnceBeforeTheFirstChangeWhenItHeldUnreadText) {
    const std::string damaged = "\r\n*A|Alpha\r\n-One\r\n1 1\r\n--\r\n**\r\nnotes\r\n" + kGammaGame;
    PutCodes(damaged);
    const std::string backup = CodesHost() + ".bak";
    auto library = Library();
    library->Load();
    EXPECT_TRUE(library->document().unreadable);
    ASSERT_TRUE(library->Save());  // no change: nothing written
    EXPECT_FALSE(std::filesystem::exists(backup));
    EXPECT_FALSE(library->TakeBackupNotice());

    library->AddCheat("A", "Alpha", "Two\r\n2\t2\r\n");
    ASSERT_TRUE(library->Save());
    EXPECT_EQ(ReadHostFile(backup), damaged);
    EXPECT_TRUE(library->TakeBackupNotice());
    EXPECT_FALSE(library->TakeBackupNotice());
    ASSERT_TRUE(library->Delete({0, 1}));
    EXPECT_EQ(ReadHostFile(backup), damaged);  // still the file as it was
    EXPECT_FALSE(library->TakeBackupNotice());
    EXPECT_EQ(Codes(), damaged);

    // A tidy file needs none.
    std::filesystem::remove(backup);
    PutCodes(kGammaGame);
    library->Load();
    library->AddCheat("A", "Alpha", "Two\r\n2\t2\r\n");
    ASSERT_TRUE(library->Save());
    EXPECT_FALSE(std::filesystem::exists(backup));
}

TEST_F(DamagedCodesTest, ACodesFileThatCannotBeReadIsNeverWrittenOver) {
    // Something named Codes.txt that cannot be read as a file.
    std::filesystem::create_directory(CodesHost());
    PutChoice("C|Gamma\r\n*Three\r\n3\t3\r\n");
    auto library = Library();
    EXPECT_FALSE(library->Load());
    EXPECT_TRUE(library->readFailed());
    EXPECT_TRUE(HasChoice());  // nothing says the game is gone
    library->AddCheat("A", "Alpha", "One\r\n1\t1\r\n");
    EXPECT_FALSE(library->Save());
    EXPECT_TRUE(std::filesystem::is_directory(CodesHost()));
    const CheatLibrary::ImportResult result = library->ImportText("\r\n*B|Beta\r\n-x\r\n1 1\r\n--\r\n**\r\n", false);
    EXPECT_EQ(result.added, 1);
    EXPECT_FALSE(result.saved);
}
