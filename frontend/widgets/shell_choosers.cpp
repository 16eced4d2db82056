#include "frontend/widgets/shell_choosers.h"

#include <QColorDialog>
#include <QFileDialog>

#include "frontend/widgets/qt_file_filter.h"

namespace dravolo {

std::optional<QString> ShellChoosers::OpenFile(QWidget* owner, const QString& qtFilter, const QString& initialFile) {
    // Qt's dialog never changes the working directory, which the profile
    // folders are relative to.
    const QString chosen =
        QFileDialog::getOpenFileName(owner, QString(), initialFile, qtFilter, nullptr, FileDialogOptions());
    if (chosen.isEmpty()) return std::nullopt;
    return chosen;
}

std::optional<QString> ShellChoosers::PickFolder(QWidget* owner, const QString& title, const QString& initialFolder) {
    const QString chosen = QFileDialog::getExistingDirectory(owner, title, initialFolder);
    if (chosen.isEmpty()) return std::nullopt;
    return chosen;
}

std::optional<QColor> ShellChoosers::PickColor(QWidget* owner, const QColor& initial) {
    const QColor chosen = QColorDialog::getColor(initial, owner);
    if (!chosen.isValid()) return std::nullopt;
    return chosen;
}

}  // namespace dravolo
