#pragma once
// "Snapshots": the snapshots a profile's launches took of one of its memory
// cards, newest first, each with the saves it holds and how they compare with
// the card as it is now, and "Restore", which puts the chosen one back over
// the card (after a snapshot of the card, so that it can be undone). The
// listing and the restore are the manager's.

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "frontend/memcards/memcard_manager.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace dravolo {

class CSnapshotsDialog : public QDialog {
    Q_OBJECT
public:
    using Entries = std::vector<memcards::MemcardManager::SnapshotEntry>;
    using List = std::function<Entries()>;
    // True when the snapshot was put back.
    using Restore = std::function<bool(const std::string& id)>;

    CSnapshotsDialog(int card, const std::string& cardPath, List list, Restore restore, QWidget* parent = nullptr);

    QTreeWidget* snapshotList() const { return list_; }
    QPushButton* restoreButton() const { return restore_; }
    QPushButton* closeButton() const { return close_; }
    // The id of the snapshot a row belongs to ("" for none).
    static std::string IdOf(const QTreeWidgetItem* item);

private:
    void Fill();
    void OnRestore();
    void UpdateButtons();

    List listSnapshots_;
    Restore restoreSnapshot_;
    QLabel* empty_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QPushButton* restore_ = nullptr;
    QPushButton* close_ = nullptr;
};

}  // namespace dravolo
