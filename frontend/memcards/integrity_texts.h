#pragma once
// What the page and dravolo-cli say about a card's findings and about a save
// that cannot be recovered. Slots are counted 1-15 as the lists show them.

#include <string>
#include <vector>

#include "common/memcard/card_integrity.h"
#include "common/memcard/save_recovery.h"

namespace dravolo::memcards {

// "Slot 4: links to slot 9, a free block." or "Header frame: ...".
std::string FindingText(const memcard::Finding& finding);
// One line per finding; "No problems found." for none.
std::vector<std::string> FindingLines(const std::vector<memcard::Finding>& findings);
// "Repaired: 2 checksums made right, 1 save of 2 blocks marked free (Recover Slot brings it back)."
std::string RepairText(const memcard::RepairResult& repair);

// Why a save cannot be recovered, or what was recovered.
std::string RecoverText(const memcard::RecoverResult& result);

}  // namespace dravolo::memcards
