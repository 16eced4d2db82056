#include "frontend/memcards/CMemcardsPage.h"

#include <algorithm>

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/qt/ansi_qstring.h"
#include "frontend/memcards/CIntegrityDialog.h"
#include "frontend/memcards/CSnapshotsDialog.h"
#include "frontend/memcards/card_folder.h"
#include "frontend/widgets/file_choosers.h"
#include "frontend/memcards/memcard_texts.h"
#include "frontend/memcards/memcards_art.h"
#include "frontend/widgets/host_path_qt.h"
#include "frontend/widgets/qt_file_filter.h"

namespace dravolo {

using namespace memcards;

namespace {

QPushButton* MakeButton(const char* text) {
    auto* button = new QPushButton(QString::fromLatin1(text));
    button->setAutoDefault(false);
    return button;
}

QToolButton* MakeImageButton(PageButton art, const QString& tip) {
    auto* button = new QToolButton;
    button->setIcon(ButtonIcon(art));
    button->setIconSize(QSize(24, 24));
    button->setAutoRaise(false);
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setFixedSize(36, 36);
    return button;
}

std::string WindowsPathOf(const QString& hostPath, const char* extension) {
    return WithDefaultExtension(WindowsPathFromQt(hostPath), extension);
}

}  // namespace

CMemcardsPage::CMemcardsPage(const SettingsStore& settings, Prompter& prompter, FileChoosers& choosers, QWidget* parent)
    : CMemcardsPageBase(parent), manager_(settings, prompter), choosers_(choosers) {
    setWindowTitle(QString::fromLatin1(kPageCaption));
    manager_.SetPathSent([this](int side, const std::string& path) {
        if (side == kLeft) emit leftCardPathSent(path);
        else emit rightCardPathSent(path);
    });

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(BuildSide(kLeft), 1);
    layout->addWidget(BuildMiddle());
    layout->addWidget(BuildSide(kRight), 1);
    BuildMenu();
    UpdateSnapshotButtons();
}

CMemcardsPage::~CMemcardsPage() = default;

QWidget* CMemcardsPage::BuildSide(int side) {
    SideControls& c = sides_[Index(side)];
    auto* box = new QWidget;
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);

    c.cards = new QComboBox;
    c.cards->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c.cards->setMinimumContentsLength(20);
    c.cards->setAccessibleName(side == kLeft ? QStringLiteral("Left memory card")
                                             : QStringLiteral("Right memory card"));
    column->addWidget(c.cards);

    auto* fileRow = new QHBoxLayout;
    c.refresh = MakeButton("Refresh");
    c.refresh->setVisible(false);  // kept as the page always had it: hidden and without action
    c.refresh->setEnabled(false);
    c.deleteCard = MakeButton("Delete MC");
    c.browse = MakeButton("Browse");
    fileRow->addWidget(c.refresh);
    c.snapshots = MakeButton("Snapshots...");
    fileRow->addWidget(c.deleteCard);
    fileRow->addStretch(1);
    fileRow->addWidget(c.snapshots);
    fileRow->addWidget(c.browse);
    column->addLayout(fileRow);

    c.slotView = new QTreeWidget;
    c.slotView->setColumnCount(3);
    c.slotView->setHeaderLabels({QStringLiteral("Slot"), QStringLiteral("Save Name"), QStringLiteral("Loc")});
    c.slotView->setRootIsDecorated(false);
    c.slotView->setUniformRowHeights(true);
    c.slotView->setAllColumnsShowFocus(true);
    c.slotView->setSelectionMode(QAbstractItemView::SingleSelection);
    c.slotView->setSelectionBehavior(QAbstractItemView::SelectRows);
    c.slotView->setIconSize(QSize(16, 16));
    c.slotView->setContextMenuPolicy(Qt::CustomContextMenu);
    c.slotView->setAccessibleName(side == kLeft ? QStringLiteral("Left slots") : QStringLiteral("Right slots"));
    QHeaderView* header = c.slotView->header();
    header->setStretchLastSection(false);
    header->setSectionsMovable(false);
    header->resizeSection(0, 52);
    header->setSectionResizeMode(1, QHeaderView::Stretch);
    header->resizeSection(2, 40);
    header->setSectionResizeMode(2, QHeaderView::Fixed);
    c.slotView->setMinimumWidth(280);
    // Room for all 15 slots without scrolling.
    const int row = std::max(c.slotView->fontMetrics().height(), 16) + 4;
    c.slotView->setMinimumHeight(header->sizeHint().height() + 15 * row + 2 * c.slotView->frameWidth() + 4);
    column->addWidget(c.slotView, 1);

    auto* commandRow = new QHBoxLayout;
    c.format = MakeButton("Format");
    c.create = MakeButton("Create");
    c.import = MakeButton("Import");
    commandRow->addWidget(c.format);
    commandRow->addWidget(c.create);
    commandRow->addWidget(c.import);
    column->addLayout(commandRow);

    connect(c.cards, &QComboBox::currentIndexChanged, this, [this, side](int index) {
        if (!showing_) Run([&] { manager_.SelectEntry(side, index); });
    });
    connect(c.deleteCard, &QPushButton::clicked, this, [this, side] { Run([&] { manager_.DeleteCard(side); }); });
    connect(c.browse, &QPushButton::clicked, this, [this, side] { OnBrowse(side); });
    connect(c.format, &QPushButton::clicked, this, [this, side] { Run([&] { manager_.Format(side); }); });
    connect(c.create, &QPushButton::clicked, this, [this, side] { OnCreate(side); });
    connect(c.import, &QPushButton::clicked, this, [this, side] { OnImport(side); });
    connect(c.snapshots, &QPushButton::clicked, this, [this, side] { OnSnapshots(side); });
    connect(c.slotView, &QTreeWidget::itemSelectionChanged, this, [this, side] { OnSlotPicked(side); });
    connect(c.slotView, &QTreeWidget::itemPressed, this, [this, side] { OnSlotPicked(side); });
    connect(c.slotView, &QWidget::customContextMenuRequested, this,
            [this, side](const QPoint& pos) { ShowContextMenu(side, pos); });
    // Del erases the selected save, as the erase button does.
    auto* del = new QShortcut(QKeySequence::Delete, c.slotView, nullptr, nullptr, Qt::WidgetShortcut);
    connect(del, &QShortcut::activated, this, [this, side] {
        OnSlotPicked(side);
        Run([&] { manager_.EraseSave(); });
    });
    return box;
}

QWidget* CMemcardsPage::BuildMiddle() {
    auto* box = new QWidget;
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    copyRight_ = MakeImageButton(PageButton::CopyRight, QStringLiteral("Copy the save to the right card"));
    copyLeft_ = MakeImageButton(PageButton::CopyLeft, QStringLiteral("Copy the save to the left card"));
    erase_ = MakeImageButton(PageButton::Erase, QStringLiteral("Erase the save"));
    column->addStretch(1);
    column->addWidget(copyRight_);
    column->addWidget(copyLeft_);
    column->addSpacing(12);
    column->addWidget(erase_);
    column->addStretch(1);
    connect(copyRight_, &QToolButton::clicked, this, [this] { Run([&] { manager_.CopySave(kLeft); }); });
    connect(copyLeft_, &QToolButton::clicked, this, [this] { Run([&] { manager_.CopySave(kRight); }); });
    connect(erase_, &QToolButton::clicked, this, [this] { Run([&] { manager_.EraseSave(); }); });
    return box;
}

void CMemcardsPage::BuildMenu() {
    menu_ = new QMenu(QStringLiteral("MemCards"), this);
    markFree_ = menu_->addAction(QStringLiteral("Mark as Free"));
    deleteSave_ = menu_->addAction(QStringLiteral("Delete Save"));
    recoverSlot_ = menu_->addAction(QStringLiteral("Recover Slot"));
    checkIntegrity_ = menu_->addAction(QStringLiteral("Check Integrity"));
    menu_->addSeparator();
    exportSave_ = menu_->addAction(QStringLiteral("Export Save..."));
    importSave_ = menu_->addAction(QStringLiteral("Import Save..."));
    connect(markFree_, &QAction::triggered, this, [this] { Run([&] { manager_.MarkFree(); }); });
    connect(deleteSave_, &QAction::triggered, this, [this] { Run([&] { manager_.EraseSave(); }); });
    connect(recoverSlot_, &QAction::triggered, this, [this] { Run([&] { manager_.RecoverSlot(); }); });
    connect(checkIntegrity_, &QAction::triggered, this, &CMemcardsPage::OnCheckIntegrity);
    connect(exportSave_, &QAction::triggered, this, &CMemcardsPage::OnExportSave);
    connect(importSave_, &QAction::triggered, this, &CMemcardsPage::OnImportSave);
}

template <typename Command>
void CMemcardsPage::Run(Command&& command) {
    command();
    ShowState();
}

void CMemcardsPage::SetKind(std::optional<EmulatorKind> kind) {
    manager_.SetKind(kind);
    UpdateSnapshotButtons();
}
void CMemcardsPage::SetProfileName(const std::string& name) {
    manager_.SetProfileName(name);
    UpdateSnapshotButtons();
}

void CMemcardsPage::UpdateSnapshotButtons() {
    const bool profile = !manager_.SnapshotFolder().empty();
    for (SideControls& c : sides_) {
        c.snapshots->setEnabled(profile);
        c.snapshots->setToolTip(
            profile ? QStringLiteral("The snapshots of this card taken before each launch of the profile")
                    : QStringLiteral("Card snapshots belong to a profile: open its settings"));
    }
}
void CMemcardsPage::SetLeftCardPath(const std::string& path) { manager_.SetPath(kLeft, path); }
void CMemcardsPage::SetRightCardPath(const std::string& path) { manager_.SetPath(kRight, path); }

void CMemcardsPage::ExchangeCards(std::string& card1, std::string& card2, bool toRecord) {
    if (toRecord) {
        card1 = manager_.path(kLeft);
        card2 = manager_.path(kRight);
    } else {
        manager_.SetPath(kLeft, card1);
        manager_.SetPath(kRight, card2);
    }
}

void CMemcardsPage::OnInitPage() {
    manager_.Initialise();
    ShowState();
}

void CMemcardsPage::OnSetActive() {
    Run([&] { manager_.Activate(); });
}
void CMemcardsPage::OnKillActive() { manager_.Deactivate(); }
void CMemcardsPage::OnOK() { manager_.Ok(); }

void CMemcardsPage::UpdateData(bool save) {
    if (save) manager_.ReadControls();
    else ShowState();
}

void CMemcardsPage::OnSlotPicked(int side) {
    if (showing_) return;
    QTreeWidget* list = slotList(side);
    const QList<QTreeWidgetItem*> picked = list->selectedItems();
    manager_.SelectSlot(side, picked.isEmpty() ? -1 : list->indexOfTopLevelItem(picked.first()));
}

void CMemcardsPage::ShowContextMenu(int side, const QPoint& pos) {
    QTreeWidget* list = slotList(side);
    QTreeWidgetItem* item = list->itemAt(pos);
    if (!item || !list->viewport()->rect().contains(pos)) return;
    {
        const QSignalBlocker block(list);
        list->setCurrentItem(item);
        item->setSelected(true);
    }
    manager_.SelectSlot(side, list->indexOfTopLevelItem(item));
    // Export Save only where a save starts.
    exportSave_->setEnabled(manager_.ExportSaveName().has_value());
    menu_->popup(list->viewport()->mapToGlobal(pos));
}

void CMemcardsPage::OnCheckIntegrity() {
    const int side = manager_.activeSide();
    const auto report = manager_.CheckIntegrity(side);
    ShowState();
    if (!report) return;
    CIntegrityDialog dialog(
        *report,
        [this, side] {
            auto repaired = manager_.RepairCard(side);
            ShowState();
            return repaired;
        },
        this);
    dialog.exec();
}

void CMemcardsPage::OnSnapshots(int side) {
    manager_.ReadControls();
    CSnapshotsDialog dialog(
        static_cast<int>(Index(side)) + 1, manager_.path(side), [this, side] { return manager_.Snapshots(side); },
        [this, side](const std::string& id) {
            const bool restored = manager_.RestoreSnapshot(side, id);
            ShowState();
            return restored;
        },
        this);
    dialog.exec();
}

void CMemcardsPage::OnExportSave() {
    const auto name = manager_.ExportSaveName();
    if (!name) return;
    const auto chosen = choosers_.SaveFile(this, FilterToQt(kSaveFilter), HostPathToQt(*name));
    if (!chosen) return;
    const std::string path = WindowsPathOf(*chosen, kSaveExtension);
    Run([&] { manager_.ExportSave(path); });
}

void CMemcardsPage::OnImportSave() {
    if (manager_.path(manager_.activeSide()).empty()) return;
    const auto chosen = choosers_.OpenFile(this, FilterToQt(kSaveFilter), QString());
    if (!chosen) return;
    const std::string path = WindowsPathFromQt(*chosen);
    Run([&] { manager_.ImportSave(path); });
}

void CMemcardsPage::OnCreate(int side) {
    const QString initial = HostPathToQt(manager_.NewCardPath(side));
    const auto chosen = choosers_.SaveFile(this, FilterToQt(kCreateFilter), initial);
    const std::string path = chosen ? WindowsPathOf(*chosen, kCardExtension) : std::string();
    Run([&] { manager_.Create(side, path); });
}

void CMemcardsPage::OnBrowse(int side) {
    manager_.ReadControls();
    const auto chosen = choosers_.OpenFile(this, FilterToQt(kBrowseFilter), HostPathToQt(manager_.path(side)));
    if (!chosen) return;
    const std::string path = WindowsPathOf(*chosen, kCardExtension);
    Run([&] { manager_.Browse(side, path); });
}

void CMemcardsPage::OnImport(int side) {
    const auto chosen = choosers_.OpenFile(this, FilterToQt(kImportAnyFilter), QString());
    if (!chosen) return;
    const std::string path = WindowsPathOf(*chosen, kImportExtension);
    Run([&] { manager_.Import(side, path); });
}

void CMemcardsPage::ShowState() {
    showing_ = true;
    ShowSide(kLeft);
    ShowSide(kRight);
    showing_ = false;
}

void CMemcardsPage::ShowSide(int side) {
    const MemcardManager::Side& state = manager_.side(side);
    SideControls& c = sides_[Index(side)];
    {
        const QSignalBlocker block(c.cards);
        c.cards->clear();
        for (const std::string& entry : state.entries) c.cards->addItem(ToQt(entry));
        c.cards->setCurrentIndex(state.current);
    }
    const QSignalBlocker block(c.slotView);
    c.slotView->clear();
    const CardListing& listing = state.listing;
    std::array<QIcon, memcard::kSlotCount> icons;
    for (std::size_t i = 0; i < icons.size(); ++i) icons[i] = SaveIcon(listing.icons[i]);
    const auto picture = [&icons](int image) {
        return image >= 0 && image < memcard::kSlotCount ? icons[static_cast<std::size_t>(image)] : ListPicture(image);
    };
    QList<QTreeWidgetItem*> items;
    for (const SlotRow& row : listing.rows) {
        auto* item = new QTreeWidgetItem;
        item->setText(0, QString::fromStdString(row.number));
        item->setIcon(0, picture(row.image));
        item->setText(1, SaveNameText(row.saveName));
        item->setToolTip(1, item->text(1));
        item->setIcon(2, picture(row.regionImage));
        items.push_back(item);
    }
    c.slotView->addTopLevelItems(items);
    if (state.selectedSlot >= 0 && state.selectedSlot < items.size()) {
        c.slotView->setCurrentItem(items[state.selectedSlot]);
        items[state.selectedSlot]->setSelected(true);
    }
}

}  // namespace dravolo
