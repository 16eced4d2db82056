#pragma once
// "Cheat codes": adds a cheat (to a new or an existing game) or edits the code
// lines of the selected cheat. Code lines are built from the address and value
// fields as "%08lX<tab>%04lX".

#include <QDialog>
#include <optional>
#include <string>

#include "common/base/prompter.h"
#include "tool/core/cheat_library.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace dravolo::tool {

class CCheatDlg : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Add, Edit };
    // selected: the tree's selection (a game or a cheat), if any.
    CCheatDlg(CheatLibrary& library, Prompter& prompter, Mode mode, std::optional<CheatRef> selected,
              QWidget* parent = nullptr);

    // The cheat that was written at OK.
    std::optional<CheatRef> written() const { return written_; }

    QLineEdit* idEdit() const { return id_; }
    QLineEdit* gameEdit() const { return game_; }
    QLineEdit* nameEdit() const { return name_; }
    QLineEdit* addressEdit() const { return address_; }
    QLineEdit* valueEdit() const { return value_; }
    QListWidget* codesList() const { return codes_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* removeButton() const { return remove_; }
    QPushButton* changeButton() const { return change_; }
    QPushButton* okButton() const { return ok_; }

    void OnAddLine();
    void OnRemoveLine();
    void OnChangeLine();
    void OnSelectLine();
    void OnOK();

private:
    // The line of the two fields; the fields show the formatted numbers.
    QString BuildLine();
    void Refuse(QWidget* field);

    CheatLibrary& library_;
    Prompter& prompter_;
    Mode mode_;
    std::optional<CheatRef> selected_;
    std::optional<CheatRef> written_;
    QLineEdit* id_;
    QLineEdit* game_;
    QLineEdit* name_;
    QLineEdit* address_;
    QLineEdit* value_;
    QListWidget* codes_;
    QPushButton* add_;
    QPushButton* remove_;
    QPushButton* change_;
    QPushButton* ok_;
};

// Code lines of the dialog: each field read as a hexadecimal number up to its
// first other character, formatted to 8 and 4 upper-case digits.
std::string FormatHexField(std::string_view field, int digits);

}  // namespace dravolo::tool
