// Properties of the Codes.txt document over many generated files, tidy and
// damaged, and the damaged files people make by hand:
//   reading then writing with no change gives the same bytes;
//   writing what was written and read again gives the same bytes;
//   after an add, an edit or a delete every cheat that could be read before
//   is still there with its data, every game keeps its header as it was, and
//   every piece of unread text is still in the file; no game header is
//   rewritten or upper-cased, and none ends up inside a cheat.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "tool/core/codes_document.h"

using namespace dravolo::tool;

namespace {

class CodesFileMaker {
public:
    explicit CodesFileMaker(unsigned seed) : random_(seed) {}

    std::string Make() {
        lineEnd_ = Pick({"\r\n", "\r\n", "\r\n", "\n", "\r"});
        mixed_ = Chance(10);
        std::string text;
        if (Chance(50)) Line(text, Words());
        if (Chance(10)) Line(text, "*" + Key());  // a game on the first line is prefix
        const int games = Below(6);
        for (int g = 0; g < games; ++g) {
            if (Chance(30)) Line(text, Chance(50) ? "" : "; " + Words());
            Game(text);
        }
        if (Chance(20)) Line(text, Words());
        if (Chance(20)) text += Junk();
        if (!text.empty() && Chance(15)) {
            // The last line without its line end.
            while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
        }
        return text;
    }

private:
    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    bool Chance(int percent) { return Below(100) < percent; }
    std::string Pick(std::initializer_list<const char*> options) {
        return *(options.begin() + Below(static_cast<int>(options.size())));
    }
    std::string End() { return mixed_ ? Pick({"\r\n", "\n", "\r"}) : lineEnd_; }
    void Line(std::string& text, const std::string& line) { text += line + End(); }
    std::string Indent() { return Chance(8) ? Pick({" ", "\t", "  "}) : ""; }

    std::string Words() {
        static const char* const words[] = {"Infinite", "lives", "time", "MAX", "money", "Racer", "*",
                                            "-",        "|",     "**",   "--",  "é",     "x|y",   "\"quoted\""};
        std::string out;
        const int n = 1 + Below(4);
        for (int i = 0; i < n; ++i) out += std::string(i ? " " : "") + words[Below(14)];
        return out;
    }
    std::string Key() {
        std::string id = Pick({"SLUS_001.23", "SCES_000.01", "slps_123.45", "NO_ID_000", "S????????", ""});
        if (Chance(10)) return id;  // no bar
        return id + "|" + Words();
    }
    std::string Code() {
        static const char hex[] = "0123456789abcdefABCDEF";
        std::string out;
        for (int i = 0; i < 8; ++i) out += hex[Below(22)];
        out += Pick({" ", "\t", "  ", " \t"});
        for (int i = 0; i < 4; ++i) out += hex[Below(22)];
        return out;
    }
    std::string Junk() {
        std::string out;
        const int n = Below(30);
        for (int i = 0; i < n; ++i) out += static_cast<char>(Below(256));
        return out;
    }

    void Game(std::string& text) {
        Line(text, Indent() + "*" + Key());
        const int cheats = Below(4);
        for (int c = 0; c < cheats; ++c) {
            if (Chance(10)) Line(text, Chance(50) ? "" : "# " + Words());
            Line(text, Indent() + "-" + Words());
            const int codes = Below(4);
            for (int k = 0; k < codes; ++k) Line(text, Code());
            if (Chance(5)) Line(text, "");
            if (!Chance(12)) Line(text, Indent() + "--" + (Chance(5) ? " " : ""));
        }
        if (Chance(5)) Line(text, "--");
        if (!Chance(12)) Line(text, Indent() + "**");
    }

    std::mt19937 random_;
    std::string lineEnd_;
    bool mixed_ = false;
};

const std::vector<std::string> kHandMade = {
    // The faults people met: an indented header, a blank line between two
    // cheats, comments between games, a cheat without its "--" line.
    "\r\n*A|Alpha\r\n-One\r\n1 1\r\n--\r\n**\r\n\r\n *B|Beta\r\n-Two\r\n2 2\r\n--\r\n**\r\n",
    "\r\n*A|Alpha\r\n-One\r\n1 1\r\n--\r\n\r\n-Two\r\n2 2\r\n--\r\n**\r\n\r\n*C|Gamma\r\n-Three\r\n3 3\r\n--\r\n**\r\n",
    "notes\r\n\r\n*A|Alpha\r\n-One\r\n1 1\r\n--\r\n**\r\n; between\r\n\r\n*C|Gamma\r\n-T\r\n3 3\r\n--\r\n**\r\n",
    "\r\n*A|Alpha\r\n-One\r\n1 1\r\n**\r\n\r\n*b|beta\r\n-x\r\nab ab\r\n--\r\n**\r\n",
    // Without "**", a game runs into the next; nothing after the last line end.
    "\r\n*A|Alpha\r\n-One\r\n1 1\r\n--\r\n\r\n*B|Beta\r\n-Two\r\n2 2\r\n--",
    "\r\n*A|Alpha\r\n-One\r\n1 1",
    "\r\n*A|Alpha\r\n*B|Beta\r\n-x\r\n1 1\r\n--\r\n**",
    // Other line ends, and the two mixed.
    "\n*A|Alpha\n-One\n1 1\n--\n**\n\n*B|Beta\n-Two\n2 2\n--\n**\n",
    "\r*A|Alpha\r-One\r1 1\r--\r**\r",
    "x\r\n\r\n*A|Alpha\n-One\r\n1 1\n--\r\n**\n",
    // Stray markers and text that is no game at all.
    "**\r\n--\r\n-lonely\r\n1 1\r\n--\r\n",
    "\r\n*A|Alpha\r\n--\r\n**\r\n**\r\n-after\r\n--\r\n",
    "",
    "\r\n",
    std::string("\0\r\n*\0|\0\r\n-\0\r\n--\r\n**\r\n", 19),
};

// Every cheat as "KEY\nDATA", and every game key, in order.
std::vector<std::string> Cheats(const CodesDocument& document) {
    std::vector<std::string> out;
    for (const CheatGame& game : document.games)
        for (const Cheat& cheat : game.cheats) out.push_back(game.Key() + "\n" + cheat.data);
    return out;
}
std::vector<std::string> Keys(const CodesDocument& document) {
    std::vector<std::string> out;
    for (const CheatGame& game : document.games) out.push_back(game.Key());
    return out;
}
// The unread pieces that hold more than blanks and line ends.
std::vector<std::string> UnreadPieces(const CodesDocument& document) {
    std::vector<std::string> out;
    const auto keep = [&](const std::string& piece) {
        if (piece.find_first_not_of(" \t\r\n") != std::string::npos) out.push_back(piece);
    };
    for (const std::string& piece : document.text) keep(piece);
    for (const CheatGame& game : document.games)
        for (const std::string& gap : game.gaps) keep(gap);
    return out;
}

// Removes the first occurrence of each of `gone` from `all`.
std::vector<std::string> Without(std::vector<std::string> all, const std::vector<std::string>& gone) {
    for (const std::string& item : gone) {
        const auto at = std::find(all.begin(), all.end(), item);
        if (at != all.end()) all.erase(at);
    }
    return all;
}

// One edit chosen by `choice`, as the tool's commands make them; what the
// cheats and keys should be afterwards.
struct Expected {
    std::vector<std::string> cheats;
    std::vector<std::string> keys;
};
Expected Edit(CodesDocument& document, unsigned choice) {
    Expected expected{Cheats(document), Keys(document)};
    const std::size_t games = document.games.size();
    switch (choice % 5) {
    case 0: {  // a new game
        CheatGame game;
        game.id = "NEW_00.001";
        game.name = "New game";
        game.cheats.push_back(Cheat{"Fresh\r\n80000000\t0001\r\n", false, {}});
        const std::size_t at = games == 0 ? 0 : choice % (games + 1);
        expected.keys.insert(expected.keys.begin() + static_cast<std::ptrdiff_t>(at), game.Key());
        expected.cheats.push_back(game.Key() + "\nFresh\r\n80000000\t0001\r\n");
        InsertGame(document, at, std::move(game));
        break;
    }
    case 1: {  // a new cheat in a game
        if (games == 0) break;
        CheatGame& game = document.games[choice % games];
        AppendCheat(game, Cheat{"Added\r\n80000002\t0002\r\n", false, {}});
        expected.cheats.push_back(game.Key() + "\nAdded\r\n80000002\t0002\r\n");
        break;
    }
    case 2: {  // an edited cheat
        if (games == 0 || document.games[choice % games].cheats.empty()) break;
        CheatGame& game = document.games[choice % games];
        Cheat& cheat = game.cheats[choice % game.cheats.size()];
        expected.cheats = Without(expected.cheats, {game.Key() + "\n" + cheat.data});
        ReplaceCheatData(cheat, cheat.Name() + "\r\n12345678\tABCD\r\n");
        expected.cheats.push_back(game.Key() + "\n" + cheat.data);
        break;
    }
    case 3: {  // a deleted cheat
        if (games == 0 || document.games[choice % games].cheats.empty()) break;
        CheatGame& game = document.games[choice % games];
        const std::size_t index = choice % game.cheats.size();
        expected.cheats = Without(expected.cheats, {game.Key() + "\n" + game.cheats[index].data});
        EraseCheat(game, index);
        break;
    }
    case 4: {  // a deleted game
        if (games == 0) break;
        const std::size_t index = choice % games;
        const CheatGame& game = document.games[index];
        std::vector<std::string> gone;
        for (const Cheat& cheat : game.cheats) gone.push_back(game.Key() + "\n" + cheat.data);
        expected.cheats = Without(expected.cheats, gone);
        expected.keys.erase(expected.keys.begin() + static_cast<std::ptrdiff_t>(index));
        EraseGame(document, index);
        break;
    }
    }
    return expected;
}

// A game's header line without the line ends around it.
std::string HeaderLine(std::string_view header) {
    while (!header.empty() && (header.front() == '\r' || header.front() == '\n')) header.remove_prefix(1);
    while (!header.empty() && (header.back() == '\r' || header.back() == '\n')) header.remove_suffix(1);
    return std::string(header);
}

std::vector<std::string> Sorted(std::vector<std::string> items) {
    std::sort(items.begin(), items.end());
    return items;
}

void CheckFile(const std::string& file, unsigned choice) {
    CodesDocument document = ReadCodesDocument(file);
    ASSERT_EQ(document.text.size(), document.games.size() + 1);
    ASSERT_EQ(WriteCodesDocument(document), file);
    for (const CheatGame& game : document.games) {
        if (!game.header.empty()) {
            ASSERT_EQ(game.gaps.size(), game.cheats.size() + 1);
        }
    }

    const std::vector<std::string> unread = UnreadPieces(document);
    const Expected expected = Edit(document, choice);
    // The header lines of the games that are still there, as the file had them.
    std::vector<std::string> headers;
    for (const CheatGame& game : document.games)
        if (!game.header.empty()) headers.push_back(HeaderLine(game.header));
    const std::string once = WriteCodesDocument(document);
    const CodesDocument again = ReadCodesDocument(once);
    ASSERT_EQ(WriteCodesDocument(again), once);
    EXPECT_EQ(Sorted(Cheats(again)), Sorted(expected.cheats));
    EXPECT_EQ(Keys(again), expected.keys);
    for (const std::string& piece : unread) EXPECT_NE(once.find(piece), std::string::npos) << piece;
    // No header is rewritten, upper-cased or taken into a cheat.
    std::vector<std::string> headersAgain;
    for (const CheatGame& game : again.games)
        if (!game.header.empty()) headersAgain.push_back(HeaderLine(game.header));
    for (const std::string& header : headers)
        EXPECT_NE(std::find(headersAgain.begin(), headersAgain.end(), header), headersAgain.end()) << header;
    for (const std::string& cheat : Cheats(again))
        for (const std::string& header : headers) {
            if (header.find_first_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos) continue;
            std::string upper = header;
            for (char& c : upper)
                if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            EXPECT_EQ(cheat.find(upper), std::string::npos) << cheat;
        }
}

}  // namespace

TEST(CodesDocumentProperties, GeneratedFilesKeepEveryByteAndEveryCheat) {
    for (unsigned seed = 1; seed <= 500; ++seed) {
        CodesFileMaker maker(seed);
        const std::string file = maker.Make();
        // Each kind of edit, at a place that differs from file to file.
        for (unsigned edit = 0; edit < 5; ++edit) {
            SCOPED_TRACE("seed " + std::to_string(seed) + ", edit " + std::to_string(edit));
            CheckFile(file, seed * 7919u * 5u + edit);
            if (HasFatalFailure() || HasNonfatalFailure()) return;
        }
    }
}

TEST(CodesDocumentProperties, HandMadeDamagedFilesThroughEveryEdit) {
    for (std::size_t i = 0; i < kHandMade.size(); ++i) {
        for (unsigned choice = 0; choice < 40; ++choice) {
            SCOPED_TRACE("file " + std::to_string(i) + ", edit " + std::to_string(choice));
            CheckFile(kHandMade[i], choice);
            if (HasFatalFailure() || HasNonfatalFailure()) return;
        }
    }
}

TEST(CodesDocumentProperties, WhatTheStrictGrammarCannotReadIsMarked) {
    EXPECT_FALSE(ReadCodesDocument("my codes\r\n\r\n*A|Alpha\r\n-One\r\n1 1\r\n--\r\n**\r\n\r\n").unreadable);
    for (const std::string& file : {kHandMade[0], kHandMade[1], kHandMade[2], kHandMade[3], kHandMade[4]})
        EXPECT_TRUE(ReadCodesDocument(file).unreadable) << file;
}
