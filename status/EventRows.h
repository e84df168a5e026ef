#pragma once
// One row of the event list per line of the event log.
#include <QString>
#include <QStringList>

#include <optional>

namespace tavrel {

struct EventRow {
    QString icon;        // "event", "warning", "error" or empty (banner lines, unknown types)
    QStringList fields;  // at most seven: type, time, date, task, task label, data file, log entry
};

// The line cut at its first six commas (quoted fields as the log writes them);
// the log entry keeps any further commas. An empty line gives no row.
std::optional<EventRow> eventRowOf(const QString& line);

}  // namespace tavrel
