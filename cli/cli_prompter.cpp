#include "cli/cli_prompter.h"

#include <iostream>
#include <string>

#include "cli/cli.h"

namespace dravolo::cli {

PromptAnswer ConsolePrompter::Ask(std::string_view text, std::string_view caption, PromptIcon icon,
                                  PromptButtons buttons, PromptAnswer defaultAnswer) {
    return AskWithDetails(text, caption, icon, buttons, defaultAnswer, {});
}

PromptAnswer ConsolePrompter::AskWithDetails(std::string_view text, std::string_view caption, PromptIcon,
                                             PromptButtons buttons, PromptAnswer defaultAnswer,
                                             std::string_view details) {
    err_ << ForTerminal(caption) << ": " << ForTerminal(text);
    if (!details.empty()) err_ << " (" << ForTerminal(details) << ")";
    err_ << "\n";
    const bool question = buttons != PromptButtons::Ok;
    if (!question) return PromptAnswer::Ok;
    const PromptAnswer yes = buttons == PromptButtons::OkCancel      ? PromptAnswer::Ok
                             : buttons == PromptButtons::RetryCancel ? PromptAnswer::Retry
                                                                     : PromptAnswer::Yes;
    const PromptAnswer no = buttons == PromptButtons::YesNo || buttons == PromptButtons::YesNoCancel
                                ? PromptAnswer::No
                                : PromptAnswer::Cancel;
    if (preset_) {
        err_ << (*preset_ ? "(answered yes)\n" : "(answered no)\n");
        return *preset_ ? yes : no;
    }
    if (!interactive_) {
        err_ << "(no answer given: pass --yes or --no)\n";
        return defaultAnswer;
    }
    err_ << "[y/n] " << std::flush;
    std::string line;
    if (!std::getline(std::cin, line)) return defaultAnswer;
    return !line.empty() && (line[0] == 'y' || line[0] == 'Y') ? yes : no;
}

}  // namespace dravolo::cli
