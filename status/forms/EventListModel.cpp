#include "status/forms/EventListModel.h"

#include "status/forms/StatusIcons.h"

namespace tavrel {

EventListModel::EventListModel(QObject* parent) : QAbstractTableModel(parent) {}

void EventListModel::setColumns(const QStringList& titles) {
    beginResetModel();
    titles_ = titles;
    endResetModel();
}

int EventListModel::appendLines(const QStringList& lines) {
    QList<EventRow> added;
    added.reserve(lines.size());
    for (const QString& line : lines)
        if (auto row = eventRowOf(line)) added.append(std::move(*row));
    if (added.isEmpty()) return 0;
    const int count = int(added.size());
    if (count >= kMaxEventRows) {
        // All that is shown is new.
        beginResetModel();
        rows_ = added.mid(count - kMaxEventRows);
        endResetModel();
        return count;
    }
    const int excess = int(rows_.size()) + count - kMaxEventRows;
    if (excess > 0) {
        beginRemoveRows(QModelIndex(), 0, excess - 1);
        rows_.remove(0, excess);
        endRemoveRows();
    }
    beginInsertRows(QModelIndex(), int(rows_.size()), int(rows_.size()) + count - 1);
    rows_.append(std::move(added));
    endInsertRows();
    return count;
}

int EventListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }

int EventListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(titles_.size()); }

QVariant EventListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_.size()) return QVariant();
    const EventRow& row = rows_[index.row()];
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        const QString text = row.field(index.column());
        // Long log entries are read in full from the tool tip.
        if (role == Qt::ToolTipRole) return text.isEmpty() ? QVariant() : QVariant(text);
        return text;
    }
    if (role == Qt::DecorationRole && index.column() == 0) return statusIcon(row.icon);
    return QVariant();
}

QVariant EventListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
    return titles_.value(section);
}

}  // namespace tavrel
