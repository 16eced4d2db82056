#include "frontend/plugins/CPluginsPage.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "common/platform/library.h"
#include "common/qt/ansi_qstring.h"
#include "frontend/core/settings_store.h"
#include "frontend/plugins/CAboutPluginDlg.h"

namespace dravolo {

namespace {

QIcon PluginTypeIcon(PluginType type) {
    QStyle* style = QApplication::style();
    switch (type) {
    case PluginType::Gpu: return style->standardIcon(QStyle::SP_DesktopIcon);
    case PluginType::Spu: return style->standardIcon(QStyle::SP_MediaVolume);
    case PluginType::Cdr: return style->standardIcon(QStyle::SP_DriveCDIcon);
    }
    return {};
}

// A report list that tells its page about clicks on rows and on empty space
// alike (QTreeWidget's own item signals say nothing about empty space).
class PluginList : public QTreeWidget {
public:
    PluginList(CPluginsPage* page, PluginType type) : page_(page), type_(type) {}

protected:
    int RowAt(const QPoint& pos) const {
        const QModelIndex index = indexAt(pos);
        return index.isValid() ? index.row() : -1;
    }
    void mousePressEvent(QMouseEvent* event) override {
        QTreeWidget::mousePressEvent(event);
        if (event->button() == Qt::LeftButton) page_->OnListClick(type_, RowAt(event->position().toPoint()));
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        QTreeWidget::mouseDoubleClickEvent(event);
        if (event->button() == Qt::LeftButton) page_->OnListDoubleClick(type_, RowAt(event->position().toPoint()));
    }
    void contextMenuEvent(QContextMenuEvent* event) override {
        page_->OnListRightClick(type_, RowAt(viewport()->mapFromGlobal(event->globalPos())), event->globalPos());
    }
    void keyPressEvent(QKeyEvent* event) override {
        QTreeWidget::keyPressEvent(event);
        // Moving with the keys chooses as a click does.
        if (currentItem()) page_->OnListClick(type_, indexOfTopLevelItem(currentItem()));
    }

private:
    CPluginsPage* page_;
    PluginType type_;
};

}  // namespace

CPluginsPage::CPluginsPage(SheetContext& context, QWidget* parent)
    : CSheetPage(parent),
      context_(context),
      logic_(context.settings.registry(), context.editor, context.prompter),
      configure_(new QPushButton(QStringLiteral("Configure"))),
      test_(new QPushButton(QStringLiteral("Test"))),
      about_(new QPushButton(QStringLiteral("About"))),
      activate_(new QPushButton(QStringLiteral("Activate"))) {
    setWindowTitle(QStringLiteral("Plugin Manager        "));
    auto* layout = new QVBoxLayout(this);
    for (PluginType type : kPluginTypes) {
        auto* list = new PluginList(this, type);
        list->setRootIsDecorated(false);
        list->setSelectionBehavior(QAbstractItemView::SelectRows);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setAllColumnsShowFocus(true);
        list->setUniformRowHeights(true);
        list->setHeaderLabels({ToQt(PluginNameColumn(type)), QStringLiteral("Version"), QStringLiteral("Filename")});
        list->setColumnWidth(0, 182);
        list->setColumnWidth(1, 80);
        list->setColumnWidth(2, 123);
        list->header()->setStretchLastSection(true);
        list->setIconSize(QSize(16, 16));
        list->setMinimumHeight(90);
        lists_[static_cast<std::size_t>(TypeIndex(type))] = list;
        layout->addWidget(list, 1);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {configure_, test_, about_, activate_}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    // Kept for the page's layout; it has never had anything to do.
    activate_->setVisible(false);
    activate_->setEnabled(false);
    layout->addLayout(buttons);
    connect(configure_, &QPushButton::clicked, this, &CPluginsPage::OnConfigure);
    connect(test_, &QPushButton::clicked, this, &CPluginsPage::OnTest);
    connect(about_, &QPushButton::clicked, this, &CPluginsPage::OnAbout);
}

CPluginsPage::~CPluginsPage() = default;

void CPluginsPage::OnInitPage() {
    // FPSE's own plugins find our window and our instance in their settings block.
    logic_.SetOwnerWindow(static_cast<std::uintptr_t>(window()->winId()), ProgramModuleInstance());
    // Windows plugins on Linux are asked through Wine, which takes a moment
    // the first time.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    logic_.Open();
    QApplication::restoreOverrideCursor();
    for (PluginType type : kPluginTypes) FillList(type);
    ShowChosenRows();
}

void CPluginsPage::FillList(PluginType type) {
    QTreeWidget* tree = list(type);
    tree->clear();
    const QIcon icon = PluginTypeIcon(type);
    for (const PluginEntry& entry : logic_.list(type)) {
        auto* item = new QTreeWidgetItem(tree, {ToQt(entry.name), ToQt(PluginVersionText(entry, logic_.kind())),
                                                ToQt(PluginShownFileName(entry, logic_.kind()))});
        item->setIcon(0, icon);
    }
    // Long names widen their column rather than being cut.
    tree->resizeColumnToContents(0);
    tree->setColumnWidth(0, std::max(tree->columnWidth(0), 182));
}

void CPluginsPage::ShowChosenRows() {
    for (PluginType type : kPluginTypes) {
        QTreeWidget* tree = list(type);
        const QSignalBlocker block(tree);
        tree->clearSelection();
        const int row = logic_.chosenRow(type);
        if (QTreeWidgetItem* item = row >= 0 ? tree->topLevelItem(row) : nullptr) {
            tree->setCurrentItem(item);
            item->setSelected(true);
            tree->scrollToItem(item);
        } else {
            tree->setCurrentItem(nullptr);
        }
    }
}

void CPluginsPage::OnListClick(PluginType type, int row) {
    const int before = logic_.chosenRow(type);
    logic_.Click(type, row);
    if (logic_.chosenRow(type) != before) SetModified();
    if (row < 0) list(type)->clearSelection();
}

void CPluginsPage::OnListDoubleClick(PluginType type, int row) {
    const int before = logic_.chosenRow(type);
    logic_.DoubleClick(type, row);
    if (logic_.chosenRow(type) != before) SetModified();
}

QMenu* CPluginsPage::contextMenu() {
    if (!menu_) {
        menu_ = new QMenu(this);
        connect(menu_->addAction(QStringLiteral("Configure")), &QAction::triggered, this, &CPluginsPage::OnConfigure);
        connect(menu_->addAction(QStringLiteral("Test")), &QAction::triggered, this, &CPluginsPage::OnTest);
        connect(menu_->addAction(QStringLiteral("About Plugin")), &QAction::triggered, this, &CPluginsPage::OnAbout);
    }
    return menu_;
}

bool CPluginsPage::OnListRightClick(PluginType type, int row, const QPoint& globalPos, bool showMenu) {
    const int before = logic_.chosenRow(type);
    const bool onRow = logic_.RightClick(type, row);
    if (!onRow) return false;
    if (logic_.chosenRow(type) != before) SetModified();
    QTreeWidget* tree = list(type);
    if (QTreeWidgetItem* item = tree->topLevelItem(row)) {
        const QSignalBlocker block(tree);
        tree->setCurrentItem(item);
    }
    if (showMenu) contextMenu()->exec(globalPos);
    return true;
}

void CPluginsPage::OnConfigure() { logic_.Configure(); }

void CPluginsPage::OnTest() { logic_.Test(); }

void CPluginsPage::OnAbout() {
    if (const auto info = logic_.About()) {
        CAboutPluginDlg dialog(*info, this);
        dialog.exec();
    }
}

void CPluginsPage::OnOK() { logic_.Ok(); }

}  // namespace dravolo
