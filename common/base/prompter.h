#pragma once
// The seam between core algorithms and whoever can tell the user something.
// The Qt programs answer with a message box, dravolo-cli with stderr and
// --yes/--no, tests with a scripted prompter. Texts and captions are ANSI.

#include <string_view>

namespace dravolo {

enum class PromptIcon { None, Stop, Question, Exclamation, Information };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No, Retry };

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual PromptAnswer Ask(std::string_view text, std::string_view caption, PromptIcon icon,
                             PromptButtons buttons, PromptAnswer defaultAnswer) = 0;

    // An error or notice with a single OK button.
    void Tell(std::string_view text, std::string_view caption, PromptIcon icon = PromptIcon::Stop) {
        Ask(text, caption, icon, PromptButtons::Ok, PromptAnswer::Ok);
    }
};

}  // namespace dravolo
