#include "frontend/memcards/memcard_manager.h"

#include "common/base/prompter.h"
#include "common/base/text.h"
#include <memory>

#include "common/memcard/card_files.h"
#include "common/memcard/memcard_file.h"
#include "common/memcard/memcard_ops.h"
#include "common/platform/winfs.h"
#include "frontend/memcards/card_folder.h"
#include "frontend/memcards/format_texts.h"
#include "frontend/memcards/memcard_texts.h"

namespace dravolo::memcards {

namespace {

bool Confirm(Prompter& prompter, const char* question, const char* caption = kCaption) {
    return prompter.Ask(question, caption, PromptIcon::Question, PromptButtons::YesNo, PromptAnswer::Yes) ==
           PromptAnswer::Yes;
}

const std::string kNoName;

}  // namespace

void MemcardManager::Initialise() {
    directory_ = MemcardDirectory(settings_, kind_);
    const std::vector<std::string> cards = ListCardFiles(directory_);
    for (Side& s : sides_) {
        s.entries = cards;
        s.current = -1;
    }
}

void MemcardManager::ReadControls() {
    for (Side& s : sides_)
        s.path = s.current >= 0 && s.current < static_cast<int>(s.entries.size())
                     ? s.entries[static_cast<std::size_t>(s.current)]
                     : std::string();
}

void MemcardManager::Send(int side) {
    if (pathSent_) pathSent_(side, path(side));
}

void MemcardManager::Refresh(int side) {
    ReadControls();
    Side& s = sides_[Index(side)];
    s.listing = {};
    s.selectedSlot = -1;
    if (s.path.empty() || !FileExists(s.path)) return;

    if (!memcard::MemCardIsFormatted(s.path)) {
        // A card that cannot be formatted is not asked about again and again.
        if (Confirm(prompter_, kAskFormatUnformatted) && memcard::MemCardFormat(s.path)) Refresh(side);
        Send(side);
        return;
    }
    memcard::CMemCardFile card;
    // An unreadable card was reported by Open; its list stays empty rather
    // than showing 15 free slots that are not there.
    if (card.Open(s.path, &prompter_)) s.listing = ListSlots(card);
    card.Close();
    Send(side);
}

void MemcardManager::RefreshAfterChange(int side) {
    Refresh(side);
    if (path(kLeft) == path(kRight)) Refresh(OtherSide(side));
}

void MemcardManager::ShowPathInList(int side) {
    Side& s = sides_[Index(side)];
    if (s.path.empty()) return;
    // An exact match, ignoring case: a prefix would find "a.mcr" for "a.mc".
    const int found = FindCardEntry(s.entries, s.path);
    if (found >= 0) {
        s.current = found;
        return;
    }
    s.entries.insert(s.entries.begin(), LowerAnsi(s.path));
    s.current = 0;
}

void MemcardManager::SelectEntry(int side, int index) {
    Side& s = sides_[Index(side)];
    s.current = index >= 0 && index < static_cast<int>(s.entries.size()) ? index : -1;
    Refresh(side);
}

void MemcardManager::SelectSlot(int side, int slot) {
    Side& s = sides_[Index(side)];
    s.selectedSlot = slot >= 0 && slot < static_cast<int>(s.listing.rows.size()) ? slot : -1;
    active_ = side == kRight ? kRight : kLeft;
}

const std::string& MemcardManager::SaveNameOf(int side, int slot) const {
    const Side& s = sides_[Index(side)];
    if (slot < 0 || slot >= static_cast<int>(s.listing.rows.size())) return kNoName;
    return s.listing.rows[static_cast<std::size_t>(slot)].saveName;
}

void MemcardManager::Format(int side) {
    ReadControls();
    if (Confirm(prompter_, kAskFormat)) {
        const Side& s = sides_[Index(side)];
        if (s.current >= 0 && !s.entries[static_cast<std::size_t>(s.current)].empty())
            memcard::MemCardFormat(s.entries[static_cast<std::size_t>(s.current)]);
    }
    RefreshAfterChange(side);
}

std::string MemcardManager::NewCardPath(int side) const { return directory_ + kNewCardNames[Index(side)]; }

void MemcardManager::Create(int side, const std::string& chosen) {
    ReadControls();
    if (!chosen.empty()) {
        if (!FileExists(chosen) || Confirm(prompter_, kAskOverwriteCard, kOverwriteCaption)) {
            memcard::MemCardFormat(chosen);
            SetPath(side, chosen);
        }
    }
    ShowPathInList(side);
    RefreshAfterChange(side);
}

void MemcardManager::Browse(int side, const std::string& chosen) {
    ReadControls();
    if (chosen.empty()) return;
    SetPath(side, chosen);
    ShowPathInList(side);
    Refresh(side);
}

void MemcardManager::Import(int side, const std::string& chosen) {
    ReadControls();
    if (chosen.empty()) return;
    const ImportPlan plan = PlanImport(directory_, chosen);
    // A card of the folder chosen again is only selected.
    const bool itself = EqualsNoCase(plan.destination, chosen);
    // Replacing a card is asked as Create asks it; No leaves everything as it was.
    if ((plan.headerSize || plan.anyFormat) && !itself && FileExists(plan.destination) &&
        !Confirm(prompter_, kAskOverwriteCard, kOverwriteCaption))
        return;
    if (Error cause;
        plan.headerSize && !memcard::MemCardStripHeader(chosen, plan.destination, *plan.headerSize, &cause))
        prompter_.Tell(kImportFailed, kCaption, cause, PromptIcon::Stop);
    // A file that is no card leaves the side as it was.
    if (plan.anyFormat && !itself && !ImportAnyFormat(chosen, plan.destination)) return;
    SetPath(side, plan.destination);
    ShowPathInList(side);
    Refresh(side);
}

bool MemcardManager::ImportAnyFormat(const std::string& chosen, const std::string& destination) {
    auto card = std::make_unique<memcard::CardImage>();
    const memcard::CardFileRead read = memcard::ReadAnyCardFile(chosen, *card);
    if (!read.ok()) {
        prompter_.Tell(std::string(kImportFailed) + "\n" + CardReadText(chosen, read), kCaption, PromptIcon::Stop);
        return false;
    }
    if (Error cause; !memcard::WriteCardFile(destination, *card, memcard::CardFormat::Raw, nullptr, &cause)) {
        prompter_.Tell(std::string(kImportFailed) + "\nCannot write " + destination + ".", kCaption, cause,
                       PromptIcon::Stop);
        return false;
    }
    const std::string notice = SignatureNotice(chosen, read.read);
    if (!notice.empty()) prompter_.Tell(notice, kCaption, PromptIcon::Exclamation);
    return true;
}

void MemcardManager::DeleteCard(int side) {
    ReadControls();
    const std::string doomed = path(side);
    if (doomed.empty() || !Confirm(prompter_, kAskDeleteCard)) return;
    (void)DeleteFileAt(doomed);  // a card that cannot be deleted still leaves the lists
    for (Side& s : sides_) {
        const int found = FindCardEntry(s.entries, doomed);
        if (found < 0) continue;
        s.entries.erase(s.entries.begin() + found);
        // The list that showed the deleted card moves to its first entry; the
        // other keeps the card it shows.
        if (s.current == found) s.current = s.entries.empty() ? -1 : 0;
        else if (s.current > found) --s.current;
    }
    Refresh(kLeft);
    Refresh(kRight);
}

void MemcardManager::CopySave(int fromSide) {
    ReadControls();
    const int toSide = OtherSide(fromSide);
    const int fromSlot = side(fromSide).selectedSlot;
    const int toSlot = side(toSide).selectedSlot;
    if (fromSlot < 0 || toSlot < 0) return;
    if (IsLinkText(SaveNameOf(fromSide, fromSlot)) || IsLinkText(SaveNameOf(toSide, toSlot))) return;
    const std::string source = path(fromSide);
    const std::string dest = path(toSide);
    if (source.empty() || dest.empty()) {
        prompter_.Tell(kSomethingWrong, kCaption, PromptIcon::Information);
        return;
    }
    if (!memcard::MemCardSlotInUse(source, fromSlot)) return;
    if (!memcard::MemCardSlotInUse(dest, toSlot) || Confirm(prompter_, kAskOverwriteSave)) {
        if (Error cause; !memcard::MemCardCopySave(source, fromSlot, dest, toSlot, &cause))
            prompter_.Tell(kCopyFailed, kCaption, cause, PromptIcon::Stop);
    }
    Refresh(toSide);
    if (source == dest) Refresh(fromSide);
}

void MemcardManager::EraseSave() {
    ReadControls();
    const int s = active_;
    const std::string card = path(s);
    const int slot = side(s).selectedSlot;
    if (card.empty() || !memcard::MemCardIsFormatted(card) || slot < 0) return;
    if (!memcard::MemCardSlotInUse(card, slot) || IsLinkText(SaveNameOf(s, slot))) return;
    if (!Confirm(prompter_, kAskDeleteSlot)) return;
    if (Error cause; !memcard::MemCardDeleteSave(card, slot, &cause))
        prompter_.Tell(kEraseFailed, kCaption, cause, PromptIcon::Stop);
    RefreshAfterChange(s);
}

void MemcardManager::MarkFree() {
    ReadControls();
    const int s = active_;
    const int slot = side(s).selectedSlot;
    if (slot < 0) return;
    const std::string& name = SaveNameOf(s, slot);
    if (IsLinkText(name) || name == kFreeText) return;
    const std::string card = path(s);
    if (card.empty() || !memcard::MemCardIsFormatted(card)) return;
    if (!Confirm(prompter_, kAskFreeSlot)) return;
    if (Error cause; !memcard::MemCardMarkFree(card, slot, &cause))
        prompter_.Tell(kMarkFreeFailed, kCaption, cause, PromptIcon::Stop);
    RefreshAfterChange(s);
}

void MemcardManager::Activate() {
    for (int s : {kLeft, kRight}) {
        if (!path(s).empty() && !FileExists(path(s))) {
            prompter_.Tell(kInvalidCard, kCaption, PromptIcon::Information);
            break;
        }
    }
    for (int s : {kLeft, kRight}) {
        if (!path(s).empty() && FileExists(path(s))) ShowPathInList(s);
        else sides_[Index(s)].current = -1;
    }
    Refresh(kLeft);
    Refresh(kRight);
    activated_ = true;
}

void MemcardManager::Deactivate() {
    ReadControls();
    activated_ = false;
    Send(kLeft);
    Send(kRight);
}

void MemcardManager::Ok() {
    if (!activated_) return;
    ReadControls();
    Send(kLeft);
    Send(kRight);
}

}  // namespace dravolo::memcards
