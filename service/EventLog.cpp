#include "service/EventLog.h"

#include "common/Secrets.h"
#include "platform/Cp1252.h"
#include "platform/SysLog.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>

#include <cstdio>

namespace tavrelsvc {

namespace {

struct StreamState {
    std::unique_ptr<QFile> file;
    bool echo = false;
};

StreamState& state() {
    static StreamState s;
    return s;
}

QString typeText(short eventType) {
    switch (eventType) {
        case EventInfo: return QStringLiteral("Event");
        case EventWarning: return QStringLiteral("Warning");
        case EventError: return QStringLiteral("Error");
        default: return QString();
    }
}

QString quoted(const QString& field) {
    static const QString special = QStringLiteral(",\"\r\n");
    bool needs = false;
    for (QChar c : field) {
        if (special.contains(c)) { needs = true; break; }
    }
    if (!needs) return field;
    QString inner = field;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

}  // namespace

bool EventLogStream::open(const QString& path) {
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append)) return false;
    state().file = std::move(file);
    return true;
}

void EventLogStream::close() { state().file.reset(); }

bool EventLogStream::isOpen() { return state().file && state().file->isOpen(); }

void EventLogStream::setEcho(bool on) { state().echo = on; }

bool EventLogStream::writeLine(const QByteArray& line) {
    if (state().echo) std::fprintf(stderr, "%s\n", line.constData());
    if (!isOpen()) return false;
    QFile& f = *state().file;
    const QByteArray whole = line + "\r\n";
    if (f.write(whole) != whole.size()) return false;
    return f.flush();  // the client reads the file while the service runs
}

QString formatEventLine(short eventType, const QString& time, const QString& date, long taskNumber,
                        const QString& taskLabel, const QString& dataFile, const QString& message) {
    const QString number = taskNumber == 0 ? QStringLiteral(" ") : QString::number(taskNumber);
    return QStringList{typeText(eventType), quoted(time), quoted(date), number,
                       quoted(taskLabel), quoted(dataFile), quoted(message)}
        .join(QLatin1Char(','));
}

QStringList splitEventLine(const QString& line) {
    QStringList fields;
    QString current;
    bool inQuotes = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (inQuotes) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < line.size() && line[i + 1] == QLatin1Char('"')) {
                    current += c;
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                current += c;
            }
        } else if (c == QLatin1Char('"') && current.isEmpty()) {
            inQuotes = true;
        } else if (c == QLatin1Char(',')) {
            fields << current;
            current.clear();
        } else {
            current += c;
        }
    }
    fields << current;
    return fields;
}

void modGlobal_WriteEventLog(short eventType, long taskNumber, const QString& taskLabel,
                             const QString& dataFile, const QString& message) {
    // Time is read before the date, each by its own reading.
    const QLocale locale = QLocale::system();
    const QString time = QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
    const QString date = locale.toString(QDate::currentDate(), QLocale::ShortFormat);
    // Whatever a caller passes, no password reaches the file.
    const QString line = formatEventLine(eventType, time, date, taskNumber, common::maskSecrets(taskLabel),
                                         common::maskSecrets(dataFile), common::maskSecrets(message));
    if (EventLogStream::writeLine(platform::toCp1252(line))) return;
    const QString reason = EventLogStream::isOpen() ? QStringLiteral("Write to event log file failed")
                                                    : QStringLiteral("Event log file is not open");
    platform::writeSystemEvent(1, 109, QStringLiteral("(TVS1057) 52: ") + reason);
}

}  // namespace tavrelsvc
