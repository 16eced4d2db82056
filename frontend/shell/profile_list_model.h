#pragma once
// The rows of the profile list: name, description and image index, with the
// icons of both image lists. Filled in one go, so a thousand profiles cost one
// reset of the views rather than a thousand insertions.
//
// The model keeps every profile in the order the folder lists them (the
// source rows) and shows those that match the filter, in the sort order the
// Details header chose. Views and callers see shown rows; pictures arrive by
// source row.

#include <QAbstractTableModel>
#include <QIcon>
#include <QString>
#include <string>
#include <vector>

namespace dravolo {

class ProfileListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kImageIndexRole = Qt::UserRole + 1;
    static constexpr int kNameColumn = 0;
    static constexpr int kDescriptionColumn = 1;
    // sortColumn() when the rows are in the folder's order.
    static constexpr int kUnsorted = -1;

    struct Row {
        std::string name;  // ANSI, as the file is named
        QString displayName;
        QString description;
        int image = 0;
    };

    explicit ProfileListModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // Replaces every row; icons[i] is image index i. Filter and sort stay.
    void Reset(std::vector<Row> rows, std::vector<QIcon> icons);
    void RemoveRow(int row);
    // A picture arrived for a source row: its image index, and the icon of a
    // new index.
    void SetImage(int sourceRow, int image);
    void AppendIcon(const QIcon& icon) { icons_.push_back(icon); }

    // Shows only the profiles whose name or description holds the text,
    // ignoring case; an empty text shows all. Selections of rows still shown
    // are kept.
    void SetFilter(const QString& text);
    const QString& filter() const { return filter_; }
    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }
    // Every profile, shown or not.
    int totalCount() const { return static_cast<int>(rows_.size()); }

    const Row& row(int r) const { return rows_[static_cast<std::size_t>(shown_[static_cast<std::size_t>(r)])]; }
    int sourceRow(int r) const { return shown_[static_cast<std::size_t>(r)]; }
    // The shown row of a source row; -1 when the filter hides it.
    int shownRow(int sourceRow) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Name or description, ignoring case; kUnsorted for the folder's order.
    // Profiles that compare equal keep the folder's order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    bool Matches(const Row& row) const;
    std::vector<int> ShownOrder() const;
    // Replaces the shown rows, keeping the persistent indexes (and with them
    // the views' selection and current row) of the rows that stay.
    void ChangeShown(std::vector<int> shown);
    void RebuildPositions();

    std::vector<Row> rows_;
    std::vector<int> shown_;     // source row of each shown row
    std::vector<int> position_;  // shown row of each source row, -1 hidden
    std::vector<QIcon> icons_;
    QString filter_;
    int sortColumn_ = kUnsorted;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

}  // namespace dravolo
