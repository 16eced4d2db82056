#include "tool/core/cheat_library.h"

#include <algorithm>
#include <utility>

#include "common/platform/winfs.h"

namespace dravolo::tool {

namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;

bool AnyActiveCheat(const CheatGame& game) {
    return std::any_of(game.cheats.begin(), game.cheats.end(), [](const Cheat& c) { return c.active; });
}

std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

}  // namespace

std::string ActiveChoiceText(const std::vector<CheatGame>& games) {
    for (const CheatGame& game : games) {
        if (!game.active) continue;
        std::string text = game.Key() + "\r\n";
        for (const Cheat& cheat : game.cheats)
            if (cheat.active) text += "*" + cheat.data;
        return text;
    }
    return {};
}

ChoiceMatch ApplyActiveChoice(std::vector<CheatGame>& games, std::string_view text) {
    const auto lineEnd = text.find("\r\n");
    if (lineEnd == std::string_view::npos) return ChoiceMatch::Unchanged;
    const std::string_view key = text.substr(0, lineEnd);
    const std::string_view rest = text.substr(lineEnd + 2);
    const auto game = std::find_if(games.begin(), games.end(), [&](const CheatGame& g) { return g.Key() == key; });
    if (game == games.end() || rest.empty() || rest[0] != '*') return ChoiceMatch::Mismatch;
    game->active = true;
    // Each part after a "*" is a whole cheat's data. Matched against the
    // cheats rather than cut at every "*", so a "*" inside a cheat's name
    // does not lose the choice.
    std::size_t pos = 1;
    for (;;) {
        const std::string_view part = rest.substr(pos);
        const auto cheat = std::find_if(game->cheats.begin(), game->cheats.end(), [&](const Cheat& c) {
            return part.starts_with(c.data) && (part.size() == c.data.size() || part[c.data.size()] == '*');
        });
        if (cheat == game->cheats.end()) return ChoiceMatch::Mismatch;
        cheat->active = true;
        if (part.size() == cheat->data.size()) return ChoiceMatch::Applied;
        pos += cheat->data.size() + 1;
    }
}

std::size_t GameInsertPosition(const std::vector<CheatGame>& games, std::string_view name) {
    std::size_t position = 0;
    for (std::size_t i = 0; i < games.size(); ++i)
        if (std::string_view(games[i].name).compare(name) < 0) position = i + 1;
    return position;
}

CheatLibrary::CheatLibrary(Registry& registry, std::string emulatorDirectory)
    : registry_(registry), directory_(std::move(emulatorDirectory)) {}

std::string CheatLibrary::CodesPath() const { return directory_ + "\\Cheats\\Codes.txt"; }

std::string CheatLibrary::BackupPath() const { return CodesPath() + ".bak"; }

std::optional<int> CheatLibrary::Load() {
    document_ = CodesDocument{};
    loaded_.reset();
    readFailed_ = false;
    backedUp_ = false;
    backupNotice_ = false;
    const std::string path = CodesPath();
    if (const auto file = ReadWholeFile(path)) {
        loaded_.emplace(file->begin(), file->end());
        document_ = ReadCodesDocument(*loaded_);
    } else if (FileExists(path) || DirectoryExists(path)) {
        // There, but not readable: nothing here says the chosen game is gone.
        readFailed_ = true;
        return std::nullopt;
    }
    const auto value = registry_.QueryValue(kUser, kCheatsKey, kCheatsValue);
    if (!value || (value->type != kRegBinary && value->type != 8 && value->type != 9)) return std::nullopt;
    std::string_view text(reinterpret_cast<const char*>(value->data.data()), value->data.size());
    text = text.substr(0, text.find('\0'));
    switch (ApplyActiveChoice(document_.games, text)) {
    case ChoiceMatch::Unchanged: return std::nullopt;
    case ChoiceMatch::Mismatch:
        ClearActivity();
        registry_.DeleteValue(kUser, kCheatsKey, kCheatsValue);
        return std::nullopt;
    case ChoiceMatch::Applied: break;
    }
    for (std::size_t i = 0; i < document_.games.size(); ++i)
        if (document_.games[i].active) return static_cast<int>(i);
    return std::nullopt;
}

bool CheatLibrary::Save() {
    if (readFailed_) return false;
    const std::string text = WriteCodesDocument(document_);
    if (loaded_ && *loaded_ == text) return true;
    const auto bytes = [](std::string_view t) {
        return std::span(reinterpret_cast<const std::uint8_t*>(t.data()), t.size());
    };
    if (loaded_ && document_.unreadable && !backedUp_) {
        // The file as it is now, which is the file as it was read unless
        // someone changed it meanwhile.
        const auto present = ReadWholeFile(CodesPath());
        const bool written = present ? WriteWholeFileAtomic(BackupPath(), *present)
                                     : WriteWholeFileAtomic(BackupPath(), bytes(*loaded_));
        if (!written) return false;
        backedUp_ = true;
        backupNotice_ = true;
    }
    // The first cheat of a fresh install: its folder is made here.
    const std::string folder = directory_ + "\\Cheats";
    // A folder that cannot be made fails the write below, which is reported.
    if (!DirectoryExists(folder)) (void)CreateDir(folder);
    if (!WriteWholeFileAtomic(CodesPath(), bytes(text))) return false;
    loaded_ = text;
    return true;
}

bool CheatLibrary::TakeBackupNotice() { return std::exchange(backupNotice_, false); }

bool CheatLibrary::WriteActiveChoice() {
    RegBatch batch;
    batch.DeleteValue(kUser, kCheatsKey, kCheatsValue);
    const std::string text = ActiveChoiceText(document_.games);
    if (!text.empty()) {
        Bytes data(text.begin(), text.end());
        data.push_back(0);
        batch.SetValue(kUser, kCheatsKey, kCheatsValue, kRegBinary, std::move(data));
    }
    return registry_.Commit(batch);
}

void CheatLibrary::ClearActivity() {
    for (CheatGame& game : document_.games) {
        game.active = false;
        for (Cheat& cheat : game.cheats) cheat.active = false;
    }
}

bool CheatLibrary::Valid(CheatRef ref) const {
    if (ref.game < 0 || static_cast<std::size_t>(ref.game) >= document_.games.size()) return false;
    return ref.cheat < 0 ||
           static_cast<std::size_t>(ref.cheat) < document_.games[static_cast<std::size_t>(ref.game)].cheats.size();
}

bool CheatLibrary::Activate(CheatRef ref) {
    if (!Valid(ref)) return false;
    CheatGame& game = document_.games[static_cast<std::size_t>(ref.game)];
    for (CheatGame& other : document_.games) {
        if (&other == &game) continue;
        other.active = false;
        for (Cheat& cheat : other.cheats) cheat.active = false;
    }
    game.active = true;
    if (ref.isCheat()) {
        game.cheats[static_cast<std::size_t>(ref.cheat)].active = true;
    } else {
        for (Cheat& cheat : game.cheats) cheat.active = true;
    }
    WriteActiveChoice();
    return true;
}

bool CheatLibrary::Deactivate(CheatRef ref) {
    if (!Valid(ref)) return false;
    CheatGame& game = document_.games[static_cast<std::size_t>(ref.game)];
    if (ref.isCheat()) {
        game.cheats[static_cast<std::size_t>(ref.cheat)].active = false;
        if (!AnyActiveCheat(game)) game.active = false;
    } else {
        game.active = false;
        for (Cheat& cheat : game.cheats) cheat.active = false;
    }
    WriteActiveChoice();
    return true;
}

bool CheatLibrary::Toggle(CheatRef ref) {
    if (!Valid(ref) || !ref.isCheat()) return false;
    const bool active =
        document_.games[static_cast<std::size_t>(ref.game)].cheats[static_cast<std::size_t>(ref.cheat)].active;
    return active ? Deactivate(ref) : Activate(ref);
}

bool CheatLibrary::Delete(CheatRef ref) {
    if (!Valid(ref)) return false;
    const auto gameIndex = static_cast<std::size_t>(ref.game);
    CheatGame& game = document_.games[gameIndex];
    bool activeGone = false;
    if (!ref.isCheat() || game.cheats.size() == 1) {
        activeGone = game.active || AnyActiveCheat(game);
        EraseGame(document_, gameIndex);
    } else {
        activeGone = game.cheats[static_cast<std::size_t>(ref.cheat)].active;
        EraseCheat(game, static_cast<std::size_t>(ref.cheat));
        if (activeGone && !AnyActiveCheat(game)) game.active = false;
    }
    if (activeGone) WriteActiveChoice();
    return Save();
}

std::optional<int> CheatLibrary::FindGame(std::string_view key) const {
    for (std::size_t i = 0; i < document_.games.size(); ++i)
        if (document_.games[i].Key() == key) return static_cast<int>(i);
    return std::nullopt;
}

std::optional<CheatRef> CheatLibrary::FindCheat(std::string_view key, std::string_view name) const {
    const auto game = FindGame(key);
    if (!game) return std::nullopt;
    const auto& cheats = document_.games[static_cast<std::size_t>(*game)].cheats;
    for (std::size_t i = 0; i < cheats.size(); ++i)
        if (cheats[i].Name() == name) return CheatRef{*game, static_cast<int>(i)};
    return std::nullopt;
}

CheatRef CheatLibrary::AddCheat(std::string_view id, std::string_view gameName, std::string data) {
    const std::string key = std::string(id) + "|" + std::string(gameName);
    auto game = FindGame(key);
    if (!game) {
        CheatGame fresh;
        fresh.id = id;
        fresh.name = gameName;
        const std::size_t at = GameInsertPosition(document_.games, gameName);
        InsertGame(document_, at, std::move(fresh));
        game = static_cast<int>(at);
    }
    CheatGame& target = document_.games[static_cast<std::size_t>(*game)];
    AppendCheat(target, Cheat{std::move(data), false, {}});
    return {*game, static_cast<int>(target.cheats.size() - 1)};
}

void CheatLibrary::SetCheatData(CheatRef ref, std::string data) {
    if (!Valid(ref) || !ref.isCheat()) return;
    Cheat& cheat = document_.games[static_cast<std::size_t>(ref.game)].cheats[static_cast<std::size_t>(ref.cheat)];
    ReplaceCheatData(cheat, std::move(data));
    if (cheat.active) WriteActiveChoice();
}

bool CheatLibrary::AddGame(CheatGame game) {
    if (FindGame(game.Key())) return false;
    game.active = false;
    for (Cheat& cheat : game.cheats) cheat.active = false;
    // Written in the library's own form, not in the layout of the file it came from.
    DropSourceLayout(game);
    const std::size_t at = GameInsertPosition(document_.games, game.name);
    InsertGame(document_, at, std::move(game));
    return true;
}

CheatLibrary::ImportResult CheatLibrary::ImportText(std::string_view text, bool singleCheatFile) {
    ImportResult result;
    if (singleCheatFile) {
        CheatGame game;
        if (ReadChtFile(text, game) && AddGame(std::move(game))) ++result.added;
    } else {
        CodesDocument read = ReadCodesDocument(text);
        const std::size_t arStart = read.games.empty() ? 0 : read.gamesEnd;
        for (CheatGame& game : read.games)
            if (AddGame(std::move(game))) ++result.added;
        for (CheatGame& game : ReadArGames(text, arStart))
            if (AddGame(std::move(game))) ++result.added;
    }
    if (result.added > 0) result.saved = Save();
    return result;
}

CheatLibrary::ImportResult CheatLibrary::Import(std::string_view path) {
    const bool single = UpperAscii(path).find(".CHT") != std::string::npos;
    // A single cheat file is small; a larger one is not read at all.
    if (single && FileSize(path).value_or(kChtMaxSize) >= kChtMaxSize) return {};
    const auto file = ReadWholeFile(path);
    if (!file) return {};
    return ImportText(std::string_view(reinterpret_cast<const char*>(file->data()), file->size()), single);
}

}  // namespace dravolo::tool
