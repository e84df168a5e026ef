#pragma once
// One row of the event list per line of the event log.
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace tavrel {

inline constexpr int kEventFields = 7;  // type, time, date, task, task label, data file, log entry

class EventRow {
public:
    QString icon;  // "event", "warning", "error" or empty (banner lines, unknown types)

    int fieldCount() const { return count_; }
    QString field(int i) const { return fieldView(i).toString(); }  // empty beyond the last field
    QStringView fieldView(int i) const;
    QStringList fields() const;

private:
    friend std::optional<EventRow> eventRowOf(const QString& line);
    // A line without quotes is kept whole and cut on demand: a list of many
    // thousand rows then holds one text per row, not seven.
    QString line_;
    std::array<qsizetype, kEventFields + 1> cuts_{};  // start of field i; cuts_[count_] = end + 1
    QStringList quoted_;  // the fields of a line that quotes some of them
    int count_ = 0;
};

// The line cut at its first six commas (quoted fields as the log writes them);
// the log entry keeps any further commas. An empty line gives no row.
std::optional<EventRow> eventRowOf(const QString& line);

}  // namespace tavrel
