#pragma once
// The tests' Prompter: records every message with the answer it would get by
// default, and answers from a script (then with that default answer once the
// script is used up).

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "common/base/prompter.h"

namespace dravolo::test {

class RecordingPrompter : public Prompter {
public:
    struct Message {
        std::string text, caption;
        PromptIcon icon;
        PromptButtons buttons;
        PromptAnswer defaultAnswer;
        std::string details;  // the cause shown beside the text, if any
    };

    PromptAnswer Ask(std::string_view text, std::string_view caption, PromptIcon icon, PromptButtons buttons,
                     PromptAnswer defaultAnswer) override {
        messages.push_back({std::string(text), std::string(caption), icon, buttons, defaultAnswer, {}});
        if (answers.empty()) return defaultAnswer;
        const PromptAnswer a = answers.front();
        answers.pop_front();
        return a;
    }

    PromptAnswer AskWithDetails(std::string_view text, std::string_view caption, PromptIcon icon, PromptButtons buttons,
                                PromptAnswer defaultAnswer, std::string_view details) override {
        const PromptAnswer a = Ask(text, caption, icon, buttons, defaultAnswer);
        messages.back().details = details;
        return a;
    }

    std::vector<Message> messages;
    std::deque<PromptAnswer> answers;
};

}  // namespace dravolo::test
