// The cheat library: Codes.txt read and written by its grammar, imports of
// ".cht" and cheat text files, and the active choice "Cheats" in the registry.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/platform/registry.h"
#include "tests/tool/cheat_library_fixture.h"

using namespace dravolo;
using namespace dravolo::tool;

namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;

const std::string kTwoGames =
    "Cheat library of my own\r\n"
    "made by hand\r\n"
    "\r\n*SLUS_001.23|Racer\r\n"
    "-Infinite time\r\n"
    "80012345 0063\r\n"
    "d0011111\t0001\r\n"
    "--\r\n"
    "-All cars\r\n"
    "80020000 ffff\r\n"
    "--\r\n"
    "**\r\n"
    "\r\n*SCES_000.01|Fighter\r\n"
    "-Power\r\n"
    "80030000 0010\r\n"
    "--\r\n"
    "**\r\n";

class CheatLibraryTest : public test::CheatLibraryFixture {};

}  // namespace

TEST_F(CheatLibraryTest, ReadShowsCodesWithTabsAndWritesThemBackWithBlanks) {
    PutCodes(kTwoGames);
    auto library = Library();
    library->Load();
    ASSERT_EQ(library->games().size(), 2u);
    const CheatGame& racer = library->games()[0];
    EXPECT_EQ(racer.id, "SLUS_001.23");
    EXPECT_EQ(racer.name, "Racer");
    ASSERT_EQ(racer.cheats.size(), 2u);
    EXPECT_EQ(racer.cheats[0].Name(), "Infinite time");
    EXPECT_EQ(racer.cheats[0].data, "Infinite time\r\n80012345\t0063\r\nD0011111\t0001\r\n");
    EXPECT_EQ(racer.cheats[1].data, "All cars\r\n80020000\tFFFF\r\n");
    EXPECT_FALSE(library->document().unreadable);

    // Unchanged, the file is written back byte for byte.
    ASSERT_TRUE(library->Save());
    EXPECT_EQ(Codes(), kTwoGames);
    // A changed cheat is written anew: upper case, blanks; the others stay.
    library->SetCheatData({0, 0}, racer.cheats[0].data);
    ASSERT_TRUE(library->Save());
    std::string expected = kTwoGames;
    expected.replace(expected.find("d0011111\t0001"), 13, "D0011111 0001");
    EXPECT_EQ(Codes(), expected);
    ASSERT_TRUE(library->Save());
    EXPECT_EQ(Codes(), expected);
}

TEST_F(CheatLibraryTest, LineEndsAndKeysWithoutABar) {
    // No CR LF anywhere: lines end at LF. A game on the first line is prefix.
    PutCodes("*FIRST|Prefix game\n\n*NOBAR\n-c\n1 2\n--\n**\n");
    auto library = Library();
    library->Load();
    ASSERT_EQ(library->games().size(), 1u);
    EXPECT_EQ(library->games()[0].id, "NOBAR");
    EXPECT_EQ(library->games()[0].name, "???");
    EXPECT_EQ(library->games()[0].cheats[0].data, "c\r\n1\t2\r\n");
    ASSERT_TRUE(library->Save());
    EXPECT_EQ(Codes(), "*FIRST|Prefix game\n\n*NOBAR\n-c\n1 2\n--\n**\n");
    // A new cheat is written with CR LF; the game's own lines stay as they were.
    library->AddCheat("NOBAR", "???", "d\r\n3\t4\r\n");
    ASSERT_TRUE(library->Save());
    EXPECT_EQ(Codes(), "*FIRST|Prefix game\n\n*NOBAR\n-c\n1 2\n--\n-d\r\n3 4\r\n--\r\n**\n");
    library->Load();
    EXPECT_EQ(library->games()[0].cheats.size(), 2u);

    // A CR LF further on decides every line before it.
    LineReader lines("a\nb\r\nc\r");
    std::size_t next = 0;
    EXPECT_EQ(lines.Line(0, next), "a\nb");
    EXPECT_EQ(lines.Line(next, next), "c");
    EXPECT_TRUE(lines.AtEnd(next));
}

TEST_F(CheatLibraryTest, GamesAfterAGameWithoutItsClosingLineAreKept) {
    const std::string broken =
        "\r\n*A|Alpha\r\n-One\r\n1 1\r\n--\r\n"  // no "**"
        "\r\n*B|Beta\r\n-Two\r\n2 2\r\n--\r\n**\r\n"
        "\r\n*C|Gamma\r\n-Three\r\n3 3\r\n--\r\n**\r\n";
    PutCodes(broken);
    auto library = Library();
    library->Load();
    ASSERT_EQ(library->games().size(), 3u);  // the broken game ends where the next begins
    EXPECT_TRUE(library->document().unreadable);

    // An edit adds a game in name order; the broken game stays as it was.
    library->AddCheat("Z0000000Z", "Zeta", "Four\r\n4\t4\r\n");
    ASSERT_TRUE(library->Save());
    EXPECT_EQ(Codes(), broken + "\r\n*Z0000000Z|Zeta\r\n-Four\r\n4 4\r\n--\r\n**\r\n");
    library->Load();
    ASSERT_EQ(library->games().size(), 4u);
    EXPECT_EQ(library->games()[3].name, "Zeta");

    // An unfinished cheat at the end is read and stays as it is.
    const std::string unfinished = "\r\n*A|Alpha\r\n-One\r\n1 1\r\n--\r\n-Half\r\n5 5\r\n";
    PutCodes(unfinished);
    library->Load();
    ASSERT_EQ(library->games()[0].cheats.size(), 2u);
    EXPECT_EQ(library->games()[0].cheats[1].data, "Half\r\n5\t5\r\n");
    ASSERT_TRUE(library->Save());
    EXPECT_EQ(Codes(), unfinished);
}

TEST_F(CheatLibraryTest, ActiveChoiceSurvivesARestartAndIsClearedWhenItNoLongerMatches) {
    PutCodes(kTwoGames);
    {
        auto library = Library();
        library->Load();
        EXPECT_FALSE(ChoiceValue());
        library->Activate({0, 1});
        EXPECT_EQ(ChoiceValue(), std::string("SLUS_001.23|Racer\r\n*All cars\r\n80020000\tFFFF\r\n") + '\0');
        library->Activate({0, 0});
        EXPECT_EQ(ChoiceValue(),
                  "SLUS_001.23|Racer\r\n*Infinite time\r\n80012345\t0063\r\nD0011111\t0001\r\n"
                  "*All cars\r\n80020000\tFFFF\r\n" +
                      std::string(1, '\0'));
        library->Save();  // nothing changed in the file: it stays as it was
    }
    {
        auto library = Library();
        EXPECT_EQ(library->Load(), 0);
        EXPECT_TRUE(library->games()[0].active);
        EXPECT_TRUE(library->games()[0].cheats[0].active && library->games()[0].cheats[1].active);
        // Activating a cheat of another game drops the previous game.
        library->Activate({1, 0});
        EXPECT_FALSE(library->games()[0].active || library->games()[0].cheats[0].active);
        EXPECT_EQ(ChoiceValue(), std::string("SCES_000.01|Fighter\r\n*Power\r\n80030000\t0010\r\n") + '\0');
        // Deactivating its last active cheat deactivates the game: no value.
        library->Toggle({1, 0});
        EXPECT_FALSE(library->games()[1].active);
        EXPECT_FALSE(ChoiceValue());
        library->Activate({1, -1});
    }
    // Changed outside the tool: the choice no longer matches and is cleared.
    std::string edited = Codes();
    edited.replace(edited.find("80030000 0010"), 13, "80030000 0011");
    PutCodes(edited);
    {
        auto library = Library();
        EXPECT_FALSE(library->Load());
        EXPECT_FALSE(library->games()[1].active || library->games()[1].cheats[0].active);
        EXPECT_FALSE(ChoiceValue());
    }
    // A value of a single line changes nothing and stays.
    registry_->SetValue(kUser, kCheatsKey, kCheatsValue, kRegBinary, Bytes{'S', 'C', 'E', 'S', 0});
    EXPECT_FALSE(Library()->Load());
    EXPECT_TRUE(ChoiceValue());
    // A game without a cheat list after its line: cleared.
    const std::string bare = "SCES_000.01|Fighter\r\n";
    registry_->SetValue(kUser, kCheatsKey, kCheatsValue, kRegBinary, Bytes(bare.begin(), bare.end()));
    EXPECT_FALSE(Library()->Load());
    EXPECT_FALSE(ChoiceValue());
}

TEST_F(CheatLibraryTest, DeleteTakesTheGameWithItsLastCheat) {
    PutCodes(kTwoGames);
    auto library = Library();
    library->Load();
    library->Activate({0, 1});
    ASSERT_TRUE(library->Delete({0, 1}));  // the only active cheat: the game is no longer active
    EXPECT_FALSE(library->games()[0].active);
    EXPECT_FALSE(ChoiceValue());
    ASSERT_TRUE(library->Delete({1, 0}));  // the last cheat of "Fighter"
    ASSERT_EQ(library->games().size(), 1u);
    library->Load();
    ASSERT_EQ(library->games().size(), 1u);
    EXPECT_EQ(library->games()[0].cheats.size(), 1u);
    EXPECT_EQ(Codes().substr(0, 39), "Cheat library of my own\r\nmade by hand\r\n");
}

TEST_F(CheatLibraryTest, NewGamesGoInNameOrderAndCheatsAreFoundByName) {
    PutCodes(kTwoGames);  // "Racer", "Fighter": not sorted
    auto library = Library();
    library->Load();
    EXPECT_EQ(library->AddCheat("SLUS_999.99", "Sailor", "S\r\n1\t1\r\n").game, 2);  // after "Fighter"
    EXPECT_EQ(library->AddCheat("SLUS_999.99", "Alpha", "A\r\n1\t1\r\n").game, 0);   // none smaller
    EXPECT_EQ(library->AddCheat("SLUS_999.99", "Sailor", "T\r\n1\t1\r\n"), (CheatRef{3, 1}));
    EXPECT_EQ(library->FindCheat("SLUS_999.99|Sailor", "T"), (CheatRef{3, 1}));
    EXPECT_FALSE(library->FindCheat("SLUS_999.98|Sailor", "T"));
    EXPECT_EQ(GameInsertPosition(library->games(), "Zorro"), 4u);
}

TEST_F(CheatLibraryTest, ChtImportAddsOnceAndReportsTheSecondTime) {
    PutCodes(kTwoGames);
    const std::string cht = Put("racer.cht", "#  Street Racer\r\n80012345 63\r\nd001abcd\r\n0 0\r\n80000000 1\r\n");
    auto library = Library();
    library->Load();
    EXPECT_EQ(library->Import(cht).added, 1);
    const auto game = library->FindGame("NO_ID_000|Street Racer");
    ASSERT_TRUE(game);
    EXPECT_EQ(*game, 2);  // after "Fighter", the last smaller name
    EXPECT_EQ(library->games()[2].cheats[0].data, "Cheat\r\n80012345\t0063\r\nD001ABCD\t0000\r\n");
    EXPECT_EQ(library->Import(cht).added, 0);
    library->Load();
    EXPECT_TRUE(library->FindGame("NO_ID_000|Street Racer"));

    // Not a single cheat file: no "#", too long, no code.
    EXPECT_EQ(library->Import(Put("bad.cht", "Street\r\n1 1\r\n")).added, 0);
    EXPECT_EQ(library->Import(Put("long.cht", "#Long\r\n" + std::string(40000, '1'))).added, 0);
    EXPECT_EQ(library->Import(Put("empty.cht", "#Empty\r\n0 0\r\n")).added, 0);
    EXPECT_EQ(library->Import("C:\\epsxe\\missing.cht").added, 0);
}

TEST_F(CheatLibraryTest, CheatTextFilesInBothGrammars) {
    const std::string text =
        "\r\n*SLUS_001.23|Racer\r\n-Dropped\r\n1 1\r\n--\r\n**\r\n"  // exists: skipped
        "\r\n*SLUS_777.77|Puzzle\r\n-Easy\r\n7 7\r\n--\r\n**\r\n"
        "# PSEmu/AR part\r\n"
        "\"Bouncer\"\r\n"
        "\r\n"
        "\"Infinite lives\"\r\n"
        "800a0000 0063\r\n"
        "# comment\r\n"
        "800a0002 0001\r\n"
        "\"Moon jump\r\n"
        "d00b0000 ffff\r\n"
        ".end\r\n"
        "notes between games\r\n"
        "\"Archer\"\r\n"
        "\"Arrows\"\r\n"
        "80000000 0009\r\n"
        ".stop\r\n"
        "\"Never read\"\r\n";
    PutCodes(kTwoGames);
    auto library = Library();
    library->Load();
    EXPECT_EQ(library->Import(Put("mixed.txt", text)).added, 3);
    std::vector<std::string> keys;
    for (const CheatGame& game : library->games()) keys.push_back(game.Key());
    // Each after the last game whose name is smaller: the unsorted library stays as it is around them.
    EXPECT_EQ(keys, (std::vector<std::string>{"S????????|Archer", "S????????|Bouncer", "SLUS_001.23|Racer",
                                              "SCES_000.01|Fighter", "SLUS_777.77|Puzzle"}));
    const CheatGame& bouncer = library->games()[1];
    ASSERT_EQ(bouncer.cheats.size(), 2u);
    EXPECT_EQ(bouncer.cheats[0].data, "Infinite lives\r\n800A0000\t0063\r\n800A0002\t0001\r\n");
    EXPECT_EQ(bouncer.cheats[1].data, "Moon jump\r\nD00B0000\tFFFF\r\n");
    EXPECT_EQ(library->games()[2].cheats.size(), 2u);  // "Racer" untouched
    // Saved at once, read back the same.
    auto again = Library();
    again->Load();
    EXPECT_EQ(again->games().size(), 5u);
    EXPECT_EQ(library->Import(Put("mixed.txt", text)).added, 0);
    EXPECT_EQ(library->Import(Put("nothing.txt", "just words\r\n")).added, 0);
}

TEST_F(CheatLibraryTest, NoFileGivesAnEmptyLibraryAndTheFirstSaveMakesOne) {
    std::filesystem::remove_all(workspace_->host() + "/Cheats");
    auto library = Library();
    library->Load();
    EXPECT_TRUE(library->games().empty());
    library->AddCheat("SLUS_000.00", "New", std::string("Long\r\n") + std::string(20000, 'A') + "\r\n");
    ASSERT_TRUE(library->Save());
    library->Load();
    ASSERT_EQ(library->games().size(), 1u);
    EXPECT_EQ(library->games()[0].cheats[0].data.size(), 6u + 20002u);  // no 16 KiB limit
}

// What a cheat text gives must fit Codes.txt: read back, the library holds
// exactly the games and cheats the import added, no more.
TEST_F(CheatLibraryTest, ArImportStoresOnlyWhatCodesTxtReadsBack) {
    // No CR LF anywhere: lines end at CR, so the LFs stay inside the lines.
    const std::string text =
        "\"Jumper\nTwo\r"
        "\"Lives\nfor ever\r"
        "800a0000 0063\n800a0002 0001\r"
        "-80000000 1\r"  // would read back as a cheat "80000000 1"
        " **\r"          // would close the game
        "\t--\r"         // would close the cheat
        "d00b0000 ffff\r"
        "\"-\r"  // a name "-" would be the closing line "--"
        "80000001 0002\r"
        ".end\r";
    PutCodes(kTwoGames);
    auto library = Library();
    library->Load();
    EXPECT_EQ(library->ImportText(text, false).added, 1);

    auto again = Library();
    again->Load();
    ASSERT_EQ(again->games().size(), 3u);
    const auto index = again->FindGame("S????????|Jumper Two");
    ASSERT_TRUE(index);
    const CheatGame& game = again->games()[*index];
    ASSERT_EQ(game.cheats.size(), 2u);
    EXPECT_EQ(game.cheats[0].data, "Lives for ever\r\n800A0000\t0063\r\n800A0002\t0001\r\nD00B0000\tFFFF\r\n");
    EXPECT_EQ(game.cheats[1].data, " -\r\n80000001\t0002\r\n");
    EXPECT_EQ(game.cheats[0].data, library->games()[*index].cheats[0].data);
    EXPECT_EQ(game.cheats[1].data, library->games()[*index].cheats[1].data);
}

TEST_F(CheatLibraryTest, ChtNameWithALoneLineEndStaysOneGame) {
    PutCodes(kTwoGames);
    auto library = Library();
    library->Load();
    // No CR LF: the name line ends at CR and keeps its LF.
    EXPECT_EQ(library->ImportText("#Street\nRacer\r80012345 63\r", true).added, 1);
    auto again = Library();
    again->Load();
    EXPECT_EQ(again->games().size(), 3u);
    EXPECT_TRUE(again->FindGame("NO_ID_000|Street Racer"));
}
