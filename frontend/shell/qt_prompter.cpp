#include "frontend/shell/qt_prompter.h"

#include <QMessageBox>

#include "frontend/shell/qt_text.h"

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
        case QMessageBox::Yes: return PromptAnswer::Yes;
        case QMessageBox::No: return PromptAnswer::No;
        case QMessageBox::Retry: return PromptAnswer::Retry;
        default: break;
    }
    // Closing the box with Escape or its frame: the answer that does nothing.
    return buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Cancel;
}

}  // namespace

PromptAnswer QtPrompter::Ask(std::string_view text, std::string_view caption, PromptIcon icon, PromptButtons buttons,
                             PromptAnswer defaultAnswer) {
    QMessageBox box(ToQtIcon(icon), ToQt(caption), ToQt(text), ToQtButtons(buttons), owner_.data());
    box.setDefaultButton(ToQtButton(defaultAnswer));
    if (buttons == PromptButtons::YesNo) box.setEscapeButton(QMessageBox::No);
    return FromQtButton(box.exec(), buttons);
}

}  // namespace dravolo
