#include "cli/memcard_cli_support.h"

#include <charconv>
#include <ostream>

#include "common/memcard/memcard.h"
#include "common/platform/native_text.h"
#include "common/platform/winfs.h"
#include "frontend/memcards/memcard_texts.h"
#include "frontend/memcards/slot_listing.h"

namespace dravolo::cli {

std::optional<int> ParseCardSlot(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 1 || value > memcard::kSlotCount)
        return std::nullopt;
    return value - 1;
}

bool ConfirmCard(Context& context, std::string_view question, std::string_view caption) {
    return context.prompter.Ask(question, caption.empty() ? memcards::kCaption : caption, PromptIcon::Question,
                                PromptButtons::YesNo, PromptAnswer::No) == PromptAnswer::Yes;
}

bool UsableCard(Context& context, const std::string& path) {
    if (!FileExists(path)) {
        Report(context, memcard::MemCardOpenErrorText(path), "File Open Error");
        return false;
    }
    if (!memcard::MemCardIsFormatted(path)) {
        context.err << "dravolo-cli: " << ForTerminal(path) << " is not a formatted memory card\n";
        return false;
    }
    return true;
}

namespace {

// Kept Shift-JIS characters as the terminal shows them.
std::string ShiftJisForTerminal(const std::string& bytes) {
    if (auto text = NativeTextFromShiftJis(bytes)) return *text;
    return ForTerminal(bytes);
}

}  // namespace

std::string TitleForTerminal(std::string title) {
    // Damaged cards can hold anything: no control character reaches the terminal.
    for (char& c : title)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    std::string text;
    for (const memcards::TitlePiece& piece : memcards::SplitTitleText(title))
        text += piece.shiftJis ? ShiftJisForTerminal(piece.bytes) : ForTerminal(piece.bytes);
    return text;
}

std::string CardSlotName(const std::string& path, int slot) {
    return ForTerminal(path) + " slot " + std::to_string(slot + 1);
}

}  // namespace dravolo::cli
