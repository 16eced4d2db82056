#pragma once
// The cheats of the library and the two kinds of files it imports: single
// ".cht" cheats and cheat text files in the library's own grammar or the
// PSEmu/AR one. Codes.txt itself is read and written by codes_document.h.
//
// Codes.txt as the library writes it (CR LF throughout):
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
    // The cheat's lines as Codes.txt held them ("-NAME", the code lines, "--"),
    // written back as they are; empty for a new or changed cheat, which is
    // written from its data.
    std::string source;
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

    // Where the game stood in Codes.txt: its header line with the line end
    // before it, the text between its cheats that is no cheat (gaps[k] before
    // cheat k, gaps.back() after the last one) and its closing "**" line
    // (empty when the file had none). An empty header marks a new game,
    // written whole in the library's own form.
    std::string header;
    std::vector<std::string> gaps;
    std::string closing;
};

// How the import files' lines are read. A line starting at `pos` ends: at the next CR LF in the rest of the
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

// A ".cht" file: "#" and the game name, then "ADDRESS VALUE" lines up to the
// first whose address is 0 or missing. The game ("NO_ID_000") gets one cheat
// "Cheat". False when the file is not one (too long, no "#", no code line).
inline constexpr std::size_t kChtMaxSize = 32678;
bool ReadChtFile(std::string_view text, CheatGame& game);

// The PSEmu/AR grammar from `start`: games after a line feed and a double
// quote ("S????????"), cheats on lines starting with a double quote, ".end"
// closing a game. What it gives fits Codes.txt: a CR or LF left inside a
// name is a blank, one inside a code line parts two code lines, a code line
// starting with "-" or "*" (no code, it would read back as a marker) is left
// out and a cheat name "-" gets a blank before it.
std::vector<CheatGame> ReadArGames(std::string_view text, std::size_t start);

}  // namespace dravolo::tool
