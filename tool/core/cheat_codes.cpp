#include "tool/core/cheat_codes.h"

#include <cctype>
#include <cstdio>
#include <optional>

namespace dravolo::tool {

namespace {

constexpr std::string_view kNoNameId = "NO_ID_000";
constexpr std::string_view kArId = "S????????";

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// Names shown in the tree and written on one line: a tab would come back as
// a blank from Codes.txt and no longer match the stored active choice. A CR
// or LF the import's line rule left inside (a file without CR LF ends its
// lines at CR) would split the name into two lines there.
std::string NameText(std::string_view name) {
    std::string text(name);
    for (char& c : text)
        if (c == '\t' || IsLineEnd(c)) c = ' ';
    return text;
}

// The text after a leading double quote up to the next one, or the line's end.
std::string QuotedText(std::string_view line) {
    const std::string_view rest = line.substr(1);
    return NameText(rest.substr(0, rest.find('"')));
}

// A cheat name written as "-NAME": the line "--" (blanks around it allowed)
// closes a cheat in Codes.txt, so a name "-" gets a blank before it.
std::string CheatNameText(std::string_view line) {
    std::string name = QuotedText(line);
    if (name.starts_with('-') && name.find_last_not_of(" \t") == 0) name.insert(0, " ");
    return name;
}

// In Codes.txt a line starting with "-" or "*" (after blanks) is the next
// cheat, a closing line or the next game.
bool LooksLikeMarker(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && IsBlank(line[i])) ++i;
    return i < line.size() && (line[i] == '-' || line[i] == '*');
}

// The code lines in one line of the import: a CR or LF left inside it (see
// NameText) parts two codes. Empty parts are skipped as empty lines are. A
// part that would read back as a marker is no code ePSXe can apply (codes
// are hexadecimal), and written as it is it would cut the cheat short and
// turn the rest into another cheat or game; it is left out, so the cheat
// keeps its other codes.
void AppendCodeLines(Cheat& cheat, std::string_view line) {
    while (true) {
        std::size_t end = 0;
        while (end < line.size() && !IsLineEnd(line[end])) ++end;
        const std::string_view part = line.substr(0, end);
        if (!part.empty() && !LooksLikeMarker(part)) cheat.data += NormaliseCodeLine(part) + "\r\n";
        if (end >= line.size()) return;
        line.remove_prefix(end + 1);
    }
}

}  // namespace

std::string Cheat::Name() const {
    const auto end = data.find("\r\n");
    return data.substr(0, end);
}

std::size_t LineReader::Find(std::string_view what, std::size_t pos, std::size_t& cache) {
    bool& set = &cache == &crlf_ ? crlfSet_ : &cache == &cr_ ? crSet_ : lfSet_;
    // The first match at or after an earlier position is also the first at
    // or after this one while it lies ahead: long files stay linear.
    if (!set || (cache != std::string_view::npos && cache < pos)) {
        cache = text_.find(what, pos);
        set = true;
    }
    return cache;
}

std::string_view LineReader::Line(std::size_t pos, std::size_t& next) {
    if (pos >= text_.size()) {
        next = text_.size();
        return {};
    }
    std::size_t end = Find("\r\n", pos, crlf_);
    std::size_t skip = 2;
    if (end == std::string_view::npos) {
        skip = 1;
        end = Find("\r", pos, cr_);
        if (end == std::string_view::npos) end = Find("\n", pos, lf_);
    }
    if (end == std::string_view::npos) {
        next = text_.size();
        return text_.substr(pos);
    }
    next = end + skip;
    return text_.substr(pos, end - pos);
}

std::string NormaliseCodeLine(std::string_view line) {
    std::string code(line);
    for (char& c : code) c = c == ' ' ? '\t' : AsciiUpper(c);
    return code;
}

// A leading hexadecimal number as strtoul reads it in base 16: blanks, an
// optional "0x", digits; saturates at 0xFFFFFFFF. nullopt without a digit.
std::optional<unsigned long> LeadingHex(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i + 2 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2])))
        i += 2;
    unsigned long value = 0;
    bool any = false;
    for (; i < text.size() && std::isxdigit(static_cast<unsigned char>(text[i])); ++i) {
        any = true;
        const char c = AsciiUpper(text[i]);
        const unsigned digit = c <= '9' ? static_cast<unsigned>(c - '0') : static_cast<unsigned>(c - 'A' + 10);
        value = value > 0x0FFFFFFFul ? 0xFFFFFFFFul : value * 16 + digit;
    }
    if (!any) return std::nullopt;
    return value;
}

bool ReadChtFile(std::string_view text, CheatGame& game) {
    if (text.size() >= kChtMaxSize || text.empty() || text[0] != '#') return false;
    LineReader lines(text);
    std::size_t pos = 0;
    std::string_view name = lines.Line(1, pos);
    while (!name.empty() && (name.front() == ' ' || name.front() == '\t')) name.remove_prefix(1);
    game = CheatGame{};
    game.id = kNoNameId;
    game.name = NameText(name);
    Cheat cheat;
    cheat.data = "Cheat\r\n";
    bool anyCode = false;
    while (!lines.AtEnd(pos)) {
        std::size_t next = 0;
        const std::string_view line = lines.Line(pos, next);
        pos = next;
        const auto address = LeadingHex(line);
        if (!address || *address == 0) break;
        const auto blank = line.find(' ');
        const unsigned long value =
            blank == std::string_view::npos ? 0 : LeadingHex(line.substr(blank + 1)).value_or(0);
        // Kept as lines from Codes.txt are, so the active choice still
        // matches after the next start.
        char code[32];
        std::snprintf(code, sizeof code, "%08lX\t%04lX\r\n", *address, value);
        cheat.data += code;
        anyCode = true;
    }
    if (!anyCode) return false;
    game.cheats.push_back(std::move(cheat));
    return true;
}

std::vector<CheatGame> ReadArGames(std::string_view text, std::size_t start) {
    std::vector<CheatGame> games;
    LineReader lines(text);
    // pos is always the start of a line.
    const auto gameAt = [&](std::size_t from) -> std::size_t {
        if (from < text.size() && text[from] == '"') return from;
        const auto quote = text.find("\n\"", from);
        return quote == std::string_view::npos ? quote : quote + 1;
    };
    std::size_t pos = gameAt(start);
    while (pos != std::string_view::npos && pos < text.size()) {
        std::size_t next = 0;
        CheatGame game;
        game.id = kArId;
        game.name = QuotedText(lines.Line(pos, next));
        pos = next;
        std::optional<Cheat> cheat;
        bool ended = false;
        while (!lines.AtEnd(pos)) {
            std::size_t after = 0;
            const std::string_view line = lines.Line(pos, after);
            if (line.empty() || line[0] == '#') {
                pos = after;
                continue;
            }
            if (line[0] == '"') {
                if (cheat) game.cheats.push_back(std::move(*cheat));
                cheat = Cheat{CheatNameText(line) + "\r\n", false, {}};
                pos = after;
                continue;
            }
            if (line == ".end") {
                ended = true;
                pos = after;
                break;
            }
            if (line[0] == '.' || !cheat) break;  // ends the import
            AppendCodeLines(*cheat, line);
            pos = after;
        }
        if (cheat) game.cheats.push_back(std::move(*cheat));
        games.push_back(std::move(game));
        if (!ended) break;
        pos = gameAt(pos);
    }
    return games;
}

}  // namespace dravolo::tool
