#pragma once
// What the memory-card manager page does, without its widgets: the two card
// sides (the drop-down list of card files, the chosen card, its slot
// listing, the selected slot), the commands on them, the refresh rules and
// every question and message, which go through the Prompter. The page binds
// its controls to this and shows what it holds after every command.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "frontend/core/card_snapshots.h"
#include "frontend/core/emulator_kind.h"
#include "frontend/memcards/slot_listing.h"
#include "frontend/memcards/snapshot_saves.h"

namespace dravolo {
class Prompter;
class SettingsStore;
}  // namespace dravolo

namespace dravolo::memcards {

inline constexpr int kLeft = 0;
inline constexpr int kRight = 1;
inline constexpr int OtherSide(int side) { return 1 - side; }

class MemcardManager {
public:
    struct Side {
        std::vector<std::string> entries;  // the drop-down list: sorted, lower case
        int current = -1;                  // its selected entry, -1 for none
        std::string path;                  // the side's card path
        CardListing listing;               // what the slot list shows
        int selectedSlot = -1;             // the slot list's selection, -1 for none
    };
    // Tells the sheet the side's card path (its first or second memory card).
    using PathSent = std::function<void(int side, const std::string& path)>;

    MemcardManager(const SettingsStore& settings, Prompter& prompter) : settings_(settings), prompter_(prompter) {}

    void SetPathSent(PathSent sent) { pathSent_ = std::move(sent); }
    // The emulator whose card folder is used; none for the memory-card page
    // alone, which starts in ePSXe's.
    void SetKind(std::optional<EmulatorKind> kind) { kind_ = kind; }
    std::optional<EmulatorKind> kind() const { return kind_; }

    // Works out the card folder and fills both drop-down lists with its cards.
    void Initialise();
    const std::string& directory() const { return directory_; }

    const Side& side(int side) const { return sides_[Index(side)]; }
    int activeSide() const { return active_; }
    bool activated() const { return activated_; }

    // The card path fields, as the sheet and the record exchange set them;
    // the drop-down lists follow at the next activation.
    void SetPath(int side, std::string path) { sides_[Index(side)].path = std::move(path); }
    const std::string& path(int side) const { return sides_[Index(side)].path; }

    // The user picked entry `index` of a drop-down list.
    void SelectEntry(int side, int index);
    // The user clicked (or right-clicked) a slot; that side becomes active.
    void SelectSlot(int side, int slot);

    void Format(int side);
    // The file name Create offers: the card folder plus "memcard1.mcr" or "memcard2.mcr".
    std::string NewCardPath(int side) const;
    // `chosen`: the path picked in the save dialog, empty when cancelled.
    void Create(int side, const std::string& chosen);
    void Browse(int side, const std::string& chosen);
    void Import(int side, const std::string& chosen);
    void DeleteCard(int side);
    // Copies the selected save of `fromSide` onto the selected slot of the other side.
    void CopySave(int fromSide);
    // On the active side.
    void EraseSave();
    void MarkFree();

    // Recover Slot: brings back the save marked free at the active side's
    // selected slot, or says why it cannot.
    void RecoverSlot();

    // Check Integrity of a side's card: one line per finding.
    struct IntegrityReport {
        std::string card;
        std::vector<std::string> lines;  // "No problems found." for none
        bool clean = true;
        bool repairable = false;  // Repair would change something
        std::string repaired;     // what the last Repair did, empty before
    };
    // Nothing when the side has no card; a card that cannot be read is told.
    std::optional<IntegrityReport> CheckIntegrity(int side);
    // Asks, repairs the side's card and checks it again; nothing when the
    // user said No or the card cannot be read.
    std::optional<IntegrityReport> RepairCard(int side);

    // The profile whose card snapshots the sides list ("" for none: the
    // memory-card-only sheet). The left card is the profile's card 1.
    void SetProfileName(std::string name) { profileName_ = std::move(name); }
    // "<kind folder>\<profile>.snapshots\", empty without a profile.
    std::string SnapshotFolder() const;
    struct SnapshotEntry {
        Snapshot snapshot;
        bool readable = true;
        std::vector<SnapshotSave> saves;      // what it holds, against the side's card
        std::vector<std::string> onlyOnCard;  // saves on the card it does not hold
    };
    // The side's card snapshots, newest first.
    std::vector<SnapshotEntry> Snapshots(int side);
    // Asks, takes a snapshot of the side's card and copies the snapshot back
    // over it; false when nothing was restored.
    bool RestoreSnapshot(int side, const std::string& id);

    // Export Save: the file name offered for the active side's selected save
    // (the card's folder plus the save's name and ".mcs"); nothing when no
    // save starts at the selected slot.
    std::optional<std::string> ExportSaveName();
    void ExportSave(const std::string& outPath);
    // Import Save: the save in `inPath` onto the active side's card, its first
    // block in the selected slot (the lowest free slot when none is selected).
    void ImportSave(const std::string& inPath);

    // The page becomes the sheet's current page, stops being it, and OK.
    void Activate();
    void Deactivate();
    void Ok();

    // The selected entries' texts -> the path fields, as the controls are read.
    void ReadControls();

private:
    static std::size_t Index(int side) { return side == kRight ? 1 : 0; }
    void Refresh(int side);
    // The side and, when both name the same file, the other side too.
    void RefreshAfterChange(int side);
    // Selects the side's path in its list, inserting it at the top when absent.
    void ShowPathInList(int side);
    void Send(int side);
    const std::string& SaveNameOf(int side, int slot) const;
    // Import of a card format beyond the three whose header is dropped.
    bool ImportAnyFormat(const std::string& chosen, const std::string& destination);

    const SettingsStore& settings_;
    Prompter& prompter_;
    PathSent pathSent_;
    std::optional<EmulatorKind> kind_ = EmulatorKind::Epsxe;  // until the sheet tells
    std::string profileName_;
    std::string directory_;
    std::array<Side, 2> sides_;
    int active_ = kLeft;
    bool activated_ = false;
};

}  // namespace dravolo::memcards
