#include "frontend/shell/CDravolo7View.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QItemSelectionModel>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

#include "common/base/text.h"
#include "common/qt/ansi_qstring.h"
#include "frontend/core/known_settings.h"
#include "frontend/core/settings_store.h"
#include "frontend/profiles/profile_files.h"
#include "frontend/profiles/profile_manager.h"
#include "frontend/shell/CProfilePropertiesDlg.h"
#include "frontend/shell/profile_list_model.h"
#include "frontend/shell/profile_picture.h"
#include "frontend/shell/profile_properties_logic.h"
#include "frontend/shell/settings_values.h"
#include "frontend/shell/shell_art.h"
#include "frontend/widgets/host_path_qt.h"

namespace dravolo {

namespace {

// Every item of the icon faces fills its grid cell, so with uniform sizes a
// long name wraps onto a second line (as the large-icon list shows it) rather
// than being cut to one line by whichever item Qt measured first.
class GridCellDelegate : public QStyledItemDelegate {
public:
    explicit GridCellDelegate(QListView* view) : QStyledItemDelegate(view), view_(view) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QSize grid = view_->gridSize();
        if (!grid.isValid()) return QStyledItemDelegate::sizeHint(option, index);
        return grid - QSize(4, 4);
    }

private:
    QListView* view_;
};

}  // namespace

namespace {

QPixmap ToPixmap(const IconImage& image) {
    // Alpha is 0 (magenta, all bits clear) or 255: the pixels are already
    // premultiplied, which spares Qt a conversion at every paint.
    QImage qimage(image.size, image.size, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.size; ++y)
        std::memcpy(qimage.scanLine(y), image.pixels.data() + static_cast<std::size_t>(y) * image.size,
                    static_cast<std::size_t>(image.size) * 4);
    return QPixmap::fromImage(std::move(qimage));
}

}  // namespace

// The two faces of the list: icons (large or small) and details. Both show
// the same model and selection; only one is visible.
template <typename Base>
class ProfileViewFace : public Base {
public:
    explicit ProfileViewFace(CDravolo7View* owner) : Base(owner), owner_(owner) {}

protected:
    void paintEvent(QPaintEvent* event) override {
        owner_->PaintBackground(this->viewport());
        Base::paintEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        Base::mouseReleaseEvent(event);
        owner_->OnViewClicked(this, event->position().toPoint(), event->button());
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        Base::mouseDoubleClickEvent(event);
        if (event->button() == Qt::LeftButton) emit owner_->launchWanted();
    }
    void contextMenuEvent(QContextMenuEvent* event) override {
        owner_->OnContextMenu(this, event->pos(), event->globalPos());
    }

    CDravolo7View* owner_;
};

class ProfileIconView : public ProfileViewFace<QListView> {
public:
    using ProfileViewFace::ProfileViewFace;
};
class ProfileDetailsView : public ProfileViewFace<QTreeView> {
public:
    using ProfileViewFace::ProfileViewFace;
};

namespace {

// The Details columns and the sort the user chose last, kept with the settings.
// The Details columns' widths and the list's sort, kept between runs.
constexpr IntSetting kNameWidthSetting{"NameColumnWidth", 150};
constexpr IntSetting kDescriptionWidthSetting{"DescriptionColumnWidth", 200};
constexpr IntSetting kSortColumnSetting{"SortColumn", ProfileListModel::kUnsorted};
constexpr IntSetting kSortOrderSetting{"SortOrder", 0};  // 1: descending
// A stored width outside this range would lose the column (or the other one).
constexpr int kMinColumnWidth = 16;
constexpr int kMaxColumnWidth = 4000;

int StoredWidth(const SettingsStore& settings, const IntSetting& setting) {
    const int width = settings.Get(setting);
    return width >= kMinColumnWidth && width <= kMaxColumnWidth ? width : setting.defaultValue;
}

}  // namespace

CDravolo7View::CDravolo7View(ShellContext& context, QWidget* parent)
    : QWidget(parent),
      context_(context),
      model_(new ProfileListModel(this)),
      selection_(new QItemSelectionModel(model_, this)),
      filterEdit_(new QLineEdit(this)),
      stack_(new QStackedWidget(this)),
      iconView_(new ProfileIconView(this)),
      detailsView_(new ProfileDetailsView(this)),
      pictureTimer_(new QTimer(this)) {
    pictureTimer_->setInterval(0);
    connect(pictureTimer_, &QTimer::timeout, this, [this] { LoadPictures(kPicturesPerStep); });
    iconView_->setModel(model_);
    iconView_->setSelectionModel(selection_);
    iconView_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Whole rows, as the details face selects them: one selection for both.
    iconView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    iconView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    iconView_->setResizeMode(QListView::Adjust);  // automatic arrangement
    iconView_->setWordWrap(true);
    iconView_->setItemDelegate(new GridCellDelegate(iconView_));
    // Every item has the same cell; thousands of profiles lay out at once.
    iconView_->setUniformItemSizes(true);

    detailsView_->setModel(model_);
    detailsView_->setSelectionModel(selection_);
    detailsView_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    detailsView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    detailsView_->setRootIsDecorated(false);
    detailsView_->setItemsExpandable(false);
    detailsView_->setUniformRowHeights(true);
    detailsView_->setIconSize(QSize(16, 16));
    detailsView_->header()->setStretchLastSection(false);
    detailsView_->header()->resizeSection(0, kNameWidthSetting.defaultValue);
    detailsView_->header()->resizeSection(1, kDescriptionWidthSetting.defaultValue);
    // A click on a column header sorts by it (the folder's order until then);
    // the order holds for every display mode.
    detailsView_->header()->setSortIndicator(ProfileListModel::kUnsorted, Qt::AscendingOrder);
    detailsView_->setSortingEnabled(true);

    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(iconView_), static_cast<QAbstractItemView*>(detailsView_)})
        view->setFocusPolicy(Qt::StrongFocus);
    stack_->addWidget(iconView_);
    stack_->addWidget(detailsView_);

    // Typing narrows the list at once; Escape clears, Down and Enter go to
    // the list.
    filterEdit_->setObjectName(QStringLiteral("profileFilter"));
    filterEdit_->setPlaceholderText(QStringLiteral("Filter by name or description"));
    filterEdit_->setClearButtonEnabled(true);
    filterEdit_->installEventFilter(this);
    connect(filterEdit_, &QLineEdit::textChanged, this, &CDravolo7View::SetFilter);
    auto* find = new QAction(this);
    find->setShortcut(QKeySequence::Find);
    connect(find, &QAction::triggered, this, [this] {
        filterEdit_->setFocus(Qt::ShortcutFocusReason);
        filterEdit_->selectAll();
    });
    addAction(find);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(filterEdit_);
    layout->addWidget(stack_, 1);
    setFocusProxy(stack_);
    stack_->setFocusProxy(iconView_);

    // Keyboard selection counts as a click: a user who never touches the
    // mouse still gets Delete, Configure and Edit. So does every change of
    // the rows (a refill, a filter, a sort): the commands always follow the
    // selection the list has. A repeated notice in the same state changes
    // nothing at the frame.
    connect(selection_, &QItemSelectionModel::selectionChanged, this, [this] { NotifySelection(); });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { NotifySelection(); });
    connect(model_, &QAbstractItemModel::layoutChanged, this, [this] { NotifySelection(); });
    connect(model_, &QAbstractItemModel::rowsRemoved, this, [this] { NotifySelection(); });

    // The emulator icons are images 0 to 4 of both lists.
    for (const auto& info : kEmulatorKinds) {
        largeImages_.push_back(EmulatorIcon(info.kind, kLargeIconSize));
        smallImages_.push_back(EmulatorIcon(info.kind, kSmallIconSize));
    }
    SetDisplayMode(DisplayMode::LargeIcons);
}

CDravolo7View::~CDravolo7View() = default;

void CDravolo7View::OnInitialUpdate() {
    textColor_ = static_cast<std::uint32_t>(context_.settings.Get(kTextColorSetting));
    currentEmulator_ = KindFromNumber(context_.settings.Get(kCurrentEmulatorSetting));
    hideConsoles_ = context_.settings.Get(kNukeConsoleSetting) != 0;
    ApplyPalette();
    RestoreDetailsLayout();
    EnumerateAndFill();
    const auto rows = selectedRows();
    selectedIndex_ = rows.empty() ? -1 : rows.front();
    switch (context_.settings.Get(kCurrentViewSetting)) {
    case 0: SetDisplayMode(DisplayMode::LargeIcons); break;
    case 1: SetDisplayMode(DisplayMode::Details); break;
    case 2: SetDisplayMode(DisplayMode::SmallIcons); break;
    default: break;  // an unknown mode keeps the one the list has
    }
    useBackground_ = context_.settings.Get(kUseBitmapSetting) != 0;
    tileBackground_ = context_.settings.Get(kTileBitmapSetting) != 0;
    if (useBackground_) ApplyBackground();
}

void CDravolo7View::SaveState() {
    const int view = mode_ == DisplayMode::SmallIcons ? 2 : mode_ == DisplayMode::Details ? 1 : 0;
    context_.settings.Set(kCurrentViewSetting, view);
    context_.settings.Set(kUseBitmapSetting, useBackground_ ? 1 : 0);
    // A stored number that names no emulator stays as it is.
    if (currentEmulator_) context_.settings.Set(kCurrentEmulatorSetting, static_cast<int>(*currentEmulator_));
    context_.settings.Set(kNukeConsoleSetting, hideConsoles_ ? 1 : 0);
    const QHeaderView* header = detailsView_->header();
    context_.settings.Set(kNameWidthSetting, header->sectionSize(ProfileListModel::kNameColumn));
    context_.settings.Set(kDescriptionWidthSetting, header->sectionSize(ProfileListModel::kDescriptionColumn));
    context_.settings.Set(kSortColumnSetting, model_->sortColumn());
    context_.settings.Set(kSortOrderSetting, model_->sortOrder() == Qt::DescendingOrder ? 1 : 0);
}

void CDravolo7View::RestoreDetailsLayout() {
    QHeaderView* header = detailsView_->header();
    header->resizeSection(ProfileListModel::kNameColumn, StoredWidth(context_.settings, kNameWidthSetting));
    header->resizeSection(ProfileListModel::kDescriptionColumn,
                          StoredWidth(context_.settings, kDescriptionWidthSetting));
    int column = context_.settings.Get(kSortColumnSetting);
    if (column != ProfileListModel::kNameColumn && column != ProfileListModel::kDescriptionColumn)
        column = ProfileListModel::kUnsorted;
    const Qt::SortOrder order =
        context_.settings.Get(kSortOrderSetting) == 1 ? Qt::DescendingOrder : Qt::AscendingOrder;
    // The header tells the model, which sorts every fill from now on.
    header->setSortIndicator(column, order);
}

void CDravolo7View::AddListAction(QAction* action) {
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    stack_->addAction(action);
}

bool CDravolo7View::eventFilter(QObject* watched, QEvent* event) {
    if (watched == filterEdit_ && event->type() == QEvent::KeyPress &&
        OnFilterKey(static_cast<QKeyEvent*>(event)->key()))
        return true;
    return QWidget::eventFilter(watched, event);
}

bool CDravolo7View::OnFilterKey(int key) {
    switch (key) {
    case Qt::Key_Escape:
        if (filterEdit_->text().isEmpty()) return false;
        filterEdit_->clear();
        return true;
    case Qt::Key_Down:
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        QAbstractItemView* view = activeItemView();
        view->setFocus(Qt::TabFocusReason);
        if (!selection_->hasSelection() && itemCount() > 0) {
            const QModelIndex first = model_->index(0, 0);
            selection_->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        }
        return true;
    }
    default: return false;
    }
}

void CDravolo7View::SetFilter(const QString& text) {
    if (filterEdit_->text() != text) {
        const QSignalBlocker block(filterEdit_);
        filterEdit_->setText(text);
    }
    model_->SetFilter(text);
}

QAbstractItemModel* CDravolo7View::model() const { return model_; }

int CDravolo7View::itemCount() const { return model_->rowCount(); }

std::string CDravolo7View::itemName(int row) const { return model_->row(row).name; }

QString CDravolo7View::itemDescription(int row) const { return model_->row(row).description; }

int CDravolo7View::imageIndex(int row) const { return model_->row(row).image; }

std::vector<int> CDravolo7View::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : selection_->selectedIndexes())
        if (index.column() == 0) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

QAbstractItemView* CDravolo7View::activeItemView() const {
    return mode_ == DisplayMode::Details ? static_cast<QAbstractItemView*>(detailsView_)
                                         : static_cast<QAbstractItemView*>(iconView_);
}

void CDravolo7View::EnumerateAndFill() {
    ProfileList list;
    if (currentEmulator_) EnumerateProfiles(*currentEmulator_, list, context_.settings, context_.prompter);
    // Cut the ".set" extension.
    for (auto& name : list.fileNames)
        if (name.size() >= 4) name.resize(name.size() - 4);
    FillList(list.fileNames, list.descriptions, list.bitmapFiles);
}

void CDravolo7View::FillList(const std::vector<std::string>& names, const std::vector<std::string>& descriptions,
                             const std::vector<std::string>& pictures) {
    // Both image lists keep the emulator icons (0 to 4) and lose the pictures.
    largeImages_.resize(kFirstPictureIndex);
    smallImages_.resize(kFirstPictureIndex);
    nextImageIndex_ = kFirstPictureIndex;
    // The kind's icon; without a kind there are no rows.
    const int defaultImage = currentEmulator_ ? static_cast<int>(KindIndex(*currentEmulator_)) : 0;
    std::vector<ProfileListModel::Row> rows;
    rows.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        rows.push_back(
            {names[i], ToQt(names[i]), ToQt(i < descriptions.size() ? descriptions[i] : std::string()), defaultImage});
    std::vector<QIcon> icons;
    for (std::size_t i = 0; i < largeImages_.size(); ++i) {
        QIcon icon;
        icon.addPixmap(largeImages_[i]);
        icon.addPixmap(smallImages_[i]);
        icons.push_back(icon);
    }
    model_->Reset(std::move(rows), std::move(icons));
    pendingPictures_ = pictures;
    pendingPictures_.resize(names.size());
    nextPictureRow_ = 0;
    LoadPictures(kPicturesBeforeShowing);
    if (picturesPending()) pictureTimer_->start();
    ++fillCount_;
}

void CDravolo7View::LoadPictures(std::size_t count) {
    // Rows here are source rows: the folder's order, whatever the filter shows.
    const std::size_t end = std::min(pendingPictures_.size(), nextPictureRow_ + count);
    for (; nextPictureRow_ < end; ++nextPictureRow_) {
        const auto picture = LoadProfilePicture(pendingPictures_[nextPictureRow_]);
        if (!picture) continue;
        largeImages_.push_back(ToPixmap(picture->large));
        smallImages_.push_back(ToPixmap(picture->small));
        QIcon icon;
        icon.addPixmap(largeImages_.back());
        icon.addPixmap(smallImages_.back());
        model_->AppendIcon(icon);
        model_->SetImage(static_cast<int>(nextPictureRow_), nextImageIndex_++);
    }
    if (!picturesPending()) {
        pictureTimer_->stop();
        pendingPictures_.clear();
        nextPictureRow_ = 0;
    }
}

void CDravolo7View::FinishPictureLoading() { LoadPictures(pendingPictures_.size()); }

void CDravolo7View::Refill() { RefillSelecting(SelectedNames()); }

std::vector<std::string> CDravolo7View::SelectedNames() const {
    std::vector<std::string> names;
    for (int row : selectedRows()) names.push_back(itemName(row));
    return names;
}

void CDravolo7View::RefillSelecting(const std::vector<std::string>& names) {
    EnumerateAndFill();
    if (names.empty()) return;
    QItemSelection wanted;
    QModelIndex first;
    for (int row = 0; row < itemCount(); ++row) {
        if (std::find(names.begin(), names.end(), itemName(row)) == names.end()) continue;
        const QModelIndex index = model_->index(row, 0);
        wanted.select(index, index);
        if (!first.isValid()) first = index;
    }
    if (!first.isValid()) return;
    selection_->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    selection_->select(wanted, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    activeItemView()->scrollTo(first);
}

void CDravolo7View::SwitchEmulator(EmulatorKind kind) {
    if (kind == currentEmulator_) return;
    currentEmulator_ = kind;
    EnumerateAndFill();
}

void CDravolo7View::SetDisplayMode(DisplayMode mode) {
    mode_ = mode;
    switch (mode) {
    case DisplayMode::LargeIcons:
        iconView_->setViewMode(QListView::IconMode);
        iconView_->setIconSize(QSize(kLargeIconSize, kLargeIconSize));
        iconView_->setGridSize(QSize(96, 68));
        iconView_->setFlow(QListView::LeftToRight);
        iconView_->setWrapping(true);
        stack_->setCurrentWidget(iconView_);
        break;
    case DisplayMode::SmallIcons:
        iconView_->setViewMode(QListView::ListMode);
        iconView_->setIconSize(QSize(kSmallIconSize, kSmallIconSize));
        iconView_->setGridSize(QSize(160, 20));
        iconView_->setFlow(QListView::LeftToRight);
        iconView_->setWrapping(true);
        stack_->setCurrentWidget(iconView_);
        break;
    case DisplayMode::Details: stack_->setCurrentWidget(detailsView_); break;
    }
    const bool hadFocus = stack_->isAncestorOf(QApplication::focusWidget());
    stack_->setFocusProxy(activeItemView());
    if (hadFocus) activeItemView()->setFocus();
    // Icon mode switches dragging on; profiles stay where the list puts them.
    iconView_->setDragEnabled(false);
    emit displayModeChanged();
}

void CDravolo7View::ApplyPalette() {
    const QColor text(RedOf(textColor_), GreenOf(textColor_), BlueOf(textColor_));
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(iconView_), static_cast<QAbstractItemView*>(detailsView_)}) {
        QPalette palette = view->palette();
        palette.setColor(QPalette::Text, text);
        view->setPalette(palette);
        view->viewport()->update();
    }
}

void CDravolo7View::SetTextColor(std::uint32_t colorRef) {
    textColor_ = colorRef;
    ApplyPalette();
}

void CDravolo7View::ApplyBackground() {
    const std::string path = context_.settings.Get(kBackgroundSetting);
    if (path.empty()) return;
    background_ = QPixmap(HostPathToQt(path));
    useBackground_ = true;
    activeItemView()->viewport()->update();
    emit backgroundChanged();
}

void CDravolo7View::RemoveBackground() {
    background_ = QPixmap();
    useBackground_ = false;
    activeItemView()->viewport()->update();
    emit backgroundChanged();
}

void CDravolo7View::ToggleBackground() {
    if (useBackground_) RemoveBackground();
    else ApplyBackground();
}

void CDravolo7View::ReapplyBackground(bool tile) {
    tileBackground_ = tile;
    if (!useBackground_) return;
    ApplyBackground();
}

void CDravolo7View::PaintBackground(QWidget* viewport) {
    if (!useBackground_ || background_.isNull()) return;
    QPainter painter(viewport);
    if (tileBackground_) painter.drawTiledPixmap(viewport->rect(), background_);
    else painter.drawPixmap(0, 0, background_);
}

void CDravolo7View::ToggleHideConsoles() {
    hideConsoles_ = !hideConsoles_;
    context_.settings.Set(kNukeConsoleSetting, hideConsoles_ ? 1 : 0);
}

void CDravolo7View::NotifySelection() {
    const auto rows = selectedRows();
    selectedIndex_ = rows.empty() ? -1 : rows.front();
    if (selectedIndex_ >= 0) emit selectionPresent();
    else emit selectionLost();
}

void CDravolo7View::OnViewClicked(QAbstractItemView*, const QPoint&, Qt::MouseButton button) {
    if (button == Qt::LeftButton) NotifySelection();
}

void CDravolo7View::OnContextMenu(QAbstractItemView* view, const QPoint&, const QPoint& globalPos) {
    // The header of the details face and the frame are not the list's client area.
    const QPoint local = view->viewport()->mapFromGlobal(globalPos);
    if (!view->viewport()->rect().contains(local)) return;
    const QModelIndex hit = view->indexAt(local);
    if (hit.isValid()) {
        if (!selection_->isRowSelected(hit.row(), QModelIndex()))
            selection_->select(hit, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        selectedIndex_ = selectedRows().empty() ? hit.row() : selectedRows().front();
        emit selectionPresent();
    } else {
        // As the Windows list does: nothing stays highlighted that the
        // disabled commands would no longer reach.
        selection_->clearSelection();
        selectedIndex_ = -1;
        emit selectionLost();
    }
    emit contextMenuWanted(globalPos);
}

void CDravolo7View::StoreEditedProfile(AnyProfileRecord record) {
    const auto kind = currentEmulator_;
    if (!kind || KindOf(record) != *kind) return;
    std::string target = currentProfilePath_;
    if (!dialogOpen_) {
        if (selectedIndex_ < 0 || selectedIndex_ >= itemCount()) return;
        target = ProfilePath(*kind, itemName(selectedIndex_));
    }
    AnyProfileRecord stored = MakeDefaultRecord(*kind, context_.settings);
    if (!LoadAnyRecord(stored, target, context_.prompter)) return;
    // The option sheet never changes description and picture.
    PropertiesOf(record).Description = PropertiesOf(stored).Description;
    PropertiesOf(record).BitmapFile = PropertiesOf(stored).BitmapFile;
    SaveAnyRecord(record, target, context_.prompter);
}

void CDravolo7View::NewProfile() {
    const auto kind = currentEmulator_;
    if (!kind) return;
    dialogOpen_ = true;
    CProfilePropertiesDlg dialog(context_, *kind, true, ProfileFields{}, this);
    connect(&dialog, &CProfilePropertiesDlg::profilePathChosen, this,
            [this](const std::string& path) { SetCurrentProfilePath(path); });
    connect(&dialog, &CProfilePropertiesDlg::optionSheetWanted, this, &CDravolo7View::optionSheetWanted);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    dialogOpen_ = false;
    const ProfileFields fields = dialog.fields();
    bool made = dialog.createdFile();
    if (accepted && !fields.name.empty())
        made = FinishNewProfile(*kind, fields, dialog.createdFile(), context_.settings, context_.prompter) || made;
    // The new profile is the one to work on next.
    RefillSelecting(made ? std::vector<std::string>{TrimSpaces(fields.name)} : SelectedNames());
}

void CDravolo7View::EditProfile() {
    const auto kind = currentEmulator_;
    const auto rows = selectedRows();
    if (!kind || itemCount() == 0 || rows.empty()) return;
    auto fields = LoadProfileFields(*kind, itemName(rows.front()), context_.settings, context_.prompter);
    if (!fields) return;
    dialogOpen_ = true;
    CProfilePropertiesDlg dialog(context_, *kind, false, *fields, this);
    connect(&dialog, &CProfilePropertiesDlg::profilePathChosen, this,
            [this](const std::string& path) { SetCurrentProfilePath(path); });
    connect(&dialog, &CProfilePropertiesDlg::optionSheetWanted, this, &CDravolo7View::optionSheetWanted);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    dialogOpen_ = false;
    const ProfileFields edited = dialog.fields();
    if (accepted && !edited.name.empty()) {
        FinishEditProfile(*kind, edited, context_.settings, context_.prompter);
        // The edited profile stays selected under its new name.
        RefillSelecting({TrimSpaces(edited.name)});
        return;
    }
    Refill();
}

void CDravolo7View::DeleteProfile() {
    const auto kind = currentEmulator_;
    std::vector<int> rows = selectedRows();
    if (!kind || itemCount() == 0 || rows.empty()) return;
    if (context_.prompter.Ask(kDeleteQuestionText, kDeleteQuestionCaption, PromptIcon::Question, PromptButtons::YesNo,
                              PromptAnswer::No) != PromptAnswer::Yes)
        return;
    // Pictures still to come are matched to rows by position.
    FinishPictureLoading();
    // Rows in ascending order; each removal moves the later ones up by one.
    // A profile whose files stay (a refused name, a record that cannot be
    // deleted; the user has been told) keeps its row.
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!DeleteProfileFiles(*kind, itemName(rows[i]), context_.prompter)) continue;
        model_->RemoveRow(rows[i]);
        for (std::size_t j = i + 1; j < rows.size(); ++j) --rows[j];
    }
    NotifySelection();
}

}  // namespace dravolo
