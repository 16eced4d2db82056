// dravolo-cli memcard snapshots KIND NAME and memcard restore KIND NAME ID:
// the card snapshots a profile's launches took, and putting one back.

#include <ctime>
#include <ostream>

#include "cli/memcard_cli_support.h"
#include "common/platform/registry.h"
#include "frontend/core/card_snapshots.h"
#include "frontend/core/settings_store.h"
#include "frontend/memcards/launch_snapshots.h"
#include "frontend/memcards/memcard_texts.h"
#include "frontend/memcards/snapshot_saves.h"
#include "frontend/profiles/profile_files.h"
#include "frontend/profiles/profile_manager.h"

namespace dravolo::cli {

namespace {

using namespace memcards;

struct Profile {
    EmulatorKind kind;
    std::string name;
    std::string folder;
    std::array<std::string, 2> cards;
};

// KIND NAME: the profile's snapshot folder and the cards its launch uses.
std::optional<Profile> OpenProfile(const std::string& kindText, const std::string& name, const SettingsStore& settings,
                                   Context& context) {
    const auto kind = KindFromDirectoryName(kindText);
    if (!kind) {
        context.err << "dravolo-cli: unknown emulator '" << ForTerminal(kindText)
                    << "' (use Epsxe, Fpse, Psinex, Adripsx or Pcsx)\n";
        return std::nullopt;
    }
    if (auto problem = ProfileNameProblem(name)) {
        Report(context, *problem, kBadNameCaption);
        return std::nullopt;
    }
    AnyProfileRecord record = MakeDefaultRecord(*kind, settings);
    if (!LoadAnyRecord(record, ProfilePath(*kind, name), context.prompter)) return std::nullopt;
    return Profile{*kind, name, SnapshotFolderOf(ProfilePath(*kind, name, "")),
                   LaunchCardPaths(*kind, name, record, settings)};
}

std::string SavesForTerminal(const std::vector<SnapshotSave>& saves) {
    std::vector<SnapshotSave> shown = saves;
    for (SnapshotSave& s : shown) s.title = TitleForTerminal(s.title);
    return SnapshotSavesText(shown);
}

template <typename Body>
int WithSettings(Context& context, Body body) {
    auto registry = OpenSystemRegistry();
    if (!registry) {
        context.err << "dravolo-cli: the registry cannot be opened\n";
        return kFailed;
    }
    SettingsStore settings(*registry);
    return body(settings);
}

}  // namespace

int MemcardSnapshots(const std::vector<std::string>& args, Context& context) {
    return WithSettings(context, [&](const SettingsStore& settings) {
        const auto profile = OpenProfile(args[0], args[1], settings, context);
        if (!profile) return static_cast<int>(kFailed);
        std::array<std::optional<Bytes>, 2> current = {ReadCardBytes(profile->cards[0]),
                                                       ReadCardBytes(profile->cards[1])};
        for (const Snapshot& s : ListSnapshots(profile->folder)) {
            const auto bytes = ReadCardBytes(s.path);
            const auto& card = current[static_cast<std::size_t>(s.card - 1)];
            std::string saves =
                bytes ? SavesForTerminal(CompareSnapshotSaves(*bytes, card)) : std::string("cannot be read");
            // What a restore would take off the card.
            if (bytes && card) {
                std::string only;
                for (const std::string& title : SavesMissingFrom(*bytes, *card))
                    only += (only.empty() ? "" : ", ") + TitleForTerminal(title);
                if (!only.empty()) saves += "; only on the card: " + only;
            }
            context.out << s.id << '\t' << s.date << '\t' << s.card << '\t' << saves << '\n';
        }
        return static_cast<int>(kOk);
    });
}

int MemcardRestore(const std::vector<std::string>& args, Context& context) {
    return WithSettings(context, [&](const SettingsStore& settings) {
        const auto profile = OpenProfile(args[0], args[1], settings, context);
        if (!profile) return static_cast<int>(kFailed);
        const auto snapshot = FindSnapshot(profile->folder, args[2]);
        if (!snapshot) {
            context.err << "dravolo-cli: " << ForTerminal(profile->name) << " has no snapshot '" << ForTerminal(args[2])
                        << "' (see 'memcard snapshots')\n";
            return static_cast<int>(kFailed);
        }
        const std::string& card = profile->cards[static_cast<std::size_t>(snapshot->card - 1)];
        if (card.empty()) {
            context.err << "dravolo-cli: " << ForTerminal(profile->name) << " names no memory card " << snapshot->card
                        << "\n";
            return static_cast<int>(kFailed);
        }
        if (!ConfirmCard(context, RestoreQuestion(*snapshot, card))) return static_cast<int>(kFailed);
        Error cause;
        const RestoreOutcome outcome = RestoreSnapshot(profile->folder, *snapshot, card, std::time(nullptr), &cause);
        if (outcome != RestoreOutcome::Restored) {
            context.prompter.Tell(RestoreFailureText(outcome, card), kCaption, cause, PromptIcon::Stop);
            return static_cast<int>(kFailed);
        }
        return static_cast<int>(kOk);
    });
}

}  // namespace dravolo::cli
