#include "frontend/memcards/memcard_choosers.h"

#include <QFileDialog>

#include "frontend/widgets/qt_file_filter.h"

namespace dravolo {

std::optional<QString> MemcardChoosers::OpenFile(QWidget* owner, const QString& qtFilter, const QString& initialFile) {
    // Qt's dialogs never change the working directory, which the profile
    // folders are relative to.
    const QString chosen =
        QFileDialog::getOpenFileName(owner, QString(), initialFile, qtFilter, nullptr, FileDialogOptions());
    if (chosen.isEmpty()) return std::nullopt;
    return chosen;
}

std::optional<QString> MemcardChoosers::SaveFile(QWidget* owner, const QString& qtFilter, const QString& initialFile) {
    const QString chosen = QFileDialog::getSaveFileName(owner, QString(), initialFile, qtFilter, nullptr,
                                                        QFileDialog::DontConfirmOverwrite | FileDialogOptions());
    if (chosen.isEmpty()) return std::nullopt;
    return chosen;
}

}  // namespace dravolo
