#include "frontend/memcards/CIntegrityDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/qt/ansi_qstring.h"

namespace dravolo {

CIntegrityDialog::CIntegrityDialog(const Report& report, Repair repair, QWidget* parent)
    : QDialog(parent), repairCard_(std::move(repair)) {
    setWindowTitle(QStringLiteral("Check Integrity"));
    auto* layout = new QVBoxLayout(this);
    card_ = new QLabel;
    card_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    card_->setWordWrap(true);
    summary_ = new QLabel;
    findings_ = new QListWidget;
    findings_->setAccessibleName(QStringLiteral("Findings"));
    findings_->setSelectionMode(QAbstractItemView::NoSelection);
    findings_->setFocusPolicy(Qt::NoFocus);
    findings_->setWordWrap(true);
    findings_->setMinimumSize(460, 180);
    repaired_ = new QLabel;
    repaired_->setWordWrap(true);
    repaired_->setVisible(false);

    auto* buttons = new QDialogButtonBox;
    repair_ = buttons->addButton(QStringLiteral("Repair"), QDialogButtonBox::ActionRole);
    repair_->setToolTip(
        QStringLiteral("Makes the checksums right and keeps blocks no save reaches as marked-free "
                       "saves (Recover Slot brings them back); no save data is changed."));
    close_ = buttons->addButton(QDialogButtonBox::Close);
    for (QPushButton* b : {repair_, close_}) b->setAutoDefault(false);
    close_->setDefault(true);
    connect(repair_, &QPushButton::clicked, this, &CIntegrityDialog::OnRepair);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    layout->addWidget(card_);
    layout->addWidget(summary_);
    layout->addWidget(findings_, 1);
    layout->addWidget(repaired_);
    layout->addWidget(buttons);
    Show(report);
}

void CIntegrityDialog::Show(const Report& report) {
    card_->setText(QStringLiteral("Memory card: ") + ToQt(report.card));
    summary_->setText(report.clean ? QStringLiteral("The memory card is sound.")
                                   : QStringLiteral("Found %1 problem%2:")
                                         .arg(report.lines.size())
                                         .arg(QLatin1String(report.lines.size() == 1 ? "" : "s")));
    findings_->clear();
    for (const std::string& line : report.lines) findings_->addItem(ToQt(line));
    repair_->setEnabled(report.repairable);
    if (!report.repaired.empty()) {
        repaired_->setText(ToQt(report.repaired));
        repaired_->setVisible(true);
    }
}

void CIntegrityDialog::OnRepair() {
    if (!repairCard_) return;
    if (const auto report = repairCard_()) Show(*report);
}

}  // namespace dravolo
