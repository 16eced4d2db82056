#pragma once
// The "Memcards" tab: the pool of managed cards with their summaries and slot
// marks, the buttons "Set Slot 1" ... "Export" and their right-click menu, and
// the choice between the managed cards and two custom card files. The files
// are CardPool's; the choice is written by the main dialog at OK and Close.

#include <QWidget>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "common/base/prompter.h"
#include "common/platform/registry.h"
#include "tool/core/card_choice.h"
#include "tool/core/card_pool.h"

class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace dravolo::tool {

class CToolSkin;

class CMemcardsTab : public QWidget {
    Q_OBJECT
public:
    CMemcardsTab(Registry& registry, Prompter& prompter, const CToolSkin& skin, QWidget* parent = nullptr);

    // The emulator's folder (empty: no pool, the list stays empty).
    void SetEmulatorDirectory(std::string directory);
    // The list from the files, with the slot marks.
    void Fill();
    // The card choice as stored: radio buttons and the two fields.
    void LoadChoice();
    CustomCards Choice() const;

    // "Cards", "Information", "Date" with their stored widths.
    void SetColumnWidths(const std::array<std::uint32_t, 3>& widths);
    std::array<std::uint32_t, 3> ColumnWidths() const;

    std::optional<int> SelectedCard() const;
    void SelectCard(int number);
    // The state image a row shows (7, 8, 9 or 0).
    int RowMark(int row) const;

    QTreeWidget* list() const { return list_; }
    QPushButton* button(const QString& text) const;
    QRadioButton* customRadio() const { return custom_; }
    QRadioButton* managedRadio() const { return managed_; }
    QLineEdit* card1Edit() const { return card1_; }
    QLineEdit* card2Edit() const { return card2_; }
    QMenu* contextMenu() const { return menu_; }

    void OnSetSlot(int slot);
    void OnFormat();
    void OnCreate();
    void OnDelete();
    void OnDuplicate();
    void OnImport();  // asks for the file, then ImportFile
    void OnExport();  // asks for the target, then ExportTo
    // The work after the file dialogs (Windows paths).
    void ImportFile(const std::string& path);
    void ExportTo(const std::string& path);

private:
    void Browse(QLineEdit* field);
    void ApplyMarks();
    void ShowMenu(const QPoint& listPos);
    QIcon RowIcon(int mark) const;

    Registry& registry_;
    Prompter& prompter_;
    const CToolSkin& skin_;
    std::optional<CardPool> pool_;
    QTreeWidget* list_;
    QMenu* menu_;
    QRadioButton* custom_;
    QRadioButton* managed_;
    QLineEdit* card1_;
    QLineEdit* card2_;
};

}  // namespace dravolo::tool
