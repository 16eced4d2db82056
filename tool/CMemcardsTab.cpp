#include "tool/CMemcardsTab.h"

#include <QButtonGroup>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>
#include <functional>

#include "common/qt/ansi_qstring.h"
#include "tool/CToolSkin.h"
#include "tool/chosen_path.h"
#include "tool/core/skin_layout.h"
#include "tool/dialog_units.h"

namespace dravolo::tool {

namespace {

constexpr int kCardNumberRole = Qt::UserRole + 1;
constexpr int kMarkRole = Qt::UserRole + 2;
constexpr int kCardImage = 16;

constexpr std::string_view kCaptionFormat = "Format";
constexpr std::string_view kCaptionDelete = "Delete";
constexpr std::string_view kCaptionImport = "Import error";
constexpr std::string_view kCaptionExport = "Export Memcard file";

const char* const kButtons[] = {"Set Slot 1", "Set Slot 2", "Format", "Create",
                                "Delete",     "Duplicate",  "Import", "Export"};

}  // namespace

CMemcardsTab::CMemcardsTab(Registry& registry, Prompter& prompter, const CToolSkin& skin, QWidget* parent)
    : QWidget(parent),
      registry_(registry),
      prompter_(prompter),
      skin_(skin),
      list_(new QTreeWidget),
      menu_(new QMenu(this)),
      custom_(new QRadioButton(QStringLiteral("Custom memcard files"))),
      managed_(new QRadioButton(QStringLiteral("Managed memcard files"))),
      card1_(new QLineEdit),
      card2_(new QLineEdit) {
    list_->setColumnCount(3);
    list_->setHeaderLabels({QStringLiteral("Cards"), QStringLiteral("Information"), QStringLiteral("Date")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setAllColumnsShowFocus(true);
    list_->setIconSize(QSize(32, 16));
    list_->header()->setStretchLastSection(false);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);

    const std::function<void()> actions[] = {
        [this] { OnSetSlot(0); }, [this] { OnSetSlot(1); },  [this] { OnFormat(); }, [this] { OnCreate(); },
        [this] { OnDelete(); },   [this] { OnDuplicate(); }, [this] { OnImport(); }, [this] { OnExport(); },
    };
    auto* buttons = new QVBoxLayout;
    for (int i = 0; i < 8; ++i) {
        auto* button = new QPushButton(QString::fromLatin1(kButtons[i]));
        button->setObjectName(QString::fromLatin1(kButtons[i]));
        connect(button, &QPushButton::clicked, this, actions[i]);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);

    const char* const menuItems[] = {"Set Slot 1",  "Set Slot 2",     "Format Card", "Create Card",
                                     "Delete Card", "Duplicate Card", "Import Card", "Export Card"};
    for (int i = 0; i < 8; ++i) {
        menu_->addAction(QString::fromLatin1(menuItems[i]), this, actions[i]);
        if (i == 1) menu_->addSeparator();
    }

    auto* top = new QHBoxLayout;
    top->addWidget(list_, 1);
    top->addLayout(buttons);

    auto* choiceGroup = new QButtonGroup(this);
    choiceGroup->addButton(custom_);
    choiceGroup->addButton(managed_);
    auto* choice = new QGridLayout;
    choice->addWidget(custom_, 0, 0, 1, 3);
    choice->addWidget(managed_, 0, 3);
    QLineEdit* const fields[] = {card1_, card2_};
    for (int i = 0; i < 2; ++i) {
        auto* label = new QLabel(i == 0 ? QStringLiteral("Memcard 1:") : QStringLiteral("Memcard 2:"));
        label->setBuddy(fields[i]);
        auto* browse = new QPushButton(QStringLiteral("..."));
        browse->setObjectName(i == 0 ? QStringLiteral("browse1") : QStringLiteral("browse2"));
        browse->setFixedWidth(browse->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 16);
        QLineEdit* field = fields[i];
        connect(browse, &QPushButton::clicked, this, [this, field] { Browse(field); });
        choice->addWidget(label, i + 1, 0);
        choice->addWidget(field, i + 1, 1, 1, 3);
        choice->addWidget(browse, i + 1, 4);
    }
    choice->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(choice);
    managed_->setChecked(true);

    connect(list_, &QWidget::customContextMenuRequested, this, &CMemcardsTab::ShowMenu);
}

void CMemcardsTab::SetEmulatorDirectory(std::string directory) {
    if (directory.empty()) {
        pool_.reset();
    } else {
        pool_.emplace(std::move(directory));
    }
}

QPushButton* CMemcardsTab::button(const QString& text) const { return findChild<QPushButton*>(text); }

void CMemcardsTab::SetColumnWidths(const std::array<std::uint32_t, 3>& widths) {
    const double scale = StoredWidthScale(list_->font());
    int total = 0;
    for (int i = 0; i < 3; ++i) {
        const double stored = std::min<std::uint32_t>(widths[static_cast<std::size_t>(i)], 4000);
        list_->setColumnWidth(i, static_cast<int>(std::lround(stored * scale)));
        total += list_->columnWidth(i);
    }
    // The dialog opens wide enough to show the dates; within reason.
    list_->setMinimumWidth(std::min(total + 2 * list_->frameWidth() + 4, 900));
}

std::array<std::uint32_t, 3> CMemcardsTab::ColumnWidths() const {
    const double scale = StoredWidthScale(list_->font());
    std::array<std::uint32_t, 3> widths{};
    for (int i = 0; i < 3; ++i)
        widths[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(std::lround(list_->columnWidth(i) / scale));
    return widths;
}

QIcon CMemcardsTab::RowIcon(int mark) const {
    QPixmap both(32, 16);
    both.fill(Qt::transparent);
    QPainter p(&both);
    if (mark > 0) p.drawPixmap(0, 0, skin_.StateImage(mark));
    p.drawPixmap(16, 0, skin_.SmallImage(kCardImage));
    p.end();
    return QIcon(both);
}

void CMemcardsTab::Fill() {
    const std::optional<int> selected = SelectedCard();
    list_->clear();
    if (!pool_) return;
    QList<QTreeWidgetItem*> items;
    for (const CardRow& row : pool_->Rows()) {
        auto* item = new QTreeWidgetItem({ToQt(row.label), ToQt(row.summary), ToQt(row.date)});
        item->setData(0, kCardNumberRole, row.number);
        items.push_back(item);
    }
    list_->addTopLevelItems(items);
    ApplyMarks();
    if (selected) SelectCard(*selected);
}

void CMemcardsTab::ApplyMarks() {
    const ManagedSlots chosen = ReadManagedSlots(registry_);
    for (int row = 0; row < list_->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = list_->topLevelItem(row);
        const int mark = SlotMark(chosen, item->data(0, kCardNumberRole).toInt());
        item->setData(0, kMarkRole, mark);
        item->setIcon(0, RowIcon(mark));
    }
}

int CMemcardsTab::RowMark(int row) const {
    const QTreeWidgetItem* item = list_->topLevelItem(row);
    return item ? item->data(0, kMarkRole).toInt() : 0;
}

void CMemcardsTab::LoadChoice() {
    const CustomCards cards = ReadCustomCards(registry_);
    (cards.useCustom ? custom_ : managed_)->setChecked(true);
    card1_->setText(ToQt(cards.card1));
    card2_->setText(ToQt(cards.card2));
}

CustomCards CMemcardsTab::Choice() const {
    return {custom_->isChecked(), FromQt(card1_->text()), FromQt(card2_->text())};
}

std::optional<int> CMemcardsTab::SelectedCard() const {
    const auto selected = list_->selectedItems();
    if (selected.isEmpty()) return std::nullopt;
    return selected.front()->data(0, kCardNumberRole).toInt();
}

void CMemcardsTab::SelectCard(int number) {
    for (int row = 0; row < list_->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = list_->topLevelItem(row);
        if (item->data(0, kCardNumberRole).toInt() != number) continue;
        list_->setCurrentItem(item);
        item->setSelected(true);
        list_->scrollToItem(item);
        return;
    }
}

void CMemcardsTab::OnSetSlot(int slot) {
    const auto card = SelectedCard();
    if (!card) return;
    WriteManagedSlot(registry_, slot, static_cast<std::uint32_t>(*card));
    ApplyMarks();
}

void CMemcardsTab::OnFormat() {
    const auto card = SelectedCard();
    if (!card || !pool_) return;
    if (prompter_.Ask("Formatting will destroy content of memory card. Continue?", kCaptionFormat,
                      PromptIcon::Exclamation, PromptButtons::YesNo, PromptAnswer::No) != PromptAnswer::Yes)
        return;
    pool_->Format(*card);
    Fill();
}

void CMemcardsTab::OnCreate() {
    if (!pool_) return;
    if (const auto card = pool_->Create()) {
        Fill();
        SelectCard(*card);
    }
}

void CMemcardsTab::OnDelete() {
    const auto card = SelectedCard();
    if (!card || !pool_) return;
    if (prompter_.Ask("Deleting will destroy content of memory card. Continue?", kCaptionDelete,
                      PromptIcon::Exclamation, PromptButtons::YesNo, PromptAnswer::No) != PromptAnswer::Yes)
        return;
    // Every configuration's slots keep naming their own cards.
    const CardDeletion deletion = pool_->Delete(*card);
    if (deletion.deleted) FollowCardDeletion(registry_, *card, deletion.movedEnd);
    Fill();
}

void CMemcardsTab::OnDuplicate() {
    const auto card = SelectedCard();
    if (!card || !pool_) return;
    if (const auto copy = pool_->Duplicate(*card)) {
        Fill();
        SelectCard(*copy);
    }
}

void CMemcardsTab::OnImport() {
    if (!pool_) return;
    const QString file = QFileDialog::getOpenFileName(
        this, QString(), QString(), QStringLiteral("MCR Files (*.mcr);;GME Files (*.gme);;PSX Files (*.psx)"));
    if (file.isEmpty()) return;
    ImportFile(WindowsPathOfChosenFile(file));
}

void CMemcardsTab::ImportFile(const std::string& path) {
    if (!pool_) return;
    const auto card = pool_->Import(path);
    if (!card) {
        prompter_.Tell("Could not import memcard!", kCaptionImport, PromptIcon::Information);
        return;
    }
    Fill();
    SelectCard(*card);
}

void CMemcardsTab::OnExport() {
    const auto card = SelectedCard();
    if (!card || !pool_) return;
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("MCR"));
    dialog.setNameFilters({QStringLiteral("MCR Files (*.mcr)"), QStringLiteral("All Files (*.*)")});
    dialog.selectFile(ToQt(CardPool::ExportFileName(*card)));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    ExportTo(WindowsPathOfChosenFile(dialog.selectedFiles().front()));
}

void CMemcardsTab::ExportTo(const std::string& path) {
    const auto card = SelectedCard();
    if (!card || !pool_) return;
    if (pool_->Export(*card, path)) {
        prompter_.Tell("Memcard copied!", kCaptionExport, PromptIcon::Information);
    } else {
        prompter_.Tell("Memcard could not be copied!", kCaptionExport, PromptIcon::Stop);
    }
}

void CMemcardsTab::Browse(QLineEdit* field) {
    const QString file = QFileDialog::getOpenFileName(this, QString(), QString(), QStringLiteral("All Files (*.*)"));
    if (file.isEmpty()) return;
    field->setText(ToQt(WindowsPathOfChosenFile(file)));
}

void CMemcardsTab::ShowMenu(const QPoint& listPos) {
    QTreeWidgetItem* item = list_->itemAt(listPos);
    if (!item) return;
    SelectCard(item->data(0, kCardNumberRole).toInt());
    menu_->popup(list_->viewport()->mapToGlobal(listPos));
}

}  // namespace dravolo::tool
