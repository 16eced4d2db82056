#pragma once
// The file dialogs of the memory-card page: open (Browse, Import) and save
// (Create). One object so tests can answer them without a window.

#include <QString>
#include <optional>

class QWidget;

namespace dravolo {

class MemcardChoosers {
public:
    virtual ~MemcardChoosers() = default;
    // Host paths; nothing when the user cancels. qtFilter as FilterToQt makes it.
    virtual std::optional<QString> OpenFile(QWidget* owner, const QString& qtFilter, const QString& initialFile);
    // Does not ask about an existing file: the page asks its own question.
    virtual std::optional<QString> SaveFile(QWidget* owner, const QString& qtFilter, const QString& initialFile);
};

}  // namespace dravolo
