#include "tool/core/cheat_library.h"

#include <algorithm>

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

std::optional<int> CheatLibrary::Load() {
    games_.clear();
    tail_.clear();
    if (const auto file = ReadWholeFile(CodesPath())) {
        CodesText codes = ReadCodesText(std::string_view(reinterpret_cast<const char*>(file->data()), file->size()));
        games_ = std::move(codes.games);
        tail_ = std::move(codes.tail);
    }
    const auto value = registry_.QueryValue(kUser, kCheatsKey, kCheatsValue);
    if (!value || (value->type != kRegBinary && value->type != 8 && value->type != 9)) return std::nullopt;
    std::string_view text(reinterpret_cast<const char*>(value->data.data()), value->data.size());
    text = text.substr(0, text.find('\0'));
    switch (ApplyActiveChoice(games_, text)) {
        case ChoiceMatch::Unchanged:
            return std::nullopt;
        case ChoiceMatch::Mismatch:
            ClearActivity();
            registry_.DeleteValue(kUser, kCheatsKey, kCheatsValue);
            return std::nullopt;
        case ChoiceMatch::Applied:
            break;
    }
    for (std::size_t i = 0; i < games_.size(); ++i)
        if (games_[i].active) return static_cast<int>(i);
    return std::nullopt;
}

bool CheatLibrary::Save() {
    std::string prefix;
    if (const auto present = ReadWholeFile(CodesPath()))
        prefix = CodesPrefix(std::string_view(reinterpret_cast<const char*>(present->data()), present->size()));
    const std::string text = WriteCodesText(prefix, games_, tail_);
    // The first cheat of a fresh install: its folder is made here.
    const std::string folder = directory_ + "\\Cheats";
    if (!DirectoryExists(folder)) CreateDir(folder);
    return WriteWholeFileAtomic(CodesPath(),
                                std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool CheatLibrary::WriteActiveChoice() {
    RegBatch batch;
    batch.DeleteValue(kUser, kCheatsKey, kCheatsValue);
    const std::string text = ActiveChoiceText(games_);
    if (!text.empty()) {
        Bytes data(text.begin(), text.end());
        data.push_back(0);
        batch.SetValue(kUser, kCheatsKey, kCheatsValue, kRegBinary, std::move(data));
    }
    return registry_.Commit(batch);
}

void CheatLibrary::ClearActivity() {
    for (CheatGame& game : games_) {
        game.active = false;
        for (Cheat& cheat : game.cheats) cheat.active = false;
    }
}

bool CheatLibrary::Valid(CheatRef ref) const {
    if (ref.game < 0 || static_cast<std::size_t>(ref.game) >= games_.size()) return false;
    return ref.cheat < 0 || static_cast<std::size_t>(ref.cheat) < games_[static_cast<std::size_t>(ref.game)].cheats.size();
}

bool CheatLibrary::Activate(CheatRef ref) {
    if (!Valid(ref)) return false;
    CheatGame& game = games_[static_cast<std::size_t>(ref.game)];
    for (CheatGame& other : games_) {
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
    CheatGame& game = games_[static_cast<std::size_t>(ref.game)];
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
    const bool active = games_[static_cast<std::size_t>(ref.game)].cheats[static_cast<std::size_t>(ref.cheat)].active;
    return active ? Deactivate(ref) : Activate(ref);
}

bool CheatLibrary::Delete(CheatRef ref) {
    if (!Valid(ref)) return false;
    const auto gameIndex = static_cast<std::size_t>(ref.game);
    CheatGame& game = games_[gameIndex];
    bool activeGone = false;
    if (!ref.isCheat() || game.cheats.size() == 1) {
        activeGone = game.active || AnyActiveCheat(game);
        games_.erase(games_.begin() + ref.game);
    } else {
        activeGone = game.cheats[static_cast<std::size_t>(ref.cheat)].active;
        game.cheats.erase(game.cheats.begin() + ref.cheat);
        if (activeGone && !AnyActiveCheat(game)) game.active = false;
    }
    if (activeGone) WriteActiveChoice();
    return Save();
}

std::optional<int> CheatLibrary::FindGame(std::string_view key) const {
    for (std::size_t i = 0; i < games_.size(); ++i)
        if (games_[i].Key() == key) return static_cast<int>(i);
    return std::nullopt;
}

std::optional<CheatRef> CheatLibrary::FindCheat(std::string_view key, std::string_view name) const {
    const auto game = FindGame(key);
    if (!game) return std::nullopt;
    const auto& cheats = games_[static_cast<std::size_t>(*game)].cheats;
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
        const std::size_t at = GameInsertPosition(games_, gameName);
        games_.insert(games_.begin() + static_cast<std::ptrdiff_t>(at), std::move(fresh));
        game = static_cast<int>(at);
    }
    auto& cheats = games_[static_cast<std::size_t>(*game)].cheats;
    cheats.push_back(Cheat{std::move(data), false});
    return {*game, static_cast<int>(cheats.size() - 1)};
}

void CheatLibrary::SetCheatData(CheatRef ref, std::string data) {
    if (!Valid(ref) || !ref.isCheat()) return;
    Cheat& cheat = games_[static_cast<std::size_t>(ref.game)].cheats[static_cast<std::size_t>(ref.cheat)];
    cheat.data = std::move(data);
    if (cheat.active) WriteActiveChoice();
}

bool CheatLibrary::AddGame(CheatGame game) {
    if (FindGame(game.Key())) return false;
    game.active = false;
    for (Cheat& cheat : game.cheats) cheat.active = false;
    const std::size_t at = GameInsertPosition(games_, game.name);
    games_.insert(games_.begin() + static_cast<std::ptrdiff_t>(at), std::move(game));
    return true;
}

int CheatLibrary::ImportText(std::string_view text, bool singleCheatFile) {
    int added = 0;
    if (singleCheatFile) {
        CheatGame game;
        if (ReadChtFile(text, game) && AddGame(std::move(game))) ++added;
    } else {
        GamesRead read = ReadCodesGames(text, 0);
        const std::size_t arStart = read.games.empty() ? 0 : read.stop;
        for (CheatGame& game : read.games)
            if (AddGame(std::move(game))) ++added;
        for (CheatGame& game : ReadArGames(text, arStart))
            if (AddGame(std::move(game))) ++added;
    }
    if (added > 0) Save();
    return added;
}

int CheatLibrary::Import(std::string_view path) {
    const bool single = UpperAscii(path).find(".CHT") != std::string::npos;
    // A single cheat file is small; a larger one is not read at all.
    if (single && FileSize(path).value_or(kChtMaxSize) >= kChtMaxSize) return 0;
    const auto file = ReadWholeFile(path);
    if (!file) return 0;
    return ImportText(std::string_view(reinterpret_cast<const char*>(file->data()), file->size()), single);
}

}  // namespace dravolo::tool
