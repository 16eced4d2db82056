#pragma once
// The "Cheats" tab's library: the games and cheats of Codes.txt, the active
// choice kept as the value "Cheats" of the active configuration area, and
// every change the tab makes. Content changes rewrite Codes.txt at once,
// activity changes rewrite "Cheats" at once.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/platform/registry.h"
#include "tool/core/cheat_codes.h"
#include "tool/core/codes_document.h"

namespace dravolo::tool {

inline constexpr const char* kCheatsKey = "Software\\Vision Thing\\PSEmu Pro\\Kestrine";
inline constexpr const char* kCheatsValue = "Cheats";

// State images of the cheat tree.
inline constexpr int kImageGame = 9;
inline constexpr int kImageActiveGame = 10;
inline constexpr int kImageCheat = 11;
inline constexpr int kImageActiveCheat = 12;

// A game, or one of its cheats when cheat >= 0.
struct CheatRef {
    int game = -1;
    int cheat = -1;
    bool isCheat() const { return cheat >= 0; }
    bool operator==(const CheatRef&) const = default;
};

// The active choice as "Cheats" holds it: "ID|NAME\r\n", then "*" and the
// data of every active cheat of the active game. Empty when no game is active.
std::string ActiveChoiceText(const std::vector<CheatGame>& games);

enum class ChoiceMatch { Unchanged, Applied, Mismatch };
// Marks the game and cheats the stored text names. Mismatch (nothing left
// active) when the game or a cheat is not found or no cheat list follows;
// Unchanged for a text of a single line.
ChoiceMatch ApplyActiveChoice(std::vector<CheatGame>& games, std::string_view text);

// Where a new game goes: after the last game whose name compares smaller
// byte by byte, first when there is none.
std::size_t GameInsertPosition(const std::vector<CheatGame>& games, std::string_view name);

class CheatLibrary {
public:
    // emulatorDirectory: the folder of ePSXe.EXE; the library is
    // "Cheats\Codes.txt" in it.
    CheatLibrary(Registry& registry, std::string emulatorDirectory);

    std::string CodesPath() const;
    // "Codes.txt.bak" beside it: the file as it was before the first change
    // to a file that held text the library could not read.
    std::string BackupPath() const;
    const std::vector<CheatGame>& games() const { return document_.games; }
    const CodesDocument& document() const { return document_; }

    // Reads Codes.txt and the stored active choice (clearing it when it no
    // longer matches). The index of the active game, when one was found.
    // A Codes.txt that exists but cannot be read leaves the choice alone and
    // the library read-only: a save then would write over every cheat in it.
    std::optional<int> Load();
    bool readFailed() const { return readFailed_; }
    // Writes Codes.txt when the library's text differs from the file's: every
    // piece nobody changed as it was read, the changed ones anew. Before the
    // first change to a file with unreadable text its backup is written; no
    // backup, no change. False when nothing could be written.
    bool Save();
    // True once after a save that wrote the backup.
    bool TakeBackupNotice();
    // Deletes "Cheats", then writes it from the active game.
    bool WriteActiveChoice();

    bool Valid(CheatRef ref) const;
    // Both return whether anything changed; "Cheats" is then rewritten.
    bool Activate(CheatRef ref);
    bool Deactivate(CheatRef ref);
    // A cheat: Deactivate when active, else Activate; nothing on games.
    bool Toggle(CheatRef ref);
    // The game with all its cheats, or a cheat (its game too when it was the
    // last). Rewrites "Cheats" when something active went, then Codes.txt.
    bool Delete(CheatRef ref);

    std::optional<int> FindGame(std::string_view key) const;
    // The first cheat of the game whose name equals `name` exactly.
    std::optional<CheatRef> FindCheat(std::string_view key, std::string_view name) const;
    // A new cheat at the end of its game; the game is created in name order
    // when it does not exist yet.
    CheatRef AddCheat(std::string_view id, std::string_view gameName, std::string data);
    // Replaces a cheat's data; rewrites "Cheats" when the cheat is active.
    void SetCheatData(CheatRef ref, std::string data);

    // Imports a ".cht" (when the upper-cased path contains ".CHT") or a
    // cheat text file. Games whose key exists are left as they are. Codes.txt
    // is rewritten when games were added.
    struct ImportResult {
        int added = 0;      // games added
        bool saved = true;  // Codes.txt written (or nothing to write)
    };
    ImportResult Import(std::string_view path);
    ImportResult ImportText(std::string_view text, bool singleCheatFile);

private:
    void ClearActivity();
    // Adds the game when its key is new; false when it exists.
    bool AddGame(CheatGame game);

    Registry& registry_;
    std::string directory_;
    CodesDocument document_;
    // The file's bytes as read; nullopt when there was none.
    std::optional<std::string> loaded_;
    bool readFailed_ = false;
    bool backedUp_ = false;
    bool backupNotice_ = false;
};

}  // namespace dravolo::tool
