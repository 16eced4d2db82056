#include "frontend/widgets/file_choosers.h"

#include <QColorDialog>
#include <QFileDialog>

#include "frontend/widgets/qt_file_filter.h"

namespace dravolo {

std::optional<QString> FileChoosers::OpenFile(QWidget* owner, const QString& qtFilter, const QString& initialFile) {
    // Qt's dialogs never change the working directory, which the profile
    // folders are relative to.
    const QString chosen =
        QFileDialog::getOpenFileName(owner, QString(), initialFile, qtFilter, nullptr, FileDialogOptions());
    if (chosen.isEmpty()) return std::nullopt;
    return chosen;
}

std::optional<QString> FileChoosers::SaveFile(QWidget* owner, const QString& qtFilter, const QString& initialFile) {
    const QString chosen = QFileDialog::getSaveFileName(owner, QString(), initialFile, qtFilter, nullptr,
                                                        QFileDialog::DontConfirmOverwrite | FileDialogOptions());
    if (chosen.isEmpty()) return std::nullopt;
    return chosen;
}

std::optional<QString> FileChoosers::PickFolder(QWidget* owner, const QString& title, const QString& initialFolder) {
    const QString chosen = QFileDialog::getExistingDirectory(owner, title, initialFolder);
    if (chosen.isEmpty()) return std::nullopt;
    return chosen;
}

std::optional<QColor> FileChoosers::PickColor(QWidget* owner, const QColor& initial) {
    const QColor chosen = QColorDialog::getColor(initial, owner);
    if (!chosen.isValid()) return std::nullopt;
    return chosen;
}

}  // namespace dravolo
