#pragma once
// The model of the status list lvwStatus: rows keyed by "task_<uid>" or
// "result_<number>", changed in place when a view is shown again, so the
// selection, the scroll position and the sort order survive a refresh and an
// unchanged view changes nothing on the screen.
#include "status/StatusListRows.h"

#include <QAbstractTableModel>
#include <QSet>
#include <QStringList>

namespace tavrel {

class StatusListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Roles { KeyRole = Qt::UserRole + 1, SortValueRole };

    explicit StatusListModel(QObject* parent = nullptr);

    // A new column set: every row goes, the sort is off.
    void setColumns(const QStringList& titles);
    const QStringList& columns() const { return titles_; }

    // Rows with keys are matched by key: rows that went are removed, changed
    // ones updated, new ones added, and the order follows `rows` (or the sort
    // in force). Rows without keys (the result view) replace the list unless
    // they are equal to it.
    void applyRows(const QList<ListRow>& rows);
    // Only some rows: these are updated or added (a new one at the place of
    // its key's number unless a sort is in force), those keys removed.
    void patchRows(const QList<ListRow>& changed, const QStringList& removedKeys);
    void clearRows();

    const ListRow& rowAt(int row) const { return rows_[row]; }
    int sortColumn() const { return sortColumn_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Numbers and dates by value, texts ignoring letter case; rows that
    // compare equal keep their order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    void replaceRows(const QList<ListRow>& rows);
    void removeKeys(const QSet<QString>& keys);
    void reorder(const QList<ListRow>& wanted);  // same rows, the order of `wanted`
    void sortRows();

    QStringList titles_;
    QList<ListRow> rows_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

}  // namespace tavrel
