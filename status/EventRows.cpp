#include "status/EventRows.h"

#include "common/EventLogLine.h"
#include "status/StatusNodes.h"

namespace tavrel {

namespace {

QString iconOf(QStringView type) {
    if (type == common::eventTypeWord(common::EventInfo)) return imagekey::Event;
    if (type == common::eventTypeWord(common::EventWarning)) return imagekey::Warning;
    if (type == common::eventTypeWord(common::EventError)) return imagekey::Error;
    return QString();
}

}  // namespace

QStringView EventRow::fieldView(int i) const {
    if (i < 0 || i >= count_) return {};
    if (!quoted_.isEmpty()) return quoted_[i];
    return QStringView(line_).mid(cuts_[i], cuts_[i + 1] - 1 - cuts_[i]);
}

QStringList EventRow::fields() const {
    QStringList all;
    for (int i = 0; i < count_; ++i) all << field(i);
    return all;
}

std::optional<EventRow> eventRowOf(const QString& line) {
    if (line.isEmpty()) return std::nullopt;
    EventRow row;
    if (line.contains(QLatin1Char('"'))) {
        QStringList fields = common::splitEventLine(line);
        if (fields.size() > kEventFields) {
            // A message written without quotes keeps its own commas.
            fields[kEventFields - 1] = fields.mid(kEventFields - 1).join(QLatin1Char(','));
            fields.resize(kEventFields);
        }
        row.count_ = int(fields.size());
        row.quoted_ = std::move(fields);
    } else {
        row.line_ = line;
        row.cuts_[0] = 0;
        qsizetype from = 0;
        int n = 1;
        for (; n < kEventFields; ++n) {
            const qsizetype comma = line.indexOf(QLatin1Char(','), from);
            if (comma < 0) break;
            row.cuts_[n] = comma + 1;
            from = comma + 1;
        }
        row.count_ = n;
        row.cuts_[n] = line.size() + 1;
    }
    row.icon = iconOf(row.fieldView(0));
    return row;
}

}  // namespace tavrel
