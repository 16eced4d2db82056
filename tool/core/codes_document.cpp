#include "tool/core/codes_document.h"

#include <algorithm>

namespace dravolo::tool {

namespace {

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimLeft(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    return text;
}

std::string_view Trim(std::string_view text) {
    text = TrimLeft(text);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool IsBlankText(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return IsBlank(c) || IsLineEnd(c); });
}

// One line: its text runs from start to end, its line end from end to next.
struct Line {
    std::size_t start = 0;
    std::size_t end = 0;
    std::size_t next = 0;
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsLineEnd(text[i])) continue;
        const std::size_t next = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? i + 2 : i + 1;
        lines.push_back({start, i, next});
        start = next;
        i = next - 1;
    }
    if (start < text.size()) lines.push_back({start, text.size(), text.size()});
    return lines;
}

// Reads the lines into pieces. Every byte of the text lands in exactly one
// piece: a line's bytes with its line end, except that the line end before a
// game header belongs to the header, as the library writes games
// ("\r\n*ID|NAME").
class DocumentReader {
public:
    explicit DocumentReader(std::string_view text) : text_(text), lines_(SplitLines(text)) {}

    CodesDocument Read() {
        CodesDocument document;
        std::size_t i = 0;
        while (i < lines_.size()) {
            if (IsHeader(i)) {
                document.games.push_back(ReadGame(i, document));
                document.text.emplace_back();
                continue;
            }
            // The free prefix is the library's own; text after a game is not.
            if (!document.games.empty() && !IsBlankText(Content(i))) document.unreadable = true;
            document.text.back() += Span(i);
            ++i;
        }
        return document;
    }

private:
    std::string_view Content(std::size_t i) const {
        return text_.substr(lines_[i].start, lines_[i].end - lines_[i].start);
    }
    // A game header: a line starting with "*" (blanks before it tolerated)
    // that is not a closing "**". Never the first line: a game there is part
    // of the prefix.
    bool IsHeader(std::size_t i) const {
        if (i == 0 || i >= lines_.size()) return false;
        const std::string_view content = Content(i);
        return TrimLeft(content).starts_with('*') && Trim(content) != "**";
    }
    std::size_t SpanStart(std::size_t i) const { return IsHeader(i) ? lines_[i - 1].end : lines_[i].start; }
    std::size_t SpanEnd(std::size_t i) const { return IsHeader(i + 1) ? lines_[i].end : lines_[i].next; }
    std::string_view Span(std::size_t i) const { return text_.substr(SpanStart(i), SpanEnd(i) - SpanStart(i)); }

    CheatGame ReadGame(std::size_t& i, CodesDocument& document) {
        CheatGame game;
        const std::string_view content = Content(i);
        const std::string_view marked = TrimLeft(content);
        if (marked.size() != content.size()) document.unreadable = true;
        const std::string_view key = marked.substr(1);
        const auto bar = key.find('|');
        game.id = std::string(key.substr(0, bar));
        game.name = bar == std::string_view::npos ? "???" : std::string(key.substr(bar + 1));
        game.header = Span(i);
        game.gaps.emplace_back();
        document.gamesEnd = SpanEnd(i);
        ++i;
        while (i < lines_.size() && !IsHeader(i)) {
            const std::string_view line = Content(i);
            const std::string_view trimmed = Trim(line);
            if (trimmed == "**") {
                if (trimmed.size() != line.size()) document.unreadable = true;
                game.closing = Span(i);
                document.gamesEnd = SpanEnd(i);
                ++i;
                return game;
            }
            if (TrimLeft(line).starts_with('-') && trimmed != "--") {
                game.cheats.push_back(ReadCheat(i, game, document));
                continue;
            }
            // A blank line, a comment, a stray "--": kept where it stands.
            document.unreadable = true;
            game.gaps.back() += Span(i);
            ++i;
        }
        document.unreadable = true;  // no "**"
        return game;
    }

    // The cheat starting at line i; leaves i at the first line after it.
    Cheat ReadCheat(std::size_t& i, CheatGame& game, CodesDocument& document) {
        Cheat cheat;
        const std::string_view content = Content(i);
        const std::string_view marked = TrimLeft(content);
        if (marked.size() != content.size()) document.unreadable = true;
        cheat.data = std::string(marked.substr(1)) + "\r\n";
        cheat.source = Span(i);
        const std::size_t first = i++;
        std::vector<std::size_t> codes;
        while (i < lines_.size() && !IsHeader(i)) {
            const std::string_view line = Content(i);
            const std::string_view trimmed = Trim(line);
            if (trimmed == "--") {
                if (trimmed.size() != line.size()) document.unreadable = true;
                for (std::size_t code : codes) AddCode(cheat, code);
                cheat.source += Span(i);
                document.gamesEnd = SpanEnd(i);
                ++i;
                game.gaps.emplace_back();
                return cheat;
            }
            const std::string_view marked2 = TrimLeft(line);
            if (marked2.starts_with('-') || marked2.starts_with('*')) break;
            codes.push_back(i);
            ++i;
        }
        // No "--": blank lines at its end lead to what follows, they are no codes.
        document.unreadable = true;
        std::size_t last = codes.size();
        while (last > 0 && IsBlankText(Content(codes[last - 1]))) --last;
        for (std::size_t k = 0; k < last; ++k) AddCode(cheat, codes[k]);
        document.gamesEnd = SpanEnd(last > 0 ? codes[last - 1] : first);
        game.gaps.emplace_back();
        for (std::size_t k = last; k < codes.size(); ++k) game.gaps.back() += Span(codes[k]);
        return cheat;
    }

    void AddCode(Cheat& cheat, std::size_t line) const {
        cheat.data += NormaliseCodeLine(Content(line));
        cheat.data += "\r\n";
        cheat.source += Span(line);
    }

    std::string_view text_;
    std::vector<Line> lines_;
};

// Joins pieces; where two pieces that were not neighbours in the file meet
// without a line end between them, one is put in, so no line runs into the
// next. Pieces read from one file always meet at a line end.
void Append(std::string& out, std::string_view piece) {
    if (piece.empty()) return;
    if (!out.empty() && !IsLineEnd(out.back()) && !IsLineEnd(piece.front())) out += "\r\n";
    out += piece;
}

std::string CheatText(const Cheat& cheat) {
    if (!cheat.source.empty()) return cheat.source;
    std::string data = cheat.data;
    std::replace(data.begin(), data.end(), '\t', ' ');
    return "-" + data + "--\r\n";
}

std::string_view Gap(const CheatGame& game, std::size_t k) {
    return k < game.gaps.size() ? std::string_view(game.gaps[k]) : std::string_view();
}

void AppendGame(std::string& out, const CheatGame& game) {
    if (game.header.empty()) {
        Append(out, "\r\n*" + game.id + "|" + game.name + "\r\n");
        for (const Cheat& cheat : game.cheats) Append(out, CheatText(cheat));
        Append(out, "**\r\n");
        return;
    }
    Append(out, game.header);
    for (std::size_t k = 0; k < game.cheats.size(); ++k) {
        Append(out, Gap(game, k));
        Append(out, CheatText(game.cheats[k]));
    }
    Append(out, Gap(game, game.cheats.size()));
    Append(out, game.closing);
}

// The last line of a piece of text, without its line end.
std::string_view LastLine(std::string_view text) {
    while (!text.empty() && IsLineEnd(text.back())) text.remove_suffix(1);
    const auto end = text.find_last_of("\r\n");
    return end == std::string_view::npos ? text : text.substr(end + 1);
}

// A cheat or game read without its closing line ended where the next one
// began. When that next one goes, the closing line is put in, so that what
// followed is not read into it next time.
void CloseCheat(Cheat& cheat) {
    if (cheat.source.empty() || Trim(LastLine(cheat.source)) == "--") return;
    Append(cheat.source, "--\r\n");
}

void CloseGame(CheatGame& game) {
    if (game.header.empty() || !game.closing.empty()) return;
    if (!game.cheats.empty()) CloseCheat(game.cheats.back());
    game.closing = "**\r\n";
}

// Gaps for every cheat, so that edits can keep them in step.
void EnsureGaps(CheatGame& game) {
    if (game.gaps.size() < game.cheats.size() + 1) game.gaps.resize(game.cheats.size() + 1);
}

}  // namespace

CodesDocument ReadCodesDocument(std::string_view text) { return DocumentReader(text).Read(); }

std::string WriteCodesDocument(const CodesDocument& document) {
    std::string out;
    out.reserve(document.text.front().size() + 64 * document.games.size());
    for (std::size_t k = 0; k < document.games.size(); ++k) {
        if (k < document.text.size()) Append(out, document.text[k]);
        AppendGame(out, document.games[k]);
    }
    for (std::size_t k = document.games.size(); k < document.text.size(); ++k) Append(out, document.text[k]);
    return out;
}

void InsertGame(CodesDocument& document, std::size_t at, CheatGame game) {
    at = std::min(at, document.games.size());
    document.games.insert(document.games.begin() + static_cast<std::ptrdiff_t>(at), std::move(game));
    // The piece of text in front of the new game stays empty: the prefix
    // stays first, other text stays with the game it preceded.
    const std::size_t textAt = at == 0 ? 1 : at;
    document.text.insert(document.text.begin() + static_cast<std::ptrdiff_t>(textAt), std::string());
}

void EraseGame(CodesDocument& document, std::size_t index) {
    if (index >= document.games.size()) return;
    if (index > 0) CloseGame(document.games[index - 1]);
    std::string kept = document.text[index];
    for (const std::string& gap : document.games[index].gaps) Append(kept, gap);
    Append(kept, document.text[index + 1]);
    document.text[index] = std::move(kept);
    document.text.erase(document.text.begin() + static_cast<std::ptrdiff_t>(index + 1));
    document.games.erase(document.games.begin() + static_cast<std::ptrdiff_t>(index));
}

void AppendCheat(CheatGame& game, Cheat cheat) {
    EnsureGaps(game);
    // The new cheat's own gap goes before the text that followed the last one.
    game.gaps.insert(game.gaps.end() - 1, std::string());
    game.cheats.push_back(std::move(cheat));
}

void EraseCheat(CheatGame& game, std::size_t index) {
    if (index >= game.cheats.size()) return;
    if (index > 0) CloseCheat(game.cheats[index - 1]);
    EnsureGaps(game);
    Append(game.gaps[index], game.gaps[index + 1]);
    game.gaps.erase(game.gaps.begin() + static_cast<std::ptrdiff_t>(index + 1));
    game.cheats.erase(game.cheats.begin() + static_cast<std::ptrdiff_t>(index));
}

void ReplaceCheatData(Cheat& cheat, std::string data) {
    cheat.data = std::move(data);
    cheat.source.clear();
}

void DropSourceLayout(CheatGame& game) {
    game.header.clear();
    game.gaps.clear();
    game.closing.clear();
    for (Cheat& cheat : game.cheats) cheat.source.clear();
}

}  // namespace dravolo::tool
