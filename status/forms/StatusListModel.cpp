#include "status/forms/StatusListModel.h"

#include "status/StatusNodes.h"
#include "status/forms/StatusIcons.h"

#include <QBrush>
#include <QCollator>
#include <QDateTime>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <numeric>

namespace tavrel {

namespace {

const QColor kLinkColour(0, 0, 255);

int compareCells(const ListCell& a, const ListCell& b, const QCollator& collator) {
    if (a.sortValue.isValid() && b.sortValue.isValid()) {
        const QPartialOrdering order = QVariant::compare(a.sortValue, b.sortValue);
        if (order == QPartialOrdering::Less) return -1;
        if (order == QPartialOrdering::Greater) return 1;
        if (order == QPartialOrdering::Equivalent) return 0;
    }
    // An empty cell (no value) sorts before every value.
    if (a.sortValue.isValid() != b.sortValue.isValid()) return a.sortValue.isValid() ? 1 : -1;
    return collator.compare(a.text, b.text);
}

}  // namespace

StatusListModel::StatusListModel(QObject* parent) : QAbstractTableModel(parent) {}

void StatusListModel::setColumns(const QStringList& titles) {
    beginResetModel();
    titles_ = titles;
    rows_.clear();
    sortColumn_ = -1;
    endResetModel();
}

void StatusListModel::clearRows() {
    if (rows_.isEmpty()) return;
    beginRemoveRows(QModelIndex(), 0, int(rows_.size()) - 1);
    rows_.clear();
    endRemoveRows();
}

void StatusListModel::replaceRows(const QList<ListRow>& rows) {
    if (rows == rows_) return;
    clearRows();
    if (rows.isEmpty()) return;
    beginInsertRows(QModelIndex(), 0, int(rows.size()) - 1);
    rows_ = rows;
    endInsertRows();
    if (sortColumn_ >= 0) sortRows();
}

void StatusListModel::applyRows(const QList<ListRow>& rows) {
    const bool keyed = std::all_of(rows.begin(), rows.end(), [](const ListRow& r) { return !r.key.isEmpty(); }) &&
                       std::all_of(rows_.begin(), rows_.end(), [](const ListRow& r) { return !r.key.isEmpty(); });
    if (!keyed) {
        replaceRows(rows);
        return;
    }
    QHash<QString, int> wanted;
    wanted.reserve(rows.size());
    for (int i = 0; i < rows.size(); ++i) wanted.insert(rows[i].key, i);

    QSet<QString> gone;
    for (const ListRow& r : rows_)
        if (!wanted.contains(r.key)) gone.insert(r.key);
    removeKeys(gone);
    // Rows that stay, changed where they differ.
    QSet<QString> present;
    present.reserve(rows_.size());
    for (int i = 0; i < rows_.size(); ++i) {
        const ListRow& now = rows[wanted.value(rows_[i].key)];
        present.insert(now.key);
        if (now == rows_[i]) continue;
        rows_[i] = now;
        emit dataChanged(index(i, 0), index(i, columnCount() - 1));
    }
    // New rows at the end, then the order put right.
    QList<ListRow> added;
    for (const ListRow& r : rows)
        if (!present.contains(r.key)) added.append(r);
    if (!added.isEmpty()) {
        beginInsertRows(QModelIndex(), int(rows_.size()), int(rows_.size() + added.size()) - 1);
        rows_.append(added);
        endInsertRows();
    }
    if (sortColumn_ >= 0) sortRows();
    else reorder(rows);
}

void StatusListModel::removeKeys(const QSet<QString>& keys) {
    if (keys.isEmpty()) return;
    // In blocks from the end, so the indexes before stay valid.
    for (int i = int(rows_.size()) - 1; i >= 0;) {
        if (!keys.contains(rows_[i].key)) {
            --i;
            continue;
        }
        int first = i;
        while (first > 0 && keys.contains(rows_[first - 1].key)) --first;
        beginRemoveRows(QModelIndex(), first, i);
        rows_.remove(first, i - first + 1);
        endRemoveRows();
        i = first - 1;
    }
}

void StatusListModel::patchRows(const QList<ListRow>& changed, const QStringList& removedKeys) {
    QSet<QString> gone(removedKeys.begin(), removedKeys.end());
    for (const ListRow& r : changed) gone.remove(r.key);
    removeKeys(gone);
    QHash<QString, int> at;
    at.reserve(rows_.size());
    for (int i = 0; i < rows_.size(); ++i) at.insert(rows_[i].key, i);
    bool touched = false;
    for (const ListRow& r : changed) {
        const auto it = at.constFind(r.key);
        if (it != at.constEnd()) {
            if (rows_[it.value()] == r) continue;
            rows_[it.value()] = r;
            emit dataChanged(index(it.value(), 0), index(it.value(), columnCount() - 1));
            touched = true;
            continue;
        }
        // Rows stand in the order of their keys' numbers until the user sorts them.
        const qint32 number = nodeNumber(r.key);
        int row = int(rows_.size());
        if (sortColumn_ < 0) {
            const auto pos = std::upper_bound(rows_.begin(), rows_.end(), number,
                                              [](qint32 n, const ListRow& other) { return n < nodeNumber(other.key); });
            row = int(pos - rows_.begin());
        }
        beginInsertRows(QModelIndex(), row, row);
        rows_.insert(row, r);
        endInsertRows();
        for (auto& i : at)
            if (i >= row) ++i;
        touched = true;
    }
    if (touched && sortColumn_ >= 0) sortRows();
}

void StatusListModel::reorder(const QList<ListRow>& wanted) {
    bool same = wanted.size() == rows_.size();
    for (qsizetype i = 0; same && i < rows_.size(); ++i) same = rows_[i].key == wanted[i].key;
    if (same) return;
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    QHash<QString, int> newRow;
    for (int i = 0; i < wanted.size(); ++i) newRow.insert(wanted[i].key, i);
    QModelIndexList after;
    for (const QModelIndex& i : before) after.append(index(newRow.value(rows_[i.row()].key), i.column()));
    rows_ = wanted;
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

void StatusListModel::sort(int column, Qt::SortOrder order) {
    sortColumn_ = column;
    sortOrder_ = order;
    sortRows();
}

void StatusListModel::sortRows() {
    if (sortColumn_ < 0 || rows_.size() < 2) return;
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    QList<int> order(rows_.size());
    std::iota(order.begin(), order.end(), 0);
    const int column = sortColumn_;
    const bool descending = sortOrder_ == Qt::DescendingOrder;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int c = compareCells(rows_[a].cells.value(column), rows_[b].cells.value(column), collator);
        return descending ? c > 0 : c < 0;
    });
    if (std::is_sorted(order.begin(), order.end())) return;
    QList<ListRow> sorted;
    sorted.reserve(rows_.size());
    for (int i : order) sorted.append(rows_[i]);
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QList<int> newRow(order.size());
    for (int i = 0; i < order.size(); ++i) newRow[order[i]] = i;
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const QModelIndex& i : before) after.append(index(newRow[i.row()], i.column()));
    rows_ = std::move(sorted);
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int StatusListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }

int StatusListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(titles_.size()); }

QVariant StatusListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_.size()) return QVariant();
    const ListRow& row = rows_[index.row()];
    const ListCell cell = row.cells.value(index.column());
    switch (role) {
        case Qt::DisplayRole: return cell.text;
        case Qt::DecorationRole: return index.column() == 0 ? statusIcon(row.icon) : QIcon();
        case Qt::ForegroundRole: return cell.link ? QVariant(QBrush(kLinkColour)) : QVariant();
        case Qt::ToolTipRole: return cell.toolTip.isEmpty() ? QVariant() : QVariant(cell.toolTip);
        case KeyRole: return row.key;
        case SortValueRole: return cell.sortValue.isValid() ? cell.sortValue : QVariant(cell.text);
        default: return QVariant();
    }
}

QVariant StatusListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
    return titles_.value(section);
}

}  // namespace tavrel
