#include "frontend/memcards/format_texts.h"

#include "common/memcard/memcard_file.h"

namespace dravolo::memcards {

using memcard::CardReadProblem;
using memcard::FileProblem;
using memcard::SaveProblem;

std::string CardReadText(std::string_view path, const memcard::CardFileRead& read) {
    if (!read.opened) return memcard::MemCardOpenErrorText(path);
    const std::string name(path);
    const std::string kind(memcard::CardFormatName(read.read.format));
    switch (read.read.problem) {
    case CardReadProblem::None: return {};
    case CardReadProblem::Empty: return name + " is empty.";
    case CardReadProblem::TooShort:
        return name + " is cut short: a " + kind + " needs " + std::to_string(read.read.needed) + " bytes.";
    case CardReadProblem::NoCardInside: return name + " has the header of a " + kind + " but no memory card behind it.";
    case CardReadProblem::NotACard: return name + " is not a memory card in any format known here.";
    }
    return name + " cannot be read as a memory card.";
}

std::string SignatureNotice(std::string_view path, const memcard::CardRead& read) {
    if (!read.ok() || read.signatureValid) return {};
    const char* what = read.format == memcard::CardFormat::Psp ? "signature" : "checksum";
    return "The " + std::string(what) + " of " + std::string(path) +
           " does not match its contents: the file was changed or damaged. The card was read as it is.";
}

std::string SaveFileText(std::string_view savePath, std::string_view cardPath, const memcard::SaveFileResult& r,
                         bool exporting) {
    const std::string save(savePath), card(cardPath);
    switch (r.file) {
    case FileProblem::None: break;
    case FileProblem::CannotReadCard: return memcard::MemCardOpenErrorText(cardPath);
    case FileProblem::CannotReadSave: return memcard::MemCardOpenErrorText(savePath);
    case FileProblem::CannotWrite: return "Cannot write " + (exporting ? save : card) + ".";
    }
    switch (r.save.problem) {
    case SaveProblem::None: return {};
    case SaveProblem::SlotOutOfRange: return "There is no such slot.";
    case SaveProblem::NotFormatted: return card + " is not a formatted memory card.";
    case SaveProblem::NoSave: return "The slot does not start a save.";
    case SaveProblem::Empty: return save + " is empty.";
    case SaveProblem::NotASaveFile: return save + " is not a save file in any format known here.";
    case SaveProblem::NotWholeBlocks:
        if (r.save.needed == 0) return save + " is cut short: its data is not a whole number of 8192-byte blocks.";
        return save + " is cut short: its save needs " + std::to_string(r.save.needed) + " bytes.";
    case SaveProblem::TooManyBlocks: return save + " holds more than a memory card can take.";
    case SaveProblem::NotPs1Save: return save + " is a PS3 save of a PlayStation 2 game.";
    case SaveProblem::LinkSlot:
        return "The slot is a later block of another save; choose its first slot or a free one.";
    case SaveProblem::NoRoom:
        return "There is no room on " + card + ": " + std::to_string(r.save.needed) + " more free slot" +
               (r.save.needed == 1 ? "" : "s") + " needed.";
    }
    return "The save cannot be moved.";
}

std::string SaveSignatureNotice(std::string_view savePath, const memcard::SaveFileResult& result) {
    if (!result.ok() || result.save.signatureValid) return {};
    return "The signature of " + std::string(savePath) +
           " does not match its contents: the file was changed or damaged. The save was read as it is.";
}

}  // namespace dravolo::memcards
