#include "tool/CPluginsTab.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "common/qt/ansi_qstring.h"
#include "tool/CToolSkin.h"

namespace dravolo::tool {

namespace {
constexpr int kRowIdRole = Qt::UserRole + 1;
// The stored column widths are pixels of the classic dialog font, whose
// average character is 6 pixels wide; they are scaled to this list's font
// both ways, so a wider font shows whole dates and the stored values survive.
constexpr double kStoredAverageCharWidth = 6.0;
}  // namespace

CPluginsTab::CPluginsTab(PluginPageLogic& logic, const CToolSkin& skin, QWidget* parent)
    : QWidget(parent),
      logic_(logic),
      skin_(skin),
      list_(new QTreeWidget),
      activate_(new QPushButton(QStringLiteral("Activate"))),
      configure_(new QPushButton(QStringLiteral("Configure"))),
      test_(new QPushButton(QStringLiteral("Test"))),
      about_(new QPushButton(QStringLiteral("About"))),
      menu_(new QMenu(this)) {
    list_->setColumnCount(3);
    list_->setHeaderLabels({QStringLiteral("Plugins"), QStringLiteral("DLL"), QStringLiteral("Date")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setAllColumnsShowFocus(true);
    list_->setSortingEnabled(false);
    // The state mark and the group picture side by side, as a report list shows them.
    list_->setIconSize(QSize(32, 16));
    list_->header()->setSectionsClickable(true);
    list_->header()->setStretchLastSection(false);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {activate_, configure_, test_, about_}) buttons->addWidget(button);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);

    menu_->addAction(QStringLiteral("Activate"), this, &CPluginsTab::OnActivate);
    menu_->addAction(QStringLiteral("Configure"), this, &CPluginsTab::OnConfigure);
    menu_->addAction(QStringLiteral("Test"), this, &CPluginsTab::OnTest);
    menu_->addAction(QStringLiteral("About"), this, &CPluginsTab::OnAbout);

    connect(activate_, &QPushButton::clicked, this, &CPluginsTab::OnActivate);
    connect(configure_, &QPushButton::clicked, this, &CPluginsTab::OnConfigure);
    connect(test_, &QPushButton::clicked, this, &CPluginsTab::OnTest);
    connect(about_, &QPushButton::clicked, this, &CPluginsTab::OnAbout);
    connect(list_->header(), &QHeaderView::sectionClicked, this, &CPluginsTab::OnColumnClick);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { OnDoubleClick(); });
    connect(list_, &QWidget::customContextMenuRequested, this, &CPluginsTab::ShowMenu);
}

double CPluginsTab::WidthScale() const {
    const QFontMetrics metrics(list_->font());
    const double average =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0;
    return std::max(1.0, average / kStoredAverageCharWidth);
}

void CPluginsTab::SetColumnWidths(const std::array<std::uint32_t, 3>& widths) {
    const double scale = WidthScale();
    for (int i = 0; i < 3; ++i) {
        // Stored widths are taken as they are, only kept drawable.
        const double stored = std::min<std::uint32_t>(widths[static_cast<std::size_t>(i)], 4000);
        list_->setColumnWidth(i, static_cast<int>(std::lround(stored * scale)));
    }
}

std::array<std::uint32_t, 3> CPluginsTab::ColumnWidths() const {
    const double scale = WidthScale();
    std::array<std::uint32_t, 3> widths{};
    for (int i = 0; i < 3; ++i)
        widths[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(std::lround(list_->columnWidth(i) / scale));
    return widths;
}

QIcon CPluginsTab::RowIcon(int mark, int group) const {
    QPixmap both(32, 16);
    both.fill(Qt::transparent);
    QPainter p(&both);
    if (mark > 0) p.drawPixmap(0, 0, skin_.StateImage(mark));
    p.drawPixmap(16, 0, skin_.SmallImage(group));
    p.end();
    return QIcon(both);
}

void CPluginsTab::Refill() {
    // The logic may have reordered its rows already: the selection is found
    // again by the row's id, which the item carries.
    std::optional<int> selectedId;
    const auto selected = list_->selectedItems();
    if (!selected.isEmpty()) selectedId = selected.front()->data(0, kRowIdRole).toInt();
    list_->clear();
    QList<QTreeWidgetItem*> items;
    for (const PluginRow& row : logic_.rows()) {
        auto* item = new QTreeWidgetItem({ToQt(row.title), ToQt(row.dll), ToQt(row.date)});
        item->setIcon(0, RowIcon(row.mark, row.group));
        item->setData(0, kRowIdRole, row.id);
        items.push_back(item);
    }
    list_->addTopLevelItems(items);
    if (selectedId) {
        if (const auto row = logic_.RowOfId(*selectedId)) SelectRow(*row);
    }
}

std::optional<int> CPluginsTab::SelectedRow() const {
    const auto selected = list_->selectedItems();
    if (selected.isEmpty()) return std::nullopt;
    const int row = list_->indexOfTopLevelItem(selected.front());
    if (row < 0 || static_cast<std::size_t>(row) >= logic_.rows().size()) return std::nullopt;
    return row;
}

void CPluginsTab::SelectRow(int row) {
    QTreeWidgetItem* item = list_->topLevelItem(row);
    if (!item) return;
    list_->setCurrentItem(item);
    item->setSelected(true);
    list_->scrollToItem(item);
}

void CPluginsTab::OnActivate() {
    const auto row = SelectedRow();
    if (!row) return;
    logic_.Activate(*row);
    Refill();
}

void CPluginsTab::OnConfigure() {
    if (const auto row = SelectedRow()) {
        logic_.Configure(*row);
        emit repaintWanted();
    }
}

void CPluginsTab::OnTest() {
    if (const auto row = SelectedRow()) {
        logic_.Test(*row);
        emit repaintWanted();
    }
}

void CPluginsTab::OnAbout() {
    if (const auto row = SelectedRow()) {
        logic_.About(*row);
        emit repaintWanted();
    }
}

void CPluginsTab::OnColumnClick(int column) {
    logic_.ClickColumn(column);
    Refill();
}

void CPluginsTab::OnDoubleClick() {
    OnActivate();
    OnConfigure();
}

void CPluginsTab::ShowMenu(const QPoint& listPos) {
    // Only on a row; nothing on the empty part of the list.
    QTreeWidgetItem* item = list_->itemAt(listPos);
    if (!item) return;
    SelectRow(list_->indexOfTopLevelItem(item));
    menu_->popup(list_->viewport()->mapToGlobal(listPos));
}

}  // namespace dravolo::tool
