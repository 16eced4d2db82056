#pragma once
// Tells the user through a message box owned by the given widget.

#include <QPointer>
#include <QWidget>

#include "common/base/prompter.h"

namespace dravolo::kstuff {

class MessageBoxPrompter : public Prompter {
public:
    explicit MessageBoxPrompter(QWidget* owner) : owner_(owner) {}
    PromptAnswer Ask(std::string_view text, std::string_view caption, PromptIcon icon, PromptButtons buttons,
                     PromptAnswer defaultAnswer) override;

private:
    QPointer<QWidget> owner_;
};

}  // namespace dravolo::kstuff
