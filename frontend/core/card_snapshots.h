#pragma once
// Snapshots of a profile's memory cards: before every launch each card is
// copied into the profile's snapshot folder "<kind folder>\<profile>.snapshots\"
// as "YYYYMMDD-HHMMSS-1.mcr" (card 1) or "-2.mcr" (card 2), unless it is
// missing or the same as its newest snapshot; the newest N of each card are
// kept. A restore copies a snapshot back over the card after taking a snapshot
// of what the card holds, so that a restore can be undone.

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/base/bytes.h"
#include "common/base/error.h"
#include "frontend/core/setting.h"

namespace dravolo::memcards {

// How many snapshots of each card are kept; 0 turns snapshots off.
inline constexpr IntSetting kCardSnapshotsSetting{"CardSnapshots", 10};

// ".\\Epsxe\\Crash" (a profile's path without extension) -> ".\\Epsxe\\Crash.snapshots\\".
std::string SnapshotFolderOf(std::string_view profileBase);

struct Snapshot {
    std::string id;    // "20240131-235959-1": the file name without ".mcr"
    std::string path;  // the snapshot file
    std::string date;  // "2024-01-31 23:59:59"
    int card = 1;      // 1 or 2
};

// The folder's snapshots of `card` (0: both), newest first.
std::vector<Snapshot> ListSnapshots(std::string_view folder, int card = 0);
std::optional<Snapshot> FindSnapshot(std::string_view folder, std::string_view id);

enum class SnapshotOutcome { Taken, Unchanged, NoCard, Off, Failed };

// Takes a snapshot of the card file at `cardPath` as card `card`, stamped with
// `now` (local time), then keeps the newest `keep` snapshots of that card;
// keep 0 takes none. A card that is missing, empty, a folder or larger than
// any card file is not taken (NoCard).
SnapshotOutcome TakeSnapshot(std::string_view folder, int card, std::string_view cardPath, int keep, std::time_t now);

enum class RestoreOutcome { Restored, NoSnapshot, CannotSnapshotCard, CannotWriteCard };
// Copies the snapshot over the card file (in place: an emulator may hold it
// open), after a snapshot of the card as it is (never pruned here). error,
// when given, says why the card could not be written (CannotWriteCard).
RestoreOutcome RestoreSnapshot(std::string_view folder, const Snapshot& snapshot, std::string_view cardPath,
                               std::time_t now, Error* error = nullptr);

// Moves a profile's snapshot folder with a rename (true when there is none),
// and deletes one with every file in it.
bool MoveSnapshotFolder(std::string_view fromBase, std::string_view toBase);
bool DeleteSnapshotFolder(std::string_view profileBase);

// The bytes of a snapshot or card file; nothing for a file that is no card
// (missing, empty, a folder, or larger than any card file).
std::optional<Bytes> ReadCardBytes(std::string_view path);

}  // namespace dravolo::memcards
