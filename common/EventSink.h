#pragma once
// Where the helpers shared by both programs report their errors: the client's
// report box or the service's event log, whichever program installed itself.
#include <QString>

namespace common {

using EventSink = void (*)(short eventType, long taskNumber, const QString& taskLabel,
                           const QString& dataFile, const QString& message);

// Installed once by each program's start-up; returns the previous sink.
// Without one, reports go to standard error.
EventSink setEventSink(EventSink sink);

void reportEvent(short eventType, long taskNumber, const QString& taskLabel, const QString& dataFile,
                 const QString& message);

// The shared helpers' usual report: an Error with no task, label and file " ".
inline void reportError(const QString& message) { reportEvent(2, 0, QStringLiteral(" "), QStringLiteral(" "), message); }

}  // namespace common
