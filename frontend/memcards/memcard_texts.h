#pragma once
// The memory-card manager's own words: captions, questions, messages, the
// status texts of the slot list and the file-dialog filters.

namespace dravolo::memcards {

inline constexpr const char* kPageCaption = "MemCard Manager     ";
inline constexpr const char* kCaption = "MemCard Manager";
inline constexpr const char* kOverwriteCaption = "Overwrite";

inline constexpr const char* kFreeText = ":: Free ::";
inline constexpr const char* kLinkText = ":: Link ::";
inline constexpr const char* kEndLinkText = ":: End Link ::";
inline constexpr const char* kErasedText = ":: Erased ::";

inline constexpr const char* kAskFormatUnformatted =
    "Memory card selected is not formatted.\nDo you want to Format it?";
inline constexpr const char* kAskFormat = "Format memory card?";
inline constexpr const char* kAskOverwriteCard = "Overwrite memcard?";
inline constexpr const char* kAskDeleteCard = "Delete current memory card?";
inline constexpr const char* kAskOverwriteSave = "Overwrite MemSave?";
inline constexpr const char* kAskDeleteSlot = "Delete MemCard Slot?";
inline constexpr const char* kAskFreeSlot = "Free MemCard Slot?";

inline constexpr const char* kImportFailed = "Memory card import failure";
inline constexpr const char* kSomethingWrong = "Something went wrong\n";
inline constexpr const char* kCopyFailed =
    "MemCard Copy Failed.\n1. Destination might be full.\n2. Cannot copy/overwrite links.";
inline constexpr const char* kMarkFreeFailed = "Error when marking slot as free";
// Our own, in the same words as the page's other questions.
inline constexpr const char* kAskRepairCard = "Repair the memory card?";
inline constexpr const char* kAskOverwriteFile = "File already exists. Overwrite File?";
inline constexpr const char* kRepairFailed = "Cannot repair: the memory card cannot be written.";
// Our own, in the same words: an erase that could not be written.
inline constexpr const char* kEraseFailed = "Error when deleting memcard slot";
inline constexpr const char* kInvalidCard =
    "1. You have selected an invalid memory card in options page.\n"
    "2. MemCard Manager has automatically emptied edit box.\n"
    "3. Changes will not be saved until you do so.\n"
    "4. Select a valid memory card to get rid of this nag screen.";

// File dialogs, in the framework's "Text|patterns|...|" form.
inline constexpr const char* kCreateFilter = "Uniform memsaves (*.mcr)|*.mcr|All files(*.*)|*.*|";
inline constexpr const char* kBrowseFilter =
    "Memsaves (*.mcr,*.mcd,*.mc,*.ddf)|*.mcr;*.mcd;*.mc;*.ddf|All files(*.*)|*.*|";
inline constexpr const char* kImportFilter = "Dexdrive/VGS(*.vgs,*.mem,*.gme)|*.vgs;*.mem;*.gme|";
// Our own: Import takes every card format, the three of the filter above first
// among them, and Export Save / Import Save take every single-save format.
inline constexpr const char* kImportAnyFilter =
    "Memory cards (*.gme,*.vgs,*.mem,*.mcr,*.mcd,*.mc,*.ddf,*.ps,*.psm,*.mci,*.srm,*.bin,*.vmc,*.vmp,*.vm1)|"
    "*.gme;*.vgs;*.mem;*.mcr;*.mcd;*.mc;*.ddf;*.ps;*.psm;*.mci;*.srm;*.bin;*.vmc;*.vmp;*.vm1|"
    "Dexdrive/VGS(*.vgs,*.mem,*.gme)|*.vgs;*.mem;*.gme|"
    "PSP/PS3 (*.vmp,*.vm1)|*.vmp;*.vm1|All files(*.*)|*.*|";
inline constexpr const char* kSaveFilter =
    "Saves (*.mcs,*.ps1,*.psx,*.mcb,*.mcx,*.pda,*.psv)|*.mcs;*.ps1;*.psx;*.mcb;*.mcx;*.pda;*.psv|"
    "PSXGameEdit (*.mcs)|*.mcs|Memory Juggler (*.ps1)|*.ps1|AR/GS/Caetla (*.psx)|*.psx|Smart Link (*.mcb)|*.mcb|"
    "Datel (*.mcx,*.pda)|*.mcx;*.pda|PS3 (*.psv)|*.psv|Raw saves, all files(*.*)|*.*|";
inline constexpr const char* kSaveExtension = "mcs";
inline constexpr const char* kCardExtension = "mcr";
inline constexpr const char* kImportExtension = "gme";

// Default names Create offers on the left and right side.
inline constexpr const char* kNewCardNames[2] = {"memcard1.mcr", "memcard2.mcr"};

}  // namespace dravolo::memcards
