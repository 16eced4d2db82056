#pragma once
// Codes.txt as pieces that hold every byte of the file: the games and cheats
// the library grammar reads, and the text it cannot read (comments, stray
// lines, blank lines between cheats), kept at its place. Writing a document
// nobody changed gives the file back byte for byte; a changed or new game or
// cheat is written anew, and nothing else.
//
// Reading is forgiving where people edit by hand: a line ends at CR LF, LF or
// CR; markers may be indented; a cheat without its "--" line ends at the next
// line starting with "-" (the next cheat) or "*" (the game's "**", or the next
// game); a game without its "**" ends at the next game. Text that is no game
// header, cheat or closing line stays an opaque piece where it stood.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "tool/core/cheat_codes.h"

namespace dravolo::tool {

struct CodesDocument {
    std::vector<CheatGame> games;
    // Text of no game: text[0] before the first game (the free prefix),
    // text[k] between games k-1 and k, text.back() after the last game.
    // Always games.size() + 1 entries.
    std::vector<std::string> text{std::string()};
    // The file held something the strict grammar cannot read: text between or
    // after the games that is not blank, a line inside a game that is no
    // cheat, a cheat or game without its closing line, an indented marker.
    bool unreadable = false;
    // Where the games end in the text that was read: just after the last
    // game's closing line, or its last cheat when it has none; 0 without games.
    std::size_t gamesEnd = 0;
};

CodesDocument ReadCodesDocument(std::string_view text);
std::string WriteCodesDocument(const CodesDocument& document);

// Edits that keep the pieces in step with the games and cheats.
// A new game at index `at` of the games: after the prefix when it is the
// first, else right after the game before it.
void InsertGame(CodesDocument& document, std::size_t at, CheatGame game);
// The game goes; what it held that was no cheat stays where it was. A game
// before it that had no "**" gets one: it ended where this one began.
void EraseGame(CodesDocument& document, std::size_t index);
// After the game's last cheat (before whatever unread text followed it).
void AppendCheat(CheatGame& game, Cheat cheat);
// The cheat goes; the unread text around it stays. A cheat before it that had
// no "--" gets one.
void EraseCheat(CheatGame& game, std::size_t index);
// New data: the cheat is written anew from it.
void ReplaceCheatData(Cheat& cheat, std::string data);
// Forgets where a game came from (another file's layout), so that it is
// written in the library's own form.
void DropSourceLayout(CheatGame& game);

}  // namespace dravolo::tool
