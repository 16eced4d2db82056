#pragma once
// The seam between core algorithms and whoever can tell the user something.
// The Qt programs answer with a message box, dravolo-cli with stderr and
// --yes/--no, tests with a scripted prompter. Texts and captions are ANSI.
// A message may come with details, the cause behind it ("Epsxe\Crash.set:
// Permission denied"): never part of the product's text, shown beside it.

#include <string_view>

#include "common/base/error.h"

namespace dravolo {

enum class PromptIcon { None, Stop, Question, Exclamation, Information };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No, Retry };

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual PromptAnswer Ask(std::string_view text, std::string_view caption, PromptIcon icon, PromptButtons buttons,
                             PromptAnswer defaultAnswer) = 0;
    // Ask with details: dravolo-cli prints them after the text, the windows
    // offer them under "Details". A prompter with no place for them shows
    // the text alone.
    virtual PromptAnswer AskWithDetails(std::string_view text, std::string_view caption, PromptIcon icon,
                                        PromptButtons buttons, PromptAnswer defaultAnswer,
                                        std::string_view /*details*/) {
        return Ask(text, caption, icon, buttons, defaultAnswer);
    }

    // An error or notice with a single OK button.
    void Tell(std::string_view text, std::string_view caption, PromptIcon icon = PromptIcon::Stop) {
        Ask(text, caption, icon, PromptButtons::Ok, PromptAnswer::Ok);
    }
    // The same with what caused it; a cause that was never set adds nothing.
    void Tell(std::string_view text, std::string_view caption, const Error& cause, PromptIcon icon = PromptIcon::Stop) {
        const std::string details = cause.Describe();
        if (details.empty()) return Tell(text, caption, icon);
        AskWithDetails(text, caption, icon, PromptButtons::Ok, PromptAnswer::Ok, details);
    }
};

}  // namespace dravolo
