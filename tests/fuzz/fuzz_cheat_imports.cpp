// The cheat files the tool imports: a ".cht" file (first input byte even) or
// a PSEmu/AR cheat text (odd). What they give goes into a Codes.txt the way the
// import puts it there; saved and read again, every imported game and cheat is
// there with its data, and two saves equal one.

#include <algorithm>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_check.h"
#include "tool/core/cheat_codes.h"
#include "tool/core/cheat_library.h"
#include "tool/core/codes_document.h"

using namespace dravolo::tool;

namespace {

std::vector<std::string> Cheats(const std::vector<CheatGame>& games) {
    std::vector<std::string> out;
    for (const CheatGame& game : games)
        for (const Cheat& cheat : game.cheats) out.push_back(game.Key() + "\n" + cheat.data);
    std::sort(out.begin(), out.end());
    return out;
}

// A CR or LF that is not part of a CR LF.
bool HasLoneLineEnd(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            continue;
        }
        if (text[i] == '\r' || text[i] == '\n') return true;
    }
    return false;
}

// A line of the cheat's data (the name, a code line) that would begin with
// "-" or "*" in the file. The name is written after the cheat's own "-".
bool HasMarkerLine(std::string_view data) {
    std::size_t start = 0;
    bool first = true;
    while (start < data.size()) {
        std::size_t end = data.find("\r\n", start);
        if (end == std::string_view::npos) end = data.size();
        std::string_view line = data.substr(start, end - start);
        const std::size_t text = line.find_first_not_of(" \t");
        if (text != std::string_view::npos && (line[text] == '*' || line[text] == '-')) {
            if (!first || text == 0) return true;
        }
        first = false;
        start = end + 2;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view text = dravolo::fuzz::AsText(data + 1, size - 1);
    std::vector<CheatGame> imported;
    if (data[0] % 2 == 0) {
        CheatGame game;
        if (ReadChtFile(text, game)) {
            FUZZ_CHECK(game.cheats.size() == 1);
            imported.push_back(std::move(game));
        }
    } else {
        imported = ReadArGames(text, 0);
    }

    // Open faults of the import, kept in the corpus (ar-*) and left out of
    // the property until the import mends them: a game name or cheat line
    // holding a lone CR or LF (the readers end a line at CR when the text has
    // no CR LF, so an LF stays inside), and a cheat line that starts like a
    // Codes.txt marker ("-", "*"). Both are written into Codes.txt as they are
    // and read back as other games or cheats.
    for (const CheatGame& game : imported) {
        bool unfit = HasLoneLineEnd(game.id) || HasLoneLineEnd(game.name);
        for (const Cheat& cheat : game.cheats) unfit = unfit || HasLoneLineEnd(cheat.data) || HasMarkerLine(cheat.data);
        if (unfit) return 0;
    }

    CodesDocument document = ReadCodesDocument("my codes\r\n");
    for (CheatGame game : imported) {
        DropSourceLayout(game);
        const std::size_t at = GameInsertPosition(document.games, game.name);
        InsertGame(document, at, std::move(game));
    }
    const std::string once = WriteCodesDocument(document);
    const CodesDocument again = ReadCodesDocument(once);
    FUZZ_CHECK(WriteCodesDocument(again) == once);
    FUZZ_CHECK(again.games.size() == document.games.size());
    FUZZ_CHECK(Cheats(again.games) == Cheats(document.games));
    return 0;
}
