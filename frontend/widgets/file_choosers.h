#pragma once
// The choosers the program's dialogs open: file open and save, folder
// browser, colour. One object so tests can answer them without a window.

#include <QColor>
#include <QString>
#include <optional>

class QWidget;

namespace dravolo {

class FileChoosers {
public:
    virtual ~FileChoosers() = default;
    // Host paths; nothing when the user cancels. qtFilter as FilterToQt makes
    // it. The dialog opens at initialFile (a file, or a folder), else where Qt
    // likes.
    virtual std::optional<QString> OpenFile(QWidget* owner, const QString& qtFilter, const QString& initialFile);
    // Does not ask about an existing file: the caller asks its own question.
    virtual std::optional<QString> SaveFile(QWidget* owner, const QString& qtFilter, const QString& initialFile);
    virtual std::optional<QString> PickFolder(QWidget* owner, const QString& title, const QString& initialFolder);
    virtual std::optional<QColor> PickColor(QWidget* owner, const QColor& initial);
};

}  // namespace dravolo
