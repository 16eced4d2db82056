#pragma once
// What a snapshot holds, save by save, and how each save compares with the
// card as it is now: the same, changed since, or no longer on the card.

#include <optional>
#include <string>
#include <vector>

#include "common/base/bytes.h"
#include "frontend/core/card_snapshots.h"

namespace dravolo::memcards {

struct SnapshotSave {
    enum class Change { Same, Changed, NotOnCard };
    int slot = 0;       // 0-14
    std::string title;  // as MemCardTitleText gives it; the save's name when the title is blank
    int blocks = 0;
    Change change = Change::Same;
};

// The saves in use in `snapshot`, by slot; each compared with the save of the
// same name (region, product code, identifier) on `current`.
std::vector<SnapshotSave> CompareSnapshotSaves(const Bytes& snapshot, const std::optional<Bytes>& current);

// The titles of the saves on `current` that `snapshot` holds no save of the
// same name for: what a restore of the snapshot takes off the card.
std::vector<std::string> SavesMissingFrom(const Bytes& snapshot, const Bytes& current);

// "CRASH (changed), SPYRO, TEKKEN (not on the card)"; "no saves" for none.
std::string SnapshotSavesText(const std::vector<SnapshotSave>& saves);

// The question before a restore, and what to say when one fails (empty when it worked).
std::string RestoreQuestion(const Snapshot& snapshot, std::string_view cardPath);
std::string RestoreFailureText(RestoreOutcome outcome, std::string_view cardPath);

}  // namespace dravolo::memcards
