#include "service/EventLog.h"

#include "common/Secrets.h"
#include "platform/Cp1252.h"
#include "platform/SysLog.h"

#include <QDateTime>
#include <QFile>

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

void modGlobal_WriteEventLog(short eventType, long taskNumber, const QString& taskLabel,
                             const QString& dataFile, const QString& message) {
    // Time is read before the date, each by its own reading.
    const QString time = common::eventTimeText(QTime::currentTime());
    const QString date = common::eventDateText(QDate::currentDate());
    // Whatever a caller passes, no password reaches the file.
    const QString line = formatEventLine(eventType, time, date, taskNumber, common::maskSecrets(taskLabel),
                                         common::maskSecrets(dataFile), common::maskSecrets(message));
    if (EventLogStream::writeLine(platform::toCp1252(line))) return;
    const QString reason = EventLogStream::isOpen() ? QStringLiteral("Write to event log file failed")
                                                    : QStringLiteral("Event log file is not open");
    platform::writeSystemEvent(1, 109, QStringLiteral("(TVS1057) 52: ") + reason);
}

}  // namespace tavrelsvc
