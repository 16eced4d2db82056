#pragma once
// The "Cheats" tab: the library as a tree of games and their cheats with the
// active marks, the data of the selected item beside it, and the buttons
// "Activate", "Deactivate", "Add", "Delete", "Edit", "Import" with the
// right-click menu. The content and the active choice are CheatLibrary's.

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "common/base/prompter.h"
#include "tool/core/cheat_library.h"

class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace dravolo::tool {

class CCheatDlg;
class CToolSkin;

class CCheatsTab : public QWidget {
    Q_OBJECT
public:
    CCheatsTab(Prompter& prompter, const CToolSkin& skin, QWidget* parent = nullptr);

    // Loads the library (Codes.txt and "Cheats") and shows it.
    void Fill(CheatLibrary* library);
    // Shows the library again, keeping expanded games and the selection.
    void Rebuild(std::optional<CheatRef> select);

    std::optional<CheatRef> Selected() const;
    void Select(CheatRef ref);
    QTreeWidgetItem* ItemOf(CheatRef ref) const;
    // The state image an item shows (9 to 12).
    int ItemImage(CheatRef ref) const;

    QTreeWidget* tree() const { return tree_; }
    QPlainTextEdit* dataView() const { return data_; }
    QPushButton* button(const QString& text) const;
    QMenu* contextMenu() const { return menu_; }

    // How the cheat dialog is run; tests replace it to fill and confirm it.
    std::function<int(CCheatDlg&)> runDialog;

    void OnActivate();
    void OnDeactivate();
    void OnAdd();
    void OnEdit();
    void OnDelete();
    void OnImport();  // asks for the file, then ImportFile
    void ImportFile(const std::string& path);
    void OnDoubleClick(QTreeWidgetItem* item);

private:
    void ShowData();
    // Once after the save that kept a backup of a file with unreadable text.
    void TellAboutBackup();
    void ShowMenu(const QPoint& pos);
    void OpenDialog(bool edit);

    Prompter& prompter_;
    const CToolSkin& skin_;
    CheatLibrary* library_ = nullptr;
    QTreeWidget* tree_;
    QPlainTextEdit* data_;
    QMenu* menu_;
};

}  // namespace dravolo::tool
