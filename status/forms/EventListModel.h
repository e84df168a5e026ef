#pragma once
// The model of the event list lvwEvent: one row per event-log line, appended
// to while the client runs and holding at most kMaxEventRows, the newest
// (the oldest rows leave as new ones come; the log file keeps them all).
#include "status/EventRows.h"

#include <QAbstractTableModel>
#include <QStringList>

namespace tavrel {

inline constexpr int kMaxEventRows = 10000;

class EventListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit EventListModel(QObject* parent = nullptr);

    void setColumns(const QStringList& titles);
    // The rows of these lines, at the end; empty lines add none. Answers the
    // number of rows added; the oldest rows beyond kMaxEventRows are dropped.
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
