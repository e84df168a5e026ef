#include "params/ServerData.h"

#include "clientcommon/ServerDocuments.h"
#include "platform/BoundedRead.h"
#include "platform/Cp1252.h"
#include "platform/Inet.h"

#include <QDir>

namespace tavrel {

namespace {

// The document is the server's reply as the client took it: never more.
constexpr qint64 kServerDataFileLimit = platform::kMaxReplyBytes;

QString trimBlanks(QStringView line) {
    qsizetype start = 0, end = line.size();
    while (start < end && line[start] == u' ') ++start;
    while (end > start && line[end - 1] == u' ') --end;
    return line.mid(start, end - start).toString();
}

// The record's quotes: the first character of the text and the last one
// before the closing line end.
QString unquoteRecord(const QString& text) {
    if (!text.startsWith(u'"')) return text;
    qsizetype end = text.size();
    while (end > 1 && (text[end - 1] == u'\n' || text[end - 1] == u'\r' || text[end - 1] == u' ')) --end;
    if (end > 1 && text[end - 1] == u'"') return text.mid(1, end - 2) + text.mid(end);
    return text.mid(1);
}

}  // namespace

QList<ServerDataSection> parseServerData(const QString& text) {
    QList<ServerDataSection> sections;
    bool taking = false;
    const QString body = unquoteRecord(text);
    for (QStringView raw : QStringView(body).split(u'\n')) {
        if (raw.endsWith(u'\r')) raw.chop(1);
        const QString line = trimBlanks(raw);
        if (line.startsWith(u'[')) {
            sections.append(ServerDataSection{line, {}});
            taking = true;
        } else if (line.isEmpty() || line == QLatin1String("\"")) {
            taking = false;
        } else if (taking) {
            sections.back().entries.append(line);
        }
    }
    return sections;
}

QString serverDataPath(const QString& programFolder) {
    return QDir(programFolder).filePath(kServerDataFileName);
}

ServerDataRead readServerData(const QString& path) {
    ServerDataRead result;
    QByteArray bytes;
    QString why;
    switch (platform::readBoundedFile(path, kServerDataFileLimit, bytes, &why, platform::Links::Follow)) {
        case platform::ReadOutcome::Missing:
            return result;
        case platform::ReadOutcome::Failed:
            result.found = true;
            result.error = QStringLiteral("Cannot read %1: %2").arg(QDir::toNativeSeparators(path), why);
            return result;
        case platform::ReadOutcome::Read:
            break;
    }
    result.found = true;
    result.sections = parseServerData(platform::fromCp1252(bytes));
    return result;
}

bool appendListEntries(QStringList& list, const QStringList& entries) {
    const qsizetype room = std::max<qsizetype>(0, kMaxListEntries - list.size());
    list.append(entries.mid(0, room));
    return entries.size() <= room;
}

QString listCutWarning(const QString& head) {
    return QStringLiteral("Warning: Sorvex Server returned more than %1 entries in %2; only the first %1 are offered")
        .arg(QString::number(kMaxListEntries), head);
}

}  // namespace tavrel
