#include "common/qt/message_box_prompter.h"

#include <QMessageBox>

#include "common/qt/ansi_qstring.h"

namespace dravolo {

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

QMessageBox::StandardButtons ToQtButtons(PromptButtons buttons) {
    switch (buttons) {
    case PromptButtons::Ok: return QMessageBox::Ok;
    case PromptButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case PromptButtons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// Escape, the frame's close button, or any other way out without a button:
// the answer that does nothing.
PromptAnswer EscapeAnswer(PromptButtons buttons) {
    switch (buttons) {
    case PromptButtons::Ok: return PromptAnswer::Ok;
    case PromptButtons::YesNo: return PromptAnswer::No;
    case PromptButtons::OkCancel:
    case PromptButtons::YesNoCancel:
    case PromptButtons::RetryCancel: break;
    }
    return PromptAnswer::Cancel;
}

QMessageBox::StandardButton ToQtButton(PromptAnswer answer) {
    switch (answer) {
    case PromptAnswer::Ok: return QMessageBox::Ok;
    case PromptAnswer::Cancel: return QMessageBox::Cancel;
    case PromptAnswer::Yes: return QMessageBox::Yes;
    case PromptAnswer::No: return QMessageBox::No;
    case PromptAnswer::Retry: return QMessageBox::Retry;
    }
    return QMessageBox::Ok;
}

PromptAnswer FromQtButton(int button, PromptButtons buttons) {
    switch (button) {
    case QMessageBox::Ok: return PromptAnswer::Ok;
    case QMessageBox::Cancel: return PromptAnswer::Cancel;
    case QMessageBox::Yes: return PromptAnswer::Yes;
    case QMessageBox::No: return PromptAnswer::No;
    case QMessageBox::Retry: return PromptAnswer::Retry;
    default: break;
    }
    return EscapeAnswer(buttons);
}

}  // namespace

PromptAnswer MessageBoxPrompter::Ask(std::string_view text, std::string_view caption, PromptIcon icon,
                                     PromptButtons buttons, PromptAnswer defaultAnswer) {
    return AskWithDetails(text, caption, icon, buttons, defaultAnswer, {});
}

PromptAnswer MessageBoxPrompter::AskWithDetails(std::string_view text, std::string_view caption, PromptIcon icon,
                                                PromptButtons buttons, PromptAnswer defaultAnswer,
                                                std::string_view details) {
    QMessageBox box(ToQtIcon(icon), ToQt(caption), ToQt(text), ToQtButtons(buttons), owner_.data());
    if (!details.empty()) box.setDetailedText(ToQt(details));
    // A default the set does not hold leaves Qt's own choice.
    box.setDefaultButton(ToQtButton(defaultAnswer));
    box.setEscapeButton(ToQtButton(EscapeAnswer(buttons)));
    return FromQtButton(box.exec(), buttons);
}

}  // namespace dravolo
