#pragma once
// The lines of the event log "Sorvex_Tavrel_Event_Log.csv": the service writes
// them, the client's event list reads them back. One line per event, seven
// comma-separated fields: type word, time, date, task number (" " for none),
// task label, data file, message.
#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>

namespace common {

enum EventType : short { EventInfo = 0, EventWarning = 1, EventError = 2 };

inline const QString kEventLogFileName = QStringLiteral("Sorvex_Tavrel_Event_Log.csv");

// "Event", "Warning", "Error"; empty for any other number.
QString eventTypeWord(short eventType);

// The time and date fields as the service writes them (the date in the
// system's short format, as the user reads dates elsewhere).
QString eventTimeText(const QTime& time);
QString eventDateText(const QDate& date);

// The line without its line end. A field holding a comma, a double quote or a
// line break is quoted with its quotes doubled, so the line always splits
// into exactly seven fields.
QString formatEventLine(short eventType, const QString& time, const QString& date, long taskNumber,
                        const QString& taskLabel, const QString& dataFile, const QString& message);

// The fields of a line written by formatEventLine.
QStringList splitEventLine(const QString& line);

// The bytes of a line in the file: UTF-8, so a file name in any script
// survives. A line that is not UTF-8 was written by an older service in the
// 8-bit code page and is read as such.
QByteArray encodeEventLine(const QString& line);
QString decodeEventLine(QByteArrayView bytes);

}  // namespace common
