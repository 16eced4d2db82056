// dravolo-cli memcard recover / check: bringing back a save marked free, and
// the integrity report with its repair.

#include <ostream>

#include "cli/memcard_cli_support.h"
#include "common/memcard/card_integrity.h"
#include "common/memcard/memcard_file.h"
#include "common/memcard/save_recovery.h"
#include "frontend/memcards/integrity_texts.h"
#include "frontend/memcards/memcard_texts.h"

namespace dravolo::cli {

namespace {

constexpr int kCannotRead = 2;  // check: 0 clean, 1 findings, 2 cannot read

void PrintFindings(Context& context, const std::vector<memcard::Finding>& findings) {
    for (const std::string& line : memcards::FindingLines(findings)) context.out << ForTerminal(line) << '\n';
}

bool AnyRepairable(const std::vector<memcard::Finding>& findings) {
    for (const memcard::Finding& f : findings)
        if (memcard::IsRepairable(f.kind)) return true;
    return false;
}

}  // namespace

int MemcardRecover(const std::string& path, int slot, Context& context) {
    if (!UsableCard(context, path)) return kFailed;
    Error cause;
    const memcard::RecoverResult result = memcard::RecoverSaveInFile(path, slot, &cause);
    if (!result.ok()) {
        context.prompter.Tell(memcards::RecoverText(result), memcards::kCaption, cause, PromptIcon::Stop);
        return kFailed;
    }
    context.out << ForTerminal(memcards::RecoverText(result)) << '\n';
    return kOk;
}

int MemcardCheck(const std::string& path, bool repair, Context& context) {
    std::vector<memcard::Finding> findings;
    if (!memcard::CheckCardFile(path, findings)) {
        Report(context, memcard::MemCardOpenErrorText(path), "File Open Error");
        return kCannotRead;
    }
    PrintFindings(context, findings);
    if (!repair || !AnyRepairable(findings)) return findings.empty() ? kOk : kFailed;

    if (!ConfirmCard(context, memcards::kAskRepairCard)) return kFailed;
    Error cause;
    const auto repaired = memcard::RepairCardFile(path, &cause);
    if (!repaired) {
        context.prompter.Tell(memcards::kRepairFailed, memcards::kCaption, cause, PromptIcon::Stop);
        return kFailed;
    }
    context.out << ForTerminal(memcards::RepairText(*repaired)) << '\n';
    // What is left after the repair decides the result.
    if (!memcard::CheckCardFile(path, findings)) return kCannotRead;
    if (findings.empty()) return kOk;
    context.out << "Still found:\n";
    PrintFindings(context, findings);
    return kFailed;
}

}  // namespace dravolo::cli
