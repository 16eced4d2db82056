#pragma once
// The cheat library's text, "Cheats\Codes.txt" in the emulator's folder, and
// the two kinds of files it imports: single ".cht" cheats and cheat text
// files in the library's own grammar or the PSEmu/AR one.
//
// Codes.txt as written (CR LF throughout):
//   free prefix, kept byte for byte
//   for every game:  "\r\n*ID|NAME\r\n", per cheat "-DATA--\r\n" (DATA is the
//   cheat name, CR LF, and its code lines each with CR LF, tabs as blanks),
//   then "**\r\n".

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dravolo::tool {

struct Cheat {
    // The cheat name, "\r\n", then every code line followed by "\r\n".
    std::string data;
    bool active = false;
    // The first line of the data.
    std::string Name() const;
};

struct CheatGame {
    std::string id;
    std::string name;
    std::vector<Cheat> cheats;
    bool active = false;
    // "ID|NAME": two games with one name and different identifiers differ.
    std::string Key() const { return id + "|" + name; }
};

// What a read of Codes.txt found. The text from the point where reading had
// to stop (a game block without its "**" line, a cheat without its "--" line,
// or anything after the last game) is kept in `tail`, to be written back after
// the games unchanged: no cheat is ever dropped because the file was damaged.
struct CodesText {
    std::string prefix;
    std::vector<CheatGame> games;
    std::string tail;
};

// Where a line starting at `pos` ends: at the next CR LF in the rest of the
// text; only when the rest holds no CR LF at all at the next CR, else at the
// next LF, else at the end.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}
    bool AtEnd(std::size_t pos) const { return pos >= text_.size(); }
    // The line's text, and the position of the next line in `next`.
    std::string_view Line(std::size_t pos, std::size_t& next);

private:
    std::size_t Find(std::string_view what, std::size_t pos, std::size_t& cache);

    std::string_view text_;
    std::size_t crlf_ = 0, cr_ = 0, lf_ = 0;
    bool crlfSet_ = false, crSet_ = false, lfSet_ = false;
};

// Code lines as they are kept: upper-cased (ASCII letters), blanks as tabs.
std::string NormaliseCodeLine(std::string_view line);

// A leading hexadecimal number as the C library reads one in base 16:
// blanks, an optional "0x", digits; saturates at 0xFFFFFFFF. nullopt without
// a digit.
std::optional<unsigned long> LeadingHex(std::string_view text);

CodesText ReadCodesText(std::string_view text);
// Everything before the first "\n*" without the CR before it (the whole text
// when there is none): what a save keeps of the present file.
std::string CodesPrefix(std::string_view text);
std::string WriteCodesText(std::string_view prefix, const std::vector<CheatGame>& games, std::string_view tail);

// Games of the library grammar starting at the first "\n*" at or after
// `start`. `stop` is where reading stopped: the line that ended it, or the
// end of the last "**" line; `start` when no game was found.
struct GamesRead {
    std::vector<CheatGame> games;
    std::size_t stop = 0;
    bool damaged = false;  // a game or cheat was not closed
};
GamesRead ReadCodesGames(std::string_view text, std::size_t start);

// A ".cht" file: "#" and the game name, then "ADDRESS VALUE" lines up to the
// first whose address is 0 or missing. The game ("NO_ID_000") gets one cheat
// "Cheat". False when the file is not one (too long, no "#", no code line).
inline constexpr std::size_t kChtMaxSize = 32678;
bool ReadChtFile(std::string_view text, CheatGame& game);

// The PSEmu/AR grammar from `start`: games after a line feed and a double
// quote ("S????????"), cheats on lines starting with a double quote, ".end"
// closing a game.
std::vector<CheatGame> ReadArGames(std::string_view text, std::size_t start);

}  // namespace dravolo::tool
