#include "frontend/shell/profile_list_model.h"

namespace dravolo {

void ProfileListModel::Reset(std::vector<Row> rows, std::vector<QIcon> icons) {
    beginResetModel();
    rows_ = std::move(rows);
    icons_ = std::move(icons);
    endResetModel();
}

void ProfileListModel::RemoveRow(int row) {
    if (row < 0 || row >= rowCount()) return;
    beginRemoveRows(QModelIndex(), row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

void ProfileListModel::SetImage(int row, int image) {
    if (row < 0 || row >= rowCount()) return;
    rows_[static_cast<std::size_t>(row)].image = image;
    const QModelIndex at = index(row, 0);
    emit dataChanged(at, at, {Qt::DecorationRole, kImageIndexRole});
}

int ProfileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ProfileListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant ProfileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const Row& r = rows_[static_cast<std::size_t>(index.row())];
    if (index.column() == 1) return role == Qt::DisplayRole ? QVariant(r.description) : QVariant();
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
    if (section == 0) return QStringLiteral("Profile Name");
    if (section == 1) return QStringLiteral("Description");
    return {};
}

}  // namespace dravolo
