#include "common/memcard/card_files.h"

#include "common/memcard/card_io.h"
#include "common/memcard/memcard_ops.h"
#include "common/memcard/title_text.h"
#include "common/platform/winfs.h"

namespace dravolo::memcard {

namespace {

// The largest single save: a frame or header and fifteen blocks, and a little
// more so that a file too long for one is seen to be.
constexpr std::size_t kLongestSaveFile = kPsvHeaderSize + kSlotCount * kBlockSize + 1;

std::optional<Bytes> ReadPrefix(std::string_view path, std::size_t count) {
    const auto file = WinFile::Open(path, WinFile::Mode::Read);
    if (!file) return std::nullopt;
    Bytes data;
    if (!file->ReadAll(count, data)) return std::nullopt;
    return data;
}

SaveFileResult FileFailure(FileProblem problem) {
    SaveFileResult result;
    result.file = problem;
    return result;
}

}  // namespace

CardFileRead ReadAnyCardFile(std::string_view path, CardImage& card) {
    CardFileRead result;
    // One byte more than any format needs, so a damaged DexDrive header is
    // told by the file's exact size.
    const auto data = path.empty() ? std::nullopt : ReadPrefix(path, kLongestCardFile + 1);
    if (!data) {
        result.opened = false;
        return result;
    }
    result.read = ReadCardData(*data, card);
    return result;
}

bool WriteCardFile(std::string_view path, const CardImage& card, CardFormat format, const DexDriveComments* comments,
                   Error* error) {
    return !path.empty() && WriteNewCardFile(path, WriteCardData(card, format, comments), error);
}

SaveFileResult ExportSaveToFile(std::string_view cardPath, int slot, std::string_view outPath) {
    const auto card = ReadCardFile(cardPath);
    if (!card) return FileFailure(FileProblem::CannotReadCard);
    SingleSave save;
    SaveFileResult result;
    result.save = ExtractSave(*card, slot, save);
    if (!result.save.ok()) return result;
    const std::string title = MemCardTitleText(
        std::span<const std::uint8_t, kTitleSize>(DataBlock(*card, slot).data() + kTitleOffset, kTitleSize));
    if (outPath.empty() ||
        !WriteNewCardFile(outPath, WriteSaveData(save, SaveFormatForPath(outPath), title), &result.cause))
        result.file = FileProblem::CannotWrite;
    return result;
}

SaveFileResult ImportSaveFromFile(std::string_view savePath, std::string_view cardPath, int slot) {
    const auto data = savePath.empty() ? std::nullopt : ReadPrefix(savePath, kLongestSaveFile);
    if (!data) return FileFailure(FileProblem::CannotReadSave);
    SingleSave save;
    SaveFileResult result;
    if (data->size() == kLongestSaveFile) {  // longer than any save a card can take
        result.save.problem = SaveProblem::TooManyBlocks;
        return result;
    }
    result.save = ReadSaveData(*data, savePath, save);
    if (!result.save.ok()) return result;
    if (!ReadCardFile(cardPath)) return FileFailure(FileProblem::CannotReadCard);
    const auto update = OpenCardForUpdate(cardPath, &result.cause);
    if (!update) {
        result.file = FileProblem::CannotWrite;
        result.save = {};
        return result;
    }
    const bool signatureValid = result.save.signatureValid;
    result.save = PlaceSave(*update->after, save, slot);
    result.save.signatureValid = signatureValid;
    if (result.save.ok() && !update->WriteChanges(&result.cause)) result.file = FileProblem::CannotWrite;
    return result;
}

}  // namespace dravolo::memcard
