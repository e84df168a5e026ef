#pragma once
// The model of the event list lvwEvent: one row per event-log line, only ever
// appended to while the client runs.
#include "status/EventRows.h"

#include <QAbstractTableModel>
#include <QStringList>

namespace tavrel {

class EventListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit EventListModel(QObject* parent = nullptr);

    void setColumns(const QStringList& titles);
    // The rows of these lines, at the end; empty lines add none. Answers the
    // number of rows added.
    int appendLines(const QStringList& lines);
    const EventRow& rowAt(int row) const { return rows_[row]; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QStringList titles_;
    QList<EventRow> rows_;
};

}  // namespace tavrel
