#include "tool/tool_prompter.h"

#include <QMessageBox>

#include "tool/qt_ansi.h"

namespace dravolo::tool {

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

}  // namespace

PromptAnswer ToolPrompter::Ask(std::string_view text, std::string_view caption, PromptIcon icon,
                               PromptButtons buttons, PromptAnswer defaultAnswer) {
    QMessageBox::StandardButtons set = QMessageBox::Ok;
    switch (buttons) {
        case PromptButtons::Ok: set = QMessageBox::Ok; break;
        case PromptButtons::OkCancel: set = QMessageBox::Ok | QMessageBox::Cancel; break;
        case PromptButtons::YesNo: set = QMessageBox::Yes | QMessageBox::No; break;
        case PromptButtons::YesNoCancel: set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
        case PromptButtons::RetryCancel: set = QMessageBox::Retry | QMessageBox::Cancel; break;
    }
    QMessageBox box(ToQtIcon(icon), FromAnsi(caption), FromAnsi(text), set, owner_.data());
    box.setDefaultButton(ToQtButton(defaultAnswer));
    if (buttons == PromptButtons::YesNo) box.setEscapeButton(QMessageBox::No);
    switch (box.exec()) {
        case QMessageBox::Ok: return PromptAnswer::Ok;
        case QMessageBox::Yes: return PromptAnswer::Yes;
        case QMessageBox::No: return PromptAnswer::No;
        case QMessageBox::Retry: return PromptAnswer::Retry;
        default: break;
    }
    return buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Cancel;
}

}  // namespace dravolo::tool
