#include "optionslib/message_box_prompter.h"

#include <QMessageBox>

#include "optionslib/ansi_qt.h"

namespace dravolo::kstuff {

namespace {

QMessageBox::Icon ToQtIcon(PromptIcon icon) {
    switch (icon) {
        case PromptIcon::Stop: return QMessageBox::Critical;
        case PromptIcon::Question: return QMessageBox::Question;
        case PromptIcon::Exclamation: return QMessageBox::Warning;
        case PromptIcon::Information: return QMessageBox::Information;
        case PromptIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

struct ButtonSet {
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton fallback;
};

ButtonSet ToQtButtons(PromptButtons buttons) {
    switch (buttons) {
        case PromptButtons::Ok: return {QMessageBox::Ok, QMessageBox::Ok};
        case PromptButtons::OkCancel: return {QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel};
        case PromptButtons::YesNo: return {QMessageBox::Yes | QMessageBox::No, QMessageBox::No};
        case PromptButtons::YesNoCancel:
            return {QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel};
        case PromptButtons::RetryCancel: return {QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Cancel};
    }
    return {QMessageBox::Ok, QMessageBox::Ok};
}

QMessageBox::StandardButton ToQtAnswer(PromptAnswer answer) {
    switch (answer) {
        case PromptAnswer::Ok: return QMessageBox::Ok;
        case PromptAnswer::Cancel: return QMessageBox::Cancel;
        case PromptAnswer::Yes: return QMessageBox::Yes;
        case PromptAnswer::No: return QMessageBox::No;
        case PromptAnswer::Retry: return QMessageBox::Retry;
    }
    return QMessageBox::Ok;
}

PromptAnswer FromQtAnswer(int button, PromptAnswer fallback) {
    switch (button) {
        case QMessageBox::Ok: return PromptAnswer::Ok;
        case QMessageBox::Cancel: return PromptAnswer::Cancel;
        case QMessageBox::Yes: return PromptAnswer::Yes;
        case QMessageBox::No: return PromptAnswer::No;
        case QMessageBox::Retry: return PromptAnswer::Retry;
        default: return fallback;
    }
}

}  // namespace

PromptAnswer MessageBoxPrompter::Ask(std::string_view text, std::string_view caption, PromptIcon icon,
                                     PromptButtons buttons, PromptAnswer defaultAnswer) {
    const ButtonSet set = ToQtButtons(buttons);
    QMessageBox box(ToQtIcon(icon), FromAnsi(caption), FromAnsi(text), set.buttons, owner_);
    box.setDefaultButton(ToQtAnswer(defaultAnswer));
    box.setEscapeButton(set.fallback);
    // Closing the box without a button counts as its escape answer.
    return FromQtAnswer(box.exec(), defaultAnswer);
}

}  // namespace dravolo::kstuff
