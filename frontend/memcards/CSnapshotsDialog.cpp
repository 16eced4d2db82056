#include "frontend/memcards/CSnapshotsDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/qt/ansi_qstring.h"
#include "frontend/memcards/memcards_art.h"

namespace dravolo {

using memcards::SnapshotSave;

namespace {

constexpr int kIdRole = Qt::UserRole + 1;

QString ChangeText(SnapshotSave::Change change) {
    switch (change) {
    case SnapshotSave::Change::Same: return QStringLiteral("the same on the card");
    case SnapshotSave::Change::Changed: return QStringLiteral("changed on the card since");
    case SnapshotSave::Change::NotOnCard: return QStringLiteral("no longer on the card");
    }
    return {};
}

QString Plural(qsizetype n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

// "2 changed, 1 no longer on the card, 1 only on the card" or "the same as the card".
QString Summary(const memcards::MemcardManager::SnapshotEntry& entry) {
    int changed = 0, gone = 0;
    for (const SnapshotSave& s : entry.saves) {
        if (s.change == SnapshotSave::Change::Changed) ++changed;
        if (s.change == SnapshotSave::Change::NotOnCard) ++gone;
    }
    QStringList parts;
    if (changed) parts << QStringLiteral("%1 changed").arg(changed);
    if (gone) parts << QStringLiteral("%1 no longer on the card").arg(gone);
    if (!entry.onlyOnCard.empty()) parts << QStringLiteral("%1 only on the card").arg(entry.onlyOnCard.size());
    return parts.isEmpty() ? QStringLiteral("the same as the card") : parts.join(QStringLiteral(", "));
}

}  // namespace

CSnapshotsDialog::CSnapshotsDialog(int card, const std::string& cardPath, List list, Restore restore, QWidget* parent)
    : QDialog(parent), listSnapshots_(std::move(list)), restoreSnapshot_(std::move(restore)) {
    setWindowTitle(QStringLiteral("Snapshots of memory card %1").arg(card));
    auto* layout = new QVBoxLayout(this);
    auto* cardLabel = new QLabel(QStringLiteral("Memory card %1: %2").arg(card).arg(ToQt(cardPath)));
    cardLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cardLabel->setWordWrap(true);
    auto* hint = new QLabel(QStringLiteral("Taken before each launch of the profile, newest first."));
    empty_ = new QLabel(QStringLiteral("There are no snapshots of this card yet."));
    empty_->setVisible(false);

    list_ = new QTreeWidget;
    list_->setColumnCount(3);
    list_->setHeaderLabels(
        {QStringLiteral("Taken"), QStringLiteral("Saves"), QStringLiteral("Compared with the card")});
    list_->setAccessibleName(QStringLiteral("Snapshots"));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setAllColumnsShowFocus(true);
    list_->setUniformRowHeights(true);
    list_->setMinimumSize(760, 300);
    QHeaderView* header = list_->header();
    header->resizeSection(0, 160);
    header->resizeSection(1, 250);
    header->setStretchLastSection(true);

    auto* buttons = new QDialogButtonBox;
    restore_ = buttons->addButton(QStringLiteral("Restore"), QDialogButtonBox::ActionRole);
    restore_->setToolTip(
        QStringLiteral("Copies the snapshot back over the card; the card as it is now is kept "
                       "as a snapshot first."));
    close_ = buttons->addButton(QDialogButtonBox::Close);
    for (QPushButton* b : {restore_, close_}) b->setAutoDefault(false);
    close_->setDefault(true);
    connect(restore_, &QPushButton::clicked, this, &CSnapshotsDialog::OnRestore);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QTreeWidget::itemSelectionChanged, this, &CSnapshotsDialog::UpdateButtons);

    layout->addWidget(cardLabel);
    layout->addWidget(hint);
    layout->addWidget(empty_);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);
    Fill();
}

std::string CSnapshotsDialog::IdOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, kIdRole).toString().toStdString() : std::string();
}

void CSnapshotsDialog::Fill() {
    list_->clear();
    const Entries entries = listSnapshots_ ? listSnapshots_() : Entries{};
    for (const auto& entry : entries) {
        auto* row = new QTreeWidgetItem(list_);
        const QString id = QString::fromStdString(entry.snapshot.id);
        row->setText(0, QString::fromStdString(entry.snapshot.date));
        row->setData(0, kIdRole, id);
        row->setToolTip(0, ToQt(entry.snapshot.path));  // the core's text, not UTF-8
        if (!entry.readable) {
            row->setText(1, QStringLiteral("cannot be read"));
            continue;
        }
        row->setText(1, entry.saves.empty() ? QStringLiteral("no saves") : Plural(entry.saves.size(), "save", "saves"));
        row->setText(2, Summary(entry));
        row->setToolTip(2, row->text(2));
        for (const SnapshotSave& save : entry.saves) {
            auto* child = new QTreeWidgetItem(row);
            child->setData(0, kIdRole, id);
            child->setText(0, QStringLiteral("Slot %1").arg(save.slot + 1));
            child->setText(1, memcards::SaveNameText(save.title) +
                                  (save.blocks > 1 ? QStringLiteral(" (%1 blocks)").arg(save.blocks) : QString()));
            child->setToolTip(1, child->text(1));
            child->setText(2, ChangeText(save.change));
        }
        for (const std::string& title : entry.onlyOnCard) {
            auto* child = new QTreeWidgetItem(row);
            child->setData(0, kIdRole, id);
            child->setText(1, memcards::SaveNameText(title));
            child->setToolTip(1, child->text(1));
            child->setText(2, QStringLiteral("only on the card"));
            child->setToolTip(2, QStringLiteral("Not in this snapshot: restoring it takes this save off the card "
                                                "(the snapshot taken first keeps it)."));
        }
        row->setExpanded(true);
    }
    empty_->setVisible(entries.empty());
    if (list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
    UpdateButtons();
}

void CSnapshotsDialog::UpdateButtons() {
    const QList<QTreeWidgetItem*> picked = list_->selectedItems();
    restore_->setEnabled(!picked.isEmpty() && !IdOf(picked.first()).empty());
}

void CSnapshotsDialog::OnRestore() {
    const QList<QTreeWidgetItem*> picked = list_->selectedItems();
    if (picked.isEmpty() || !restoreSnapshot_) return;
    const std::string id = IdOf(picked.first());
    if (id.empty()) return;
    if (restoreSnapshot_(id)) Fill();
}

}  // namespace dravolo
