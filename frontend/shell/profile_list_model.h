#pragma once
// The rows of the profile list: name, description and image index, with the
// icons of both image lists. Filled in one go, so a thousand profiles cost one
// reset of the views rather than a thousand insertions.

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

    struct Row {
        std::string name;  // ANSI, as the file is named
        QString displayName;
        QString description;
        int image = 0;
    };

    explicit ProfileListModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // Replaces every row; icons[i] is image index i.
    void Reset(std::vector<Row> rows, std::vector<QIcon> icons);
    void RemoveRow(int row);
    // A picture arrived for a row: its image index, and the icon of a new index.
    void SetImage(int row, int image);
    void AppendIcon(const QIcon& icon) { icons_.push_back(icon); }

    const Row& row(int r) const { return rows_[static_cast<std::size_t>(r)]; }
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<Row> rows_;
    std::vector<QIcon> icons_;
};

}  // namespace dravolo
