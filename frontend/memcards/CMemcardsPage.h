#pragma once
// "MemCard Manager": two memory cards side by side. Each side has its
// drop-down list of card files, "Delete MC", "Browse", the slot list and
// "Format", "Create", "Import"; between the lists stand the buttons that copy
// a save left to right, right to left, and erase one. A right-click in a list
// opens the "MemCards" menu. The work is done by MemcardManager; this class
// binds the controls to it and shows what it holds.

#include <array>
#include <string>

#include "frontend/memcards/memcard_manager.h"
#include "frontend/widgets/CSheetPage.h"

class QAction;
class QComboBox;
class QMenu;
class QPushButton;
class QToolButton;
class QTreeWidget;

namespace dravolo {

class FileChoosers;
class Prompter;
class SettingsStore;

class CMemcardsPage : public CMemcardsPageBase {
    Q_OBJECT
public:
    CMemcardsPage(const SettingsStore& settings, Prompter& prompter, FileChoosers& choosers, QWidget* parent = nullptr);
    ~CMemcardsPage() override;

    void SetKind(std::optional<EmulatorKind> kind) override;
    void SetProfileName(const std::string& name) override;
    void SetLeftCardPath(const std::string& path) override;
    void SetRightCardPath(const std::string& path) override;
    void ExchangeCards(std::string& card1, std::string& card2, bool toRecord) override;

    void OnSetActive() override;
    void OnKillActive() override;
    void OnOK() override;
    void UpdateData(bool save) override;

    // The controls, for keyboard use and tests; side is memcards::kLeft or kRight.
    QComboBox* cardList(int side) const { return sides_[Index(side)].cards; }
    QTreeWidget* slotList(int side) const { return sides_[Index(side)].slotView; }
    QPushButton* refreshButton(int side) const { return sides_[Index(side)].refresh; }
    QPushButton* deleteCardButton(int side) const { return sides_[Index(side)].deleteCard; }
    QPushButton* browseButton(int side) const { return sides_[Index(side)].browse; }
    QPushButton* formatButton(int side) const { return sides_[Index(side)].format; }
    QPushButton* createButton(int side) const { return sides_[Index(side)].create; }
    QPushButton* importButton(int side) const { return sides_[Index(side)].import; }
    QPushButton* snapshotsButton(int side) const { return sides_[Index(side)].snapshots; }
    QToolButton* copyButton(int fromSide) const { return fromSide == memcards::kRight ? copyLeft_ : copyRight_; }
    QToolButton* eraseButton() const { return erase_; }
    QMenu* contextMenu() const { return menu_; }
    QAction* markFreeAction() const { return markFree_; }
    QAction* deleteSaveAction() const { return deleteSave_; }
    QAction* recoverSlotAction() const { return recoverSlot_; }
    QAction* checkIntegrityAction() const { return checkIntegrity_; }
    QAction* exportSaveAction() const { return exportSave_; }
    QAction* importSaveAction() const { return importSave_; }
    const memcards::MemcardManager& manager() const { return manager_; }

    // A right-click at `pos` (list viewport coordinates): selects the slot
    // there, makes the side active and pops up the "MemCards" menu.
    void ShowContextMenu(int side, const QPoint& pos);

protected:
    void OnInitPage() override;

private:
    struct SideControls {
        QComboBox* cards = nullptr;
        QPushButton* refresh = nullptr;
        QPushButton* deleteCard = nullptr;
        QPushButton* browse = nullptr;
        QTreeWidget* slotView = nullptr;
        QPushButton* format = nullptr;
        QPushButton* create = nullptr;
        QPushButton* import = nullptr;
        QPushButton* snapshots = nullptr;
    };
    static std::size_t Index(int side) { return side == memcards::kRight ? 1 : 0; }

    QWidget* BuildSide(int side);
    QWidget* BuildMiddle();
    void BuildMenu();
    // Runs a command of the manager and shows the result.
    template <typename Command>
    void Run(Command&& command);
    void ShowState();
    void ShowSide(int side);
    void OnSlotPicked(int side);

    void OnCreate(int side);
    void OnBrowse(int side);
    void OnImport(int side);
    void OnCheckIntegrity();
    void OnSnapshots(int side);
    void OnExportSave();
    void OnImportSave();
    void UpdateSnapshotButtons();

    memcards::MemcardManager manager_;
    FileChoosers& choosers_;
    std::array<SideControls, 2> sides_;
    QToolButton* copyRight_ = nullptr;
    QToolButton* copyLeft_ = nullptr;
    QToolButton* erase_ = nullptr;
    QMenu* menu_ = nullptr;
    QAction* markFree_ = nullptr;
    QAction* deleteSave_ = nullptr;
    QAction* recoverSlot_ = nullptr;
    QAction* checkIntegrity_ = nullptr;
    QAction* exportSave_ = nullptr;
    QAction* importSave_ = nullptr;
    bool showing_ = false;
};

}  // namespace dravolo
