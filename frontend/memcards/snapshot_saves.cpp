#include "frontend/memcards/snapshot_saves.h"

#include <algorithm>
#include <memory>

#include "common/memcard/card_image.h"
#include "common/memcard/save_formats.h"
#include "common/memcard/title_text.h"

namespace dravolo::memcards {

namespace {

using memcard::CardImage;

std::unique_ptr<CardImage> ImageOf(const Bytes& bytes) {
    auto card = std::make_unique<CardImage>();
    card->fill(0);
    std::copy_n(bytes.begin(), std::min(bytes.size(), card->size()), card->begin());
    return card;
}

struct NamedSave {
    int slot;
    std::string name;
    memcard::SingleSave save;
};

std::vector<NamedSave> SavesOf(const CardImage& card) {
    std::vector<NamedSave> saves;
    if (!memcard::IsFormattedImage(card)) return saves;
    for (int slot = 0; slot < memcard::kSlotCount; ++slot) {
        if (memcard::SlotState(card, slot) != memcard::kStateFirst) continue;
        NamedSave named{slot, {}, {}};
        if (!memcard::ExtractSave(card, slot, named.save).ok()) continue;
        named.name.assign(named.save.frame.begin() + memcard::kRegionOffset,
                          named.save.frame.begin() + memcard::kRegionOffset + memcard::kSaveNameSize);
        saves.push_back(std::move(named));
    }
    return saves;
}

std::string TitleOf(const CardImage& card, const NamedSave& save) {
    std::string title = memcard::MemCardTitleText(std::span<const std::uint8_t, memcard::kTitleSize>(
        memcard::DataBlock(card, save.slot).data() + memcard::kTitleOffset, memcard::kTitleSize));
    return title.empty() ? memcard::SaveFileName(save.save) : title;
}

}  // namespace

std::vector<std::string> SavesMissingFrom(const Bytes& snapshot, const Bytes& current) {
    const std::vector<NamedSave> then = SavesOf(*ImageOf(snapshot));
    const auto now = ImageOf(current);
    std::vector<std::string> missing;
    for (const NamedSave& save : SavesOf(*now)) {
        const bool held =
            std::any_of(then.begin(), then.end(), [&](const NamedSave& s) { return s.name == save.name; });
        if (!held) missing.push_back(TitleOf(*now, save));
    }
    return missing;
}

std::vector<SnapshotSave> CompareSnapshotSaves(const Bytes& snapshot, const std::optional<Bytes>& current) {
    const auto then = ImageOf(snapshot);
    const std::vector<NamedSave> now = current ? SavesOf(*ImageOf(*current)) : std::vector<NamedSave>{};
    std::vector<SnapshotSave> out;
    for (const NamedSave& saved : SavesOf(*then)) {
        SnapshotSave row;
        row.slot = saved.slot;
        row.blocks = saved.save.BlockCount();
        row.title = TitleOf(*then, saved);
        row.change = SnapshotSave::Change::NotOnCard;
        for (const NamedSave& other : now) {
            if (other.name != saved.name) continue;
            if (other.save.blocks == saved.save.blocks) {
                row.change = SnapshotSave::Change::Same;
                break;
            }
            row.change = SnapshotSave::Change::Changed;  // unless another of that name is the same
        }
        out.push_back(std::move(row));
    }
    return out;
}

std::string SnapshotSavesText(const std::vector<SnapshotSave>& saves) {
    if (saves.empty()) return "no saves";
    std::string text;
    for (const SnapshotSave& s : saves) {
        if (!text.empty()) text += ", ";
        text += s.title;
        if (s.change == SnapshotSave::Change::Changed) text += " (changed)";
        else if (s.change == SnapshotSave::Change::NotOnCard) text += " (not on the card)";
    }
    return text;
}

std::string RestoreQuestion(const Snapshot& snapshot, std::string_view cardPath) {
    return "Restore the snapshot of " + snapshot.date + " over " + std::string(cardPath) +
           "?\nThe card as it is now is kept as a snapshot, so this can be undone.";
}

std::string RestoreFailureText(RestoreOutcome outcome, std::string_view cardPath) {
    switch (outcome) {
    case RestoreOutcome::Restored: return {};
    case RestoreOutcome::NoSnapshot: return "The snapshot cannot be read.";
    case RestoreOutcome::CannotSnapshotCard:
        return "Nothing was restored: a snapshot of " + std::string(cardPath) + " as it is could not be taken.";
    case RestoreOutcome::CannotWriteCard: return "Cannot write " + std::string(cardPath) + ".";
    }
    return "Nothing was restored.";
}

}  // namespace dravolo::memcards
