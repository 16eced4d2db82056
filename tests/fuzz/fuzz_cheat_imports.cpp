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
