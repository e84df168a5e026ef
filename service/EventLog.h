#pragma once
// The service's event log: "Sorvex_Tavrel_Event_Log.csv" in the program folder,
// one line of seven comma-separated fields per event, in UTF-8.
#include "common/EventLogLine.h"

#include <QString>

namespace tavrelsvc {

// The line format is shared with the client's event list.
using common::EventError;
using common::EventInfo;
using common::EventType;
using common::EventWarning;
using common::formatEventLine;
using common::kEventLogFileName;
using common::splitEventLine;

// The append stream that start-up opens once and keeps open until shut-down.
// Each line goes to the file in one write at its end, so lines of the
// service and of anything else appending never interleave. A file that was
// moved away or removed (log rotation) is noticed at the next line, which
// goes into a new file of the same name; a file cut back (copied and
// truncated) is written on at its new end.
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

}  // namespace tavrelsvc
