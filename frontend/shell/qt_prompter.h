#pragma once
// The Prompter of the windowed programs: a modal QMessageBox with the
// product's text, caption, icon, buttons and default button.

#include <QPointer>
#include <QWidget>

#include "common/base/prompter.h"

namespace dravolo {

class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }

    PromptAnswer Ask(std::string_view text, std::string_view caption, PromptIcon icon, PromptButtons buttons,
                     PromptAnswer defaultAnswer) override;

private:
    QPointer<QWidget> owner_;
};

}  // namespace dravolo
