#pragma once
// The Prompter of the windowed programs: a modal QMessageBox over the owner
// window, with the product's text, caption, icon, buttons and default button.

#include <QPointer>
#include <QWidget>

#include "common/base/prompter.h"

namespace dravolo {

class MessageBoxPrompter : public Prompter {
public:
    // The owner may be set later (the main window is made after the prompter
    // it is given) and may go away first: the box is then shown on its own.
    explicit MessageBoxPrompter(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }

    PromptAnswer Ask(std::string_view text, std::string_view caption, PromptIcon icon, PromptButtons buttons,
                     PromptAnswer defaultAnswer) override;
    // The details go under the box's "Details" button; the text stays as it is.
    PromptAnswer AskWithDetails(std::string_view text, std::string_view caption, PromptIcon icon, PromptButtons buttons,
                                PromptAnswer defaultAnswer, std::string_view details) override;

private:
    QPointer<QWidget> owner_;
};

}  // namespace dravolo
