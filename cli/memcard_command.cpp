// dravolo-cli memcard: the memory-card manager's operations on card files,
// with its questions and messages. Slots are 1-15 as the page shows them.

#include <ostream>

#include "cli/cli.h"
#include "cli/memcard_cli_support.h"
#include "common/memcard/memcard.h"
#include "common/platform/winfs.h"
#include "frontend/memcards/card_folder.h"
#include "frontend/memcards/memcard_texts.h"
#include "frontend/memcards/slot_listing.h"

namespace dravolo::cli {

namespace {

using namespace memcards;

constexpr const char* kMemcardUsage =
    "dravolo-cli: use 'memcard format FILE', 'memcard list FILE', 'memcard copy SRC SLOT DST SLOT',\n"
    "  'memcard erase FILE SLOT', 'memcard free FILE SLOT', 'memcard recover FILE SLOT',\n"
    "  'memcard check FILE [--repair]', 'memcard import SRC DST', 'memcard convert SRC DST',\n"
    "  'memcard export-save FILE SLOT OUT', 'memcard import-save IN FILE [SLOT]',\n"
    "  'memcard snapshots KIND NAME' or 'memcard restore KIND NAME ID' (SLOT is 1-15)\n";

std::uint8_t StateOf(const std::string& path, int slot) {
    memcard::CMemCardFile card;
    card.Open(path);
    return card.slotState[static_cast<std::size_t>(slot)];
}

std::string StateText(std::uint8_t state) {
    switch (state) {
    case memcard::kStateFirst: return "save";
    case memcard::kStateLink: return "link";
    case memcard::kStateEndLink: return "end link";
    case memcard::kStateFree:
    case memcard::kStateNeverUsed: return "free";
    case 0xA1:
    case 0xA2:
    case 0xA3: return "erased";
    default: {
        static const char* digits = "0123456789ABCDEF";
        return std::string("used 0x") + digits[state >> 4] + digits[state & 0x0F];
    }
    }
}

std::string RegionText(std::uint16_t region) {
    const char first = static_cast<char>(region >> 8), second = static_cast<char>(region & 0xFF);
    if (first < 0x21 || first > 0x7E || second < 0x21 || second > 0x7E) return "-";
    return std::string{first, second};
}

// The middle and last blocks of a save (in use or erased) hold save data
// where a first block has its title.
bool HasTitle(std::uint8_t state) { return (state & 0x0F) != 0x02 && (state & 0x0F) != 0x03; }

int Format(const std::string& path, Context& context) {
    if (FileExists(path) && !ConfirmCard(context, kAskFormat)) return kFailed;
    if (Error cause; !memcard::MemCardFormat(path, &cause)) {
        context.err << "dravolo-cli: " << ForTerminal(path) << " cannot be written" << CauseForTerminal(cause) << "\n";
        return kFailed;
    }
    return kOk;
}

int List(const std::string& path, Context& context) {
    if (!UsableCard(context, path)) return kFailed;
    memcard::CMemCardFile card;
    if (!card.Open(path, &context.prompter)) return kFailed;
    for (int slot = 0; slot < memcard::kSlotCount; ++slot) {
        const auto s = static_cast<std::size_t>(slot);
        context.out << slot + 1 << '\t' << StateText(card.slotState[s]) << '\t' << RegionText(card.region[s]) << '\t'
                    << (HasTitle(card.slotState[s]) ? TitleForTerminal(memcard::MemCardTitleText(card.title[s])) : "")
                    << '\n';
    }
    return kOk;
}

int Copy(const std::string& source, int sourceSlot, const std::string& dest, int destSlot, Context& context) {
    if (!UsableCard(context, source) || !UsableCard(context, dest)) return kFailed;
    if (!memcard::MemCardSlotInUse(source, sourceSlot)) {
        context.err << "dravolo-cli: " << CardSlotName(source, sourceSlot) << " holds no save\n";
        return kFailed;
    }
    if (memcard::MemCardSlotInUse(dest, destSlot) && !(source == dest && sourceSlot == destSlot) &&
        !memcard::IsLinkState(StateOf(dest, destSlot)) && !ConfirmCard(context, kAskOverwriteSave))
        return kFailed;
    if (Error cause; !memcard::MemCardCopySave(source, sourceSlot, dest, destSlot, &cause)) {
        context.prompter.Tell(kCopyFailed, kCaption, cause, PromptIcon::Stop);
        return kFailed;
    }
    return kOk;
}

// Erase and mark free start only at the first block of a save.
bool ErasableSlot(const std::string& path, int slot, Context& context) {
    if (!UsableCard(context, path)) return false;
    const std::uint8_t state = StateOf(path, slot);
    if (memcard::IsLinkState(state)) {
        context.err << "dravolo-cli: " << CardSlotName(path, slot)
                    << " is a link of a longer save; use its first slot\n";
        return false;
    }
    if (state == memcard::kStateFree || state == memcard::kStateNeverUsed) {
        context.err << "dravolo-cli: " << CardSlotName(path, slot) << " holds no save\n";
        return false;
    }
    return true;
}

int Erase(const std::string& path, int slot, Context& context) {
    if (!ErasableSlot(path, slot, context)) return kFailed;
    if (!memcard::MemCardSlotInUse(path, slot)) {
        context.err << "dravolo-cli: " << CardSlotName(path, slot) << " is already erased\n";
        return kFailed;
    }
    if (!ConfirmCard(context, kAskDeleteSlot)) return kFailed;
    if (Error cause; !memcard::MemCardDeleteSave(path, slot, &cause)) {
        context.prompter.Tell(kEraseFailed, kCaption, cause, PromptIcon::Stop);
        return kFailed;
    }
    return kOk;
}

int Free(const std::string& path, int slot, Context& context) {
    if (!ErasableSlot(path, slot, context)) return kFailed;
    if (!ConfirmCard(context, kAskFreeSlot)) return kFailed;
    if (Error cause; !memcard::MemCardMarkFree(path, slot, &cause)) {
        context.prompter.Tell(kMarkFreeFailed, kCaption, cause, PromptIcon::Stop);
        return kFailed;
    }
    return kOk;
}

int Import(const std::string& source, const std::string& dest, Context& context) {
    // The header to drop follows the source's extension, as on the page.
    const ImportPlan plan = PlanImport(std::string(), source);
    if (!plan.headerSize) return MemcardImportAny(source, dest, context);
    if (FileExists(dest) && !ConfirmCard(context, kAskOverwriteCard, kOverwriteCaption)) return kFailed;
    if (Error cause; !memcard::MemCardStripHeader(source, dest, *plan.headerSize, &cause)) {
        context.prompter.Tell(kImportFailed, kCaption, cause, PromptIcon::Stop);
        return kFailed;
    }
    return kOk;
}

}  // namespace

int RunMemcard(const std::vector<std::string>& args, Context& context) {
    const auto usage = [&context] {
        context.err << kMemcardUsage;
        return kUsage;
    };
    if (args.empty()) return usage();
    const std::string& verb = args[0];
    if ((verb == "format" || verb == "list") && args.size() == 2)
        return verb == "format" ? Format(args[1], context) : List(args[1], context);
    if ((verb == "erase" || verb == "free" || verb == "recover") && args.size() == 3) {
        const auto slot = ParseCardSlot(args[2]);
        if (!slot) return usage();
        if (verb == "recover") return MemcardRecover(args[1], *slot, context);
        return verb == "erase" ? Erase(args[1], *slot, context) : Free(args[1], *slot, context);
    }
    if (verb == "check" && (args.size() == 2 || (args.size() == 3 && args[2] == "--repair")))
        return MemcardCheck(args[1], args.size() == 3, context);
    if (verb == "copy" && args.size() == 5) {
        const auto sourceSlot = ParseCardSlot(args[2]);
        const auto destSlot = ParseCardSlot(args[4]);
        if (!sourceSlot || !destSlot) return usage();
        return Copy(args[1], *sourceSlot, args[3], *destSlot, context);
    }
    if (verb == "import" && args.size() == 3) return Import(args[1], args[2], context);
    if (verb == "snapshots" && args.size() == 3) return MemcardSnapshots({args.begin() + 1, args.end()}, context);
    if (verb == "restore" && args.size() == 4) return MemcardRestore({args.begin() + 1, args.end()}, context);
    if (verb == "convert" && args.size() == 3) return MemcardConvert(args[1], args[2], context);
    if (verb == "export-save" && args.size() == 4) {
        const auto slot = ParseCardSlot(args[2]);
        if (!slot) return usage();
        return MemcardExportSave(args[1], *slot, args[3], context);
    }
    if (verb == "import-save" && (args.size() == 3 || args.size() == 4)) {
        std::optional<int> slot;
        if (args.size() == 4 && !(slot = ParseCardSlot(args[3]))) return usage();
        return MemcardImportSave(args[1], args[2], slot, context);
    }
    return usage();
}

}  // namespace dravolo::cli
