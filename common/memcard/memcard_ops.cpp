#include "common/memcard/memcard_ops.h"

#include <cstdint>

#include "common/memcard/card_image.h"
#include "common/memcard/card_io.h"
#include "common/platform/winfs.h"

namespace dravolo::memcard {

namespace {

// Reads a formatted card for the slot searches; null on their failures.
std::unique_ptr<CardImage> ReadFormattedCard(std::string_view path) {
    auto card = ReadCardFile(path);
    if (!card || !IsFormattedImage(*card)) return nullptr;
    return card;
}

}  // namespace

int MemCardFormat(std::string_view path, Error* error) {
    if (path.empty()) return 0;
    const auto card = std::make_unique<CardImage>();
    FormatImage(*card);
    return WriteNewCardFile(path, *card, error) ? 1 : 0;
}

int MemCardIsFormatted(std::string_view path) {
    if (path.empty()) return 0;
    const auto card = ReadCardFile(path);
    if (!card) return 1;
    return IsFormattedImage(*card) ? 1 : 0;
}

int MemCardSlotInUse(std::string_view path, int slot) {
    if (!IsValidSlot(slot)) return 0;
    const auto card = ReadCardFile(path);
    if (!card) return 1;
    return IsInUseState(SlotState(*card, slot)) ? 1 : 0;
}

int MemCardFreeSlots(std::string_view path) {
    const auto card = ReadFormattedCard(path);
    return card ? CountAvailableSlots(*card) : -1;
}

int MemCardFirstFree(std::string_view path) {
    const auto card = ReadFormattedCard(path);
    return card ? FirstAvailableSlot(*card) : -1;
}

int MemCardFirstFreeExcept(std::string_view path, int slot) {
    const auto card = ReadFormattedCard(path);
    return card ? FirstAvailableSlotExcept(*card, slot) : -1;
}

int MemCardSaveChain(std::string_view path, int firstSlot, std::vector<std::uint8_t>& slots) {
    if (path.empty() || !MemCardIsFormatted(path)) return -1;
    // A first slot past the directory has no frame to read.
    if (!IsValidSlot(firstSlot)) return -1;
    const auto card = ReadCardFile(path);
    if (!card) return 1;
    const std::vector<int> chain = SaveChain(*card, firstSlot);
    for (int slot : chain) slots.push_back(static_cast<std::uint8_t>(slot));
    return static_cast<int>(chain.size());
}

// A card that cannot be opened for writing, or whose write fails, is a
// failure: the caller must not tell the user the save is gone when it is not.
int MemCardDeleteSave(std::string_view path, int slot, Error* error) {
    if (!IsValidSlot(slot) || path.empty()) return 0;
    const auto card = OpenCardForUpdate(path, error);
    if (!card) return 0;
    EraseSave(*card->after, slot);
    return card->WriteChanges(error) ? 1 : 0;
}

int MemCardMarkFree(std::string_view path, int slot, Error* error) {
    if (!IsValidSlot(slot) || path.empty()) return 0;
    const auto card = OpenCardForUpdate(path, error);
    if (!card) return 0;
    MarkSaveFree(*card->after, slot);
    return card->WriteChanges(error) ? 1 : 0;
}

int MemCardCopySave(std::string_view sourcePath, int sourceSlot, std::string_view destPath, int destSlot,
                    Error* error) {
    if (!IsValidSlot(sourceSlot) || !IsValidSlot(destSlot)) return 0;
    // The same file only when the names are the same bytes; two spellings of
    // one file still copy correctly, because the source is read whole first.
    if (sourcePath == destPath) {
        const auto card = OpenCardForUpdate(destPath, error);
        if (!card || !CopySaveWithin(*card->after, sourceSlot, destSlot)) return 0;
        return card->WriteChanges(error) ? 1 : 0;
    }
    const auto source = ReadCardFile(sourcePath);
    if (!source) return 0;
    const auto dest = OpenCardForUpdate(destPath, error);
    if (!dest || !CopySaveBetween(*source, sourceSlot, *dest->after, destSlot)) return 0;
    return dest->WriteChanges(error) ? 1 : 0;
}

int MemCardStripHeader(std::string_view sourcePath, std::string_view destPath, std::size_t headerSize, Error* error) {
    if (sourcePath.empty() || destPath.empty()) return 0;
    if (MemCardIsFormatted(sourcePath)) return 0;
    if (headerSize > SIZE_MAX - kCardSize) return 0;
    const auto in = WinFile::Open(sourcePath, WinFile::Mode::Read);
    if (!in) return 1;
    // A source too short for a whole card writes nothing: a card with an
    // undefined tail is worse than no card.
    Bytes data;
    if (!in->ReadAll(headerSize + kCardSize, data) || data.size() < headerSize + kCardSize) return 0;
    // A destination that cannot be created is a failed import, not a success:
    // the user is told, instead of being shown a card that is not there.
    return WriteNewCardFile(destPath, std::span<const std::uint8_t>(data).subspan(headerSize, kCardSize), error) ? 1
                                                                                                                 : 0;
}

}  // namespace dravolo::memcard
