// Codes.txt. The input's first byte picks an edit as the tool's commands make
// them (a new game, a new cheat, an edited, deleted cheat, a deleted game, or
// none), the rest is the file. Read and written with no change it is the same
// bytes; after the edit every cheat that could be read before is still there
// with its data (less what the edit removed), every game in its place, every
// piece of unread text still in the file; and two saves equal one.

#include <algorithm>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_check.h"
#include "tool/core/codes_document.h"

using namespace dravolo::tool;

namespace {

// Every cheat as "KEY\nDATA", sorted. A cheat written anew has its tabs
// written as blanks (the library's own form; code lines read back with tabs
// again, a name keeps the blank), so tabs and blanks count as one here.
std::vector<std::string> Cheats(const CodesDocument& document) {
    std::vector<std::string> out;
    for (const CheatGame& game : document.games) {
        for (const Cheat& cheat : game.cheats) {
            std::string item = game.Key() + "\n" + cheat.data;
            std::replace(item.begin(), item.end(), '\t', ' ');
            out.push_back(std::move(item));
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> Keys(const CodesDocument& document) {
    std::vector<std::string> out;
    for (const CheatGame& game : document.games) out.push_back(game.Key());
    return out;
}

std::string Blanks(std::string item) {
    std::replace(item.begin(), item.end(), '\t', ' ');
    return item;
}

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

void Remove(std::vector<std::string>& all, const std::string& item) {
    const auto at = std::find(all.begin(), all.end(), item);
    if (at != all.end()) all.erase(at);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const unsigned choice = data[0];
    const std::string file(dravolo::fuzz::AsText(data + 1, size - 1));

    CodesDocument document = ReadCodesDocument(file);
    FUZZ_CHECK(document.text.size() == document.games.size() + 1);
    FUZZ_CHECK(WriteCodesDocument(document) == file);
    // Load, save, load: every cheat, every game.
    const CodesDocument reread = ReadCodesDocument(WriteCodesDocument(document));
    FUZZ_CHECK(Cheats(reread) == Cheats(document));
    FUZZ_CHECK(Keys(reread) == Keys(document));

    const std::vector<std::string> unread = UnreadPieces(document);
    std::vector<std::string> cheats = Cheats(document);
    std::vector<std::string> keys = Keys(document);
    const std::size_t games = document.games.size();
    switch (choice % 6) {
    case 0: {
        CheatGame game;
        game.id = "NEW_00.001";
        game.name = "New game";
        game.cheats.push_back(Cheat{"Fresh\r\n80000000\t0001\r\n", false, {}});
        const std::size_t at = games == 0 ? 0 : (choice / 6) % (games + 1);
        keys.insert(keys.begin() + static_cast<std::ptrdiff_t>(at), game.Key());
        cheats.push_back(Blanks(game.Key() + "\nFresh\r\n80000000\t0001\r\n"));
        InsertGame(document, at, std::move(game));
        break;
    }
    case 1:
        if (games > 0) {
            CheatGame& game = document.games[(choice / 6) % games];
            AppendCheat(game, Cheat{"Added\r\n80000002\t0002\r\n", false, {}});
            cheats.push_back(Blanks(game.Key() + "\nAdded\r\n80000002\t0002\r\n"));
        }
        break;
    case 2:
        if (games > 0 && !document.games[(choice / 6) % games].cheats.empty()) {
            CheatGame& game = document.games[(choice / 6) % games];
            Cheat& cheat = game.cheats[(choice / 6) % game.cheats.size()];
            Remove(cheats, Blanks(game.Key() + "\n" + cheat.data));
            ReplaceCheatData(cheat, cheat.Name() + "\r\n12345678\tABCD\r\n");
            cheats.push_back(Blanks(game.Key() + "\n" + cheat.data));
        }
        break;
    case 3:
        if (games > 0 && !document.games[(choice / 6) % games].cheats.empty()) {
            CheatGame& game = document.games[(choice / 6) % games];
            const std::size_t index = (choice / 6) % game.cheats.size();
            Remove(cheats, Blanks(game.Key() + "\n" + game.cheats[index].data));
            EraseCheat(game, index);
        }
        break;
    case 4:
        if (games > 0) {
            const std::size_t index = (choice / 6) % games;
            for (const Cheat& cheat : document.games[index].cheats)
                Remove(cheats, Blanks(document.games[index].Key() + "\n" + cheat.data));
            keys.erase(keys.begin() + static_cast<std::ptrdiff_t>(index));
            EraseGame(document, index);
        }
        break;
    default: break;
    }
    std::sort(cheats.begin(), cheats.end());

    const std::string once = WriteCodesDocument(document);
    const CodesDocument again = ReadCodesDocument(once);
    FUZZ_CHECK(WriteCodesDocument(again) == once);  // two saves equal one
    FUZZ_CHECK(Cheats(again) == cheats);
    FUZZ_CHECK(Keys(again) == keys);
    for (const std::string& piece : unread) FUZZ_CHECK(once.find(piece) != std::string::npos);
    return 0;
}
