#pragma once
// The service's event log: "Sorvex_Tavrel_Event_Log.csv" in the program folder,
// one line of seven comma-separated fields per event.
#include <QString>

#include <memory>

class QFile;

namespace tavrelsvc {

enum EventType : short { EventInfo = 0, EventWarning = 1, EventError = 2 };

inline const QString kEventLogFileName = QStringLiteral("Sorvex_Tavrel_Event_Log.csv");

// The append stream that start-up opens once and keeps open until shut-down.
class EventLogStream {
public:
    static bool open(const QString& path);  // creates the file when missing
    static void close();
    static bool isOpen();
    static bool writeLine(const QByteArray& line);  // adds CR LF
    // Also echo every line on standard error (the foreground "-debug" mode).
    static void setEcho(bool on);
};

// One event line. Never throws; a write failure goes to the system event log
// as "(TVS1057) ..." with event id 109.
void modGlobal_WriteEventLog(short eventType, long taskNumber, const QString& taskLabel,
                             const QString& dataFile, const QString& message);

// The line as written, without its line end: type, time, date, task number
// (" " for 0), label, data file, message. A field holding a comma, a double quote
// or a line break is quoted with its quotes doubled, so the line always splits
// into exactly seven fields.
QString formatEventLine(short eventType, const QString& time, const QString& date, long taskNumber,
                        const QString& taskLabel, const QString& dataFile, const QString& message);

// Splits a line written by formatEventLine back into its fields.
QStringList splitEventLine(const QString& line);

}  // namespace tavrelsvc
