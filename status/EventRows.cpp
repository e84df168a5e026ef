#include "status/EventRows.h"

#include "common/EventLogLine.h"
#include "status/StatusNodes.h"

namespace tavrel {

namespace {

constexpr int kFields = 7;

QString iconOf(const QString& type) {
    if (type == common::eventTypeWord(common::EventInfo)) return imagekey::Event;
    if (type == common::eventTypeWord(common::EventWarning)) return imagekey::Warning;
    if (type == common::eventTypeWord(common::EventError)) return imagekey::Error;
    return QString();
}

}  // namespace

std::optional<EventRow> eventRowOf(const QString& line) {
    if (line.isEmpty()) return std::nullopt;
    QStringList fields = common::splitEventLine(line);
    if (fields.size() > kFields) {
        // A message written without quotes keeps its own commas.
        fields[kFields - 1] = fields.mid(kFields - 1).join(QLatin1Char(','));
        fields.resize(kFields);
    }
    return EventRow{iconOf(fields.value(0)), fields};
}

}  // namespace tavrel
