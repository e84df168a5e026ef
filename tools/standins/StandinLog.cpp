#include "tools/standins/StandinLog.h"

#include <QFile>

#include <mutex>

namespace standins {

namespace {

constexpr char kSeparator = '\x1f';

std::mutex& logMutex() {
    static std::mutex m;
    return m;
}

QList<QStringList>& memory() {
    static QList<QStringList> calls;
    return calls;
}

}  // namespace

void record(const QString& call, const QStringList& arguments) {
    const QStringList fields = QStringList{call} + arguments;
    std::lock_guard lock(logMutex());
    memory().append(fields);
    const QString path = qEnvironmentVariable(kLogVariable);
    if (path.isEmpty()) return;
    QFile file(path);
    if (!file.open(QIODevice::Append)) return;
    file.write(fields.join(QLatin1Char(kSeparator)).toUtf8() + '\n');
}

QList<QStringList> recordedCalls() {
    std::lock_guard lock(logMutex());
    return memory();
}

QStringList recordedCallTexts(const QString& prefix) {
    QStringList out;
    for (const QStringList& call : recordedCalls())
        if (call.first().startsWith(prefix)) out << call.join(QLatin1Char(' ')).mid(prefix.size());
    return out;
}

void clearRecordedCalls() {
    std::lock_guard lock(logMutex());
    memory().clear();
}

QList<QStringList> readLog(const QString& path) {
    QFile file(path);
    QList<QStringList> calls;
    if (!file.open(QIODevice::ReadOnly)) return calls;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (!line.isEmpty()) calls << QString::fromUtf8(line).split(QLatin1Char(kSeparator));
    return calls;
}

std::optional<QStringList> readFixture(const QString& path, const QString& header) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.isEmpty() || lines.first().trimmed() != header) return std::nullopt;
    lines.removeFirst();
    return lines;
}

}  // namespace standins
