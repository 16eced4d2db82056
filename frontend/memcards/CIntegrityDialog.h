#pragma once
// "Check Integrity": the findings of one memory card, a line each with its
// slot, and "Repair", which makes the checksums right and turns blocks no
// save reaches into marked-free saves. The checks and the repair are the
// manager's; this dialog shows their report.

#include <QDialog>
#include <functional>
#include <optional>

#include "frontend/memcards/memcard_manager.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace dravolo {

class CIntegrityDialog : public QDialog {
    Q_OBJECT
public:
    using Report = memcards::MemcardManager::IntegrityReport;
    // Repairs the card and returns the new report; nothing when nothing was done.
    using Repair = std::function<std::optional<Report>()>;

    CIntegrityDialog(const Report& report, Repair repair, QWidget* parent = nullptr);

    QListWidget* findingList() const { return findings_; }
    QPushButton* repairButton() const { return repair_; }
    QPushButton* closeButton() const { return close_; }
    QLabel* repairedLabel() const { return repaired_; }

private:
    void Show(const Report& report);
    void OnRepair();

    Repair repairCard_;
    QLabel* card_ = nullptr;
    QLabel* summary_ = nullptr;
    QListWidget* findings_ = nullptr;
    QLabel* repaired_ = nullptr;
    QPushButton* repair_ = nullptr;
    QPushButton* close_ = nullptr;
};

}  // namespace dravolo
