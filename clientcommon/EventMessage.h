#pragma once
// The client's report box: every trapped error of the client ends here.
#include <QString>

namespace tavrel {

// The text shown: time and date, "Task:<n> <label>" when n > 0, the data file
// when given, then the message; lines joined by CR LF.
QString formatEventMessage(long taskNumber, const QString& taskLabel, const QString& dataFile,
                           const QString& message);

void modGlobal_ShowEventMessage(short severity, long taskNumber, const QString& taskLabel,
                                const QString& dataFile, const QString& message);

// Same call shape as the service's event logger; in the client it shows the box.
void modGlobal_WriteEventLog(short severity, long taskNumber, const QString& taskLabel,
                             const QString& dataFile, const QString& message);

}  // namespace tavrel
