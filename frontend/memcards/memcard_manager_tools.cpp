// The manager's commands beyond copying and erasing: Recover Slot, Check
// Integrity with its Repair, the card snapshots of the profile and a restore,
// and single saves exported to and imported from save files.

#include <memory>

#include "common/base/prompter.h"
#include "common/memcard/card_files.h"
#include "common/memcard/card_image.h"
#include "common/memcard/card_integrity.h"
#include "common/memcard/memcard_file.h"
#include "common/memcard/memcard_ops.h"
#include "common/memcard/save_recovery.h"
#include "common/platform/winfs.h"
#include "frontend/core/emulator_kind.h"
#include "frontend/memcards/format_texts.h"
#include "frontend/memcards/integrity_texts.h"
#include "frontend/memcards/memcard_manager.h"
#include "frontend/memcards/memcard_texts.h"
#include "frontend/profiles/profile_files.h"

namespace dravolo::memcards {

namespace {

bool Confirm(Prompter& prompter, std::string_view question) {
    return prompter.Ask(question, kCaption, PromptIcon::Question, PromptButtons::YesNo, PromptAnswer::Yes) ==
           PromptAnswer::Yes;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The card as a raw image; nothing when it is missing or no card.
std::unique_ptr<memcard::CardImage> ReadRawCard(const std::string& path) {
    auto card = std::make_unique<memcard::CardImage>();
    if (!memcard::ReadAnyCardFile(path, *card).ok()) return nullptr;
    return card;
}

}  // namespace

void MemcardManager::RecoverSlot() {
    ReadControls();
    const int s = active_;
    const int slot = side(s).selectedSlot;
    const std::string card = path(s);
    if (card.empty() || slot < 0) return;
    Error cause;
    const memcard::RecoverResult result = memcard::RecoverSaveInFile(card, slot, &cause);
    if (!result.ok()) prompter_.Tell(RecoverText(result), kCaption, cause, PromptIcon::Stop);
    RefreshAfterChange(s);
    if (result.ok()) sides_[Index(s)].selectedSlot = slot;
}

std::optional<MemcardManager::IntegrityReport> MemcardManager::CheckIntegrity(int s) {
    ReadControls();
    IntegrityReport report;
    report.card = path(s);
    if (report.card.empty() || !FileExists(report.card)) return std::nullopt;
    std::vector<memcard::Finding> findings;
    if (!memcard::CheckCardFile(report.card, findings)) {
        prompter_.Tell(memcard::MemCardOpenErrorText(report.card), "File Open Error", PromptIcon::Stop);
        return std::nullopt;
    }
    report.lines = FindingLines(findings);
    report.clean = findings.empty();
    for (const memcard::Finding& f : findings)
        if (memcard::IsRepairable(f.kind)) report.repairable = true;
    return report;
}

std::optional<MemcardManager::IntegrityReport> MemcardManager::RepairCard(int s) {
    ReadControls();
    const std::string card = path(s);
    if (card.empty() || !Confirm(prompter_, kAskRepairCard)) return std::nullopt;
    Error cause;
    const auto repaired = memcard::RepairCardFile(card, &cause);
    if (!repaired) prompter_.Tell(kRepairFailed, kCaption, cause, PromptIcon::Stop);
    RefreshAfterChange(s);
    auto report = CheckIntegrity(s);
    if (report && repaired) report->repaired = RepairText(*repaired);
    return report;
}

std::string MemcardManager::SnapshotFolder() const {
    if (!kind_ || profileName_.empty()) return {};
    return SnapshotFolderOf(ProfilePath(*kind_, profileName_, ""));
}

std::vector<MemcardManager::SnapshotEntry> MemcardManager::Snapshots(int s) {
    ReadControls();
    std::vector<SnapshotEntry> entries;
    const std::string folder = SnapshotFolder();
    if (folder.empty()) return entries;
    const std::optional<Bytes> current = ReadCardBytes(path(s));
    for (Snapshot& snapshot : ListSnapshots(folder, static_cast<int>(Index(s)) + 1)) {
        SnapshotEntry entry;
        entry.snapshot = std::move(snapshot);
        if (const auto bytes = ReadCardBytes(entry.snapshot.path)) {
            entry.saves = CompareSnapshotSaves(*bytes, current);
            if (current) entry.onlyOnCard = SavesMissingFrom(*bytes, *current);
        } else {
            entry.readable = false;
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

bool MemcardManager::RestoreSnapshot(int s, const std::string& id) {
    ReadControls();
    const std::string folder = SnapshotFolder();
    const std::string card = path(s);
    if (folder.empty() || card.empty()) return false;
    const auto snapshot = FindSnapshot(folder, id);
    if (!snapshot || snapshot->card != static_cast<int>(Index(s)) + 1) return false;
    if (!Confirm(prompter_, RestoreQuestion(*snapshot, card))) return false;
    Error cause;
    const RestoreOutcome outcome = memcards::RestoreSnapshot(folder, *snapshot, card, std::time(nullptr), &cause);
    if (outcome != RestoreOutcome::Restored)
        prompter_.Tell(RestoreFailureText(outcome, card), kCaption, cause, PromptIcon::Stop);
    RefreshAfterChange(s);
    return outcome == RestoreOutcome::Restored;
}

std::optional<std::string> MemcardManager::ExportSaveName() {
    ReadControls();
    const int s = active_;
    const int slot = side(s).selectedSlot;
    const std::string card = path(s);
    if (card.empty() || slot < 0) return std::nullopt;
    const auto image = ReadRawCard(card);
    if (!image || memcard::SlotState(*image, slot) != memcard::kStateFirst) return std::nullopt;
    memcard::SingleSave save;
    if (!memcard::ExtractSave(*image, slot, save).ok()) return std::nullopt;
    std::string name = memcard::SaveFileName(save);
    if (name.empty()) name = "save" + std::to_string(slot + 1);
    return FolderOf(card) + name + ".mcs";
}

void MemcardManager::ExportSave(const std::string& outPath) {
    ReadControls();
    const int s = active_;
    const int slot = side(s).selectedSlot;
    const std::string card = path(s);
    if (card.empty() || slot < 0 || outPath.empty()) return;
    if (FileExists(outPath) && !Confirm(prompter_, kAskOverwriteFile)) return;
    const memcard::SaveFileResult result = memcard::ExportSaveToFile(card, slot, outPath);
    if (!result.ok())
        prompter_.Tell(SaveFileText(outPath, card, result, true), kCaption, result.cause, PromptIcon::Stop);
}

void MemcardManager::ImportSave(const std::string& inPath) {
    ReadControls();
    const int s = active_;
    const std::string card = path(s);
    if (card.empty() || inPath.empty() || !FileExists(card) || !memcard::MemCardIsFormatted(card)) return;
    int slot = side(s).selectedSlot;
    if (slot < 0) {
        slot = memcard::MemCardFirstFree(card);
        if (slot < 0) {
            prompter_.Tell("There is no free slot on " + card + ".", kCaption, PromptIcon::Stop);
            return;
        }
    } else if (!IsLinkText(SaveNameOf(s, slot)) && memcard::MemCardSlotInUse(card, slot) &&
               !Confirm(prompter_, kAskOverwriteSave)) {
        return;
    }
    const memcard::SaveFileResult result = memcard::ImportSaveFromFile(inPath, card, slot);
    if (!result.ok())
        prompter_.Tell(SaveFileText(inPath, card, result, false), kCaption, result.cause, PromptIcon::Stop);
    const std::string notice = SaveSignatureNotice(inPath, result);
    if (!notice.empty()) prompter_.Tell(notice, kCaption, PromptIcon::Exclamation);
    RefreshAfterChange(s);
    if (result.ok()) sides_[Index(s)].selectedSlot = slot;
}

}  // namespace dravolo::memcards
