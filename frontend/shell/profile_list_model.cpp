#include "frontend/shell/profile_list_model.h"

#include <algorithm>

namespace dravolo {

void ProfileListModel::Reset(std::vector<Row> rows, std::vector<QIcon> icons) {
    beginResetModel();
    rows_ = std::move(rows);
    icons_ = std::move(icons);
    shown_ = ShownOrder();
    RebuildPositions();
    endResetModel();
}

void ProfileListModel::RemoveRow(int row) {
    if (row < 0 || row >= rowCount()) return;
    const int source = shown_[static_cast<std::size_t>(row)];
    beginRemoveRows(QModelIndex(), row, row);
    rows_.erase(rows_.begin() + source);
    shown_.erase(shown_.begin() + row);
    for (int& s : shown_)
        if (s > source) --s;
    RebuildPositions();
    endRemoveRows();
}

void ProfileListModel::SetImage(int sourceRow, int image) {
    if (sourceRow < 0 || sourceRow >= totalCount()) return;
    rows_[static_cast<std::size_t>(sourceRow)].image = image;
    const int shown = shownRow(sourceRow);
    if (shown < 0) return;
    const QModelIndex at = index(shown, 0);
    emit dataChanged(at, at, {Qt::DecorationRole, kImageIndexRole});
}

int ProfileListModel::shownRow(int sourceRow) const {
    if (sourceRow < 0 || sourceRow >= static_cast<int>(position_.size())) return -1;
    return position_[static_cast<std::size_t>(sourceRow)];
}

void ProfileListModel::SetFilter(const QString& text) {
    if (text == filter_) return;
    filter_ = text;
    ChangeShown(ShownOrder());
}

void ProfileListModel::sort(int column, Qt::SortOrder order) {
    sortColumn_ = column == kNameColumn || column == kDescriptionColumn ? column : kUnsorted;
    sortOrder_ = order;
    ChangeShown(ShownOrder());
}

bool ProfileListModel::Matches(const Row& row) const {
    return filter_.isEmpty() || row.displayName.contains(filter_, Qt::CaseInsensitive) ||
           row.description.contains(filter_, Qt::CaseInsensitive);
}

std::vector<int> ProfileListModel::ShownOrder() const {
    std::vector<int> shown;
    shown.reserve(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (Matches(rows_[i])) shown.push_back(static_cast<int>(i));
    if (sortColumn_ == kUnsorted) return shown;
    const bool byName = sortColumn_ == kNameColumn;
    const bool descending = sortOrder_ == Qt::DescendingOrder;
    std::stable_sort(shown.begin(), shown.end(), [&](int a, int b) {
        const Row& ra = rows_[static_cast<std::size_t>(a)];
        const Row& rb = rows_[static_cast<std::size_t>(b)];
        const int c = byName ? ra.displayName.compare(rb.displayName, Qt::CaseInsensitive)
                             : ra.description.compare(rb.description, Qt::CaseInsensitive);
        return descending ? c > 0 : c < 0;
    });
    return shown;
}

void ProfileListModel::ChangeShown(std::vector<int> shown) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> sources;
    sources.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& index : before) sources.push_back(shown_[static_cast<std::size_t>(index.row())]);
    shown_ = std::move(shown);
    RebuildPositions();
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        const int row = shownRow(sources[static_cast<std::size_t>(i)]);
        after.push_back(row < 0 ? QModelIndex() : index(row, before[i].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ProfileListModel::RebuildPositions() {
    position_.assign(rows_.size(), -1);
    for (std::size_t i = 0; i < shown_.size(); ++i)
        position_[static_cast<std::size_t>(shown_[i])] = static_cast<int>(i);
}

int ProfileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int ProfileListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant ProfileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const Row& r = row(index.row());
    if (index.column() == kDescriptionColumn) return role == Qt::DisplayRole ? QVariant(r.description) : QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: return r.displayName;
    case Qt::DecorationRole:
        return r.image >= 0 && static_cast<std::size_t>(r.image) < icons_.size()
                   ? QVariant(icons_[static_cast<std::size_t>(r.image)])
                   : QVariant();
    case kImageIndexRole: return r.image;
    default: return {};
    }
}

QVariant ProfileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section == kNameColumn) return QStringLiteral("Profile Name");
    if (section == kDescriptionColumn) return QStringLiteral("Description");
    return {};
}

}  // namespace dravolo
