#include "common/EventLogLine.h"

#include "platform/Cp1252.h"

#include <QLocale>
#include <QStringDecoder>

namespace common {

namespace {

QString quoted(const QString& field) {
    static const QString special = QStringLiteral(",\"\r\n");
    bool needs = false;
    for (QChar c : field) {
        if (special.contains(c)) {
            needs = true;
            break;
        }
    }
    if (!needs) return field;
    QString inner = field;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

}  // namespace

QString eventTypeWord(short eventType) {
    switch (eventType) {
        case EventInfo: return QStringLiteral("Event");
        case EventWarning: return QStringLiteral("Warning");
        case EventError: return QStringLiteral("Error");
        default: return QString();
    }
}

QString eventTimeText(const QTime& time) { return time.toString(QStringLiteral("HH:mm:ss")); }

QString eventDateText(const QDate& date) { return QLocale::system().toString(date, QLocale::ShortFormat); }

QString formatEventLine(short eventType, const QString& time, const QString& date, long taskNumber,
                        const QString& taskLabel, const QString& dataFile, const QString& message) {
    const QString number = taskNumber == 0 ? QStringLiteral(" ") : QString::number(taskNumber);
    return QStringList{eventTypeWord(eventType), quoted(time), quoted(date), number,
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

QByteArray encodeEventLine(const QString& line) { return line.toUtf8(); }

QString decodeEventLine(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError()) return text;
    return platform::fromCp1252(bytes);
}

}  // namespace common
