#pragma once
// Messages of the tool: a modal message box over the given window.

#include <QPointer>
#include <QWidget>

#include "common/base/prompter.h"

namespace dravolo::tool {

class ToolPrompter : public Prompter {
public:
    explicit ToolPrompter(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }
    PromptAnswer Ask(std::string_view text, std::string_view caption, PromptIcon icon, PromptButtons buttons,
                     PromptAnswer defaultAnswer) override;

private:
    QPointer<QWidget> owner_;
};

}  // namespace dravolo::tool
