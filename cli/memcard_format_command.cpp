// dravolo-cli memcard import (the formats beyond the three whose header is
// dropped), convert, export-save and import-save.

#include <ostream>

#include "cli/memcard_cli_support.h"
#include "common/memcard/card_files.h"
#include "common/memcard/memcard_ops.h"
#include "common/platform/winfs.h"
#include "frontend/memcards/format_texts.h"
#include "frontend/memcards/memcard_texts.h"

namespace dravolo::cli {

namespace {

using namespace memcards;

void Notice(Context& context, const std::string& text) {
    if (!text.empty()) context.err << "dravolo-cli: " << ForTerminal(text) << '\n';
}

bool Fail(Context& context, const std::string& text, const Error& cause = {}) {
    context.prompter.Tell(text, kCaption, cause, PromptIcon::Stop);
    return false;
}

// Reads any card format into `card`, saying why not.
bool ReadCard(Context& context, const std::string& path, memcard::CardImage& card, memcard::CardFileRead& read) {
    read = memcard::ReadAnyCardFile(path, card);
    if (!read.ok()) return Fail(context, CardReadText(path, read));
    Notice(context, SignatureNotice(path, read.read));
    return true;
}

int WriteCard(Context& context, const std::string& dest, const memcard::CardImage& card, memcard::CardFormat format,
              const memcard::CardRead& read) {
    if (FileExists(dest) && !ConfirmCard(context, kAskOverwriteCard, kOverwriteCaption)) return kFailed;
    const memcard::DexDriveComments* comments = read.comments ? &*read.comments : nullptr;
    if (Error cause; !memcard::WriteCardFile(dest, card, format, comments, &cause)) {
        Fail(context, "Cannot write " + dest + ".", cause);
        return kFailed;
    }
    return kOk;
}

}  // namespace

int MemcardImportAny(const std::string& source, const std::string& dest, Context& context) {
    auto card = std::make_unique<memcard::CardImage>();
    memcard::CardFileRead read;
    if (!ReadCard(context, source, *card, read)) return kFailed;
    return WriteCard(context, dest, *card, memcard::CardFormat::Raw, read.read);
}

int MemcardConvert(const std::string& source, const std::string& dest, Context& context) {
    const auto format = memcard::CardFormatForPath(dest);
    if (!format) {
        context.err << "dravolo-cli: " << ForTerminal(dest)
                    << ": use .mcr, .mcd, .mc, .ddf, .ps, .psm, .mci, .srm, .bin or .vmc (raw), .gme, .mem/.vgs,"
                       " .vmp or .vm1\n";
        return kUsage;
    }
    auto card = std::make_unique<memcard::CardImage>();
    memcard::CardFileRead read;
    if (!ReadCard(context, source, *card, read)) return kFailed;
    return WriteCard(context, dest, *card, *format, read.read);
}

int MemcardExportSave(const std::string& cardPath, int slot, const std::string& out, Context& context) {
    if (!UsableCard(context, cardPath)) return kFailed;
    if (FileExists(out) && !ConfirmCard(context, kAskOverwriteFile)) return kFailed;
    const memcard::SaveFileResult result = memcard::ExportSaveToFile(cardPath, slot, out);
    if (!result.ok()) {
        Fail(context, SaveFileText(out, cardPath, result, true), result.cause);
        return kFailed;
    }
    return kOk;
}

int MemcardImportSave(const std::string& in, const std::string& cardPath, std::optional<int> slot, Context& context) {
    if (!UsableCard(context, cardPath)) return kFailed;
    if (!slot) {
        slot = memcard::MemCardFirstFree(cardPath);
        if (*slot < 0) {
            Fail(context, "There is no free slot on " + cardPath + ".");
            return kFailed;
        }
    } else if (memcard::MemCardSlotInUse(cardPath, *slot)) {
        // A later block of a save is refused below; a save is asked about.
        memcard::CardImage probe{};
        memcard::CardFileRead read = memcard::ReadAnyCardFile(cardPath, probe);
        if (read.ok() && !memcard::IsLinkState(probe[memcard::DirectoryFrameOffset(*slot)]) &&
            !ConfirmCard(context, kAskOverwriteSave))
            return kFailed;
    }
    const memcard::SaveFileResult result = memcard::ImportSaveFromFile(in, cardPath, *slot);
    if (!result.ok()) {
        Fail(context, SaveFileText(in, cardPath, result, false), result.cause);
        return kFailed;
    }
    Notice(context, SaveSignatureNotice(in, result));
    context.out << "slot " << *slot + 1 << '\n';
    return kOk;
}

}  // namespace dravolo::cli
