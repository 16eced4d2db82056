#pragma once
// Messages of the core on stderr; questions answered by --yes / --no, or at the
// terminal when one is attached, else with the question's default.

#include <iosfwd>
#include <optional>

#include "common/base/prompter.h"

namespace dravolo::cli {

class ConsolePrompter : public Prompter {
public:
    ConsolePrompter(std::ostream& err, std::optional<bool> presetAnswer, bool interactive)
        : err_(err), preset_(presetAnswer), interactive_(interactive) {}

    PromptAnswer Ask(std::string_view text, std::string_view caption, PromptIcon icon, PromptButtons buttons,
                     PromptAnswer defaultAnswer) override;
    // The details follow the text in brackets, on the same line.
    PromptAnswer AskWithDetails(std::string_view text, std::string_view caption, PromptIcon icon, PromptButtons buttons,
                                PromptAnswer defaultAnswer, std::string_view details) override;

private:
    std::ostream& err_;
    std::optional<bool> preset_;
    bool interactive_;
};

}  // namespace dravolo::cli
