#include "common/ServerReplies.h"

#include "common/UrlEncode.h"

#include <cmath>
#include <limits>

namespace common {

QStringList splitReplyLines(const QString& reply) {
    return reply.split(reply.contains(QStringLiteral("\r\n")) ? QStringLiteral("\r\n") : QStringLiteral("\n"));
}

std::optional<std::pair<QString, QString>> splitKeyLine(const QString& line) {
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0) return std::nullopt;
    return std::make_pair(line.left(eq), line.mid(eq + 1));
}

double leadingNumber(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t'))) ++i;
    const qsizetype start = i;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) ++i;
    qsizetype digits = 0;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) ++i, ++digits;
    if (i < n && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && text[i].isDigit() && text[i].unicode() < 128) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-'))) ++j;
        if (j < n && text[j].isDigit()) {
            while (j < n && text[j].isDigit()) ++j;
            i = j;
        }
    }
    bool ok = false;
    const double value = text.mid(start, i - start).toDouble(&ok);
    return ok ? value : 0;
}

std::optional<qint32> roundToInt32(double value) {
    const double rounded = std::nearbyint(value);  // the default rounding mode: halves to even
    if (!std::isfinite(rounded) || rounded < std::numeric_limits<qint32>::min() ||
        rounded > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(rounded);
}

std::optional<LoginReply> parseLoginReply(const QString& reply) {
    if (!reply.contains(QStringLiteral("error=")) || !reply.contains(QStringLiteral("errorstring=")) ||
        !reply.contains(QStringLiteral("sessionID=")))
        return std::nullopt;
    LoginReply parsed;
    for (const QString& line : splitReplyLines(reply)) {
        const auto kv = splitKeyLine(line);
        if (!kv) continue;
        if (kv->first == QLatin1String("error")) {
            const double value = std::nearbyint(leadingNumber(kv->second));
            parsed.error = std::isfinite(value) && std::abs(value) < 9e18 ? static_cast<qint64>(value) : -1;
        } else if (kv->first == QLatin1String("errorstring")) {
            parsed.errorString = kv->second;
        } else if (kv->first == QLatin1String("sessionID")) {
            parsed.sessionID = kv->second;
        }
    }
    return parsed;
}

bool permissionGranted(const QString& reply, const QString& sessionID) {
    return reply.contains(QStringLiteral("error=")) && reply.contains(QStringLiteral("errorstring=")) &&
           reply.contains(QStringLiteral("sessionID=")) && reply.contains(sessionID);
}

QString loginRequest(const QString& action, const QString& user, const QString& password) {
    const QString prefix = QStringLiteral("login.pl?display=nothing&onerrdisplay=nothing&action=");
    if (action == QLatin1String("login"))
        return prefix + QStringLiteral("login&username=") + modGlobal_UrlEncode(user) + QStringLiteral("&password=") +
               modGlobal_UrlEncode(password);
    if (action == QLatin1String("issecuritydisabled") || action == QLatin1String("webauthentication") ||
        action == QLatin1String("guestlogin"))
        return prefix + action;
    return {};
}

QString permissionRequest(const QString& sessionID, int securityTask) {
    return QStringLiteral("login.pl?display=nothing&onerrdisplay=nothing&action=ispermitted&sessionID=") + sessionID +
           QStringLiteral("&sectask=") + QString::number(securityTask);
}

QString withSessionID(const QString& path, const QString& previous, const QString& current) {
    const QString key = QStringLiteral("sessionID=");
    const qsizetype at = path.indexOf(key);
    if (at < 0) return path;
    const qsizetype start = at + key.size();
    qsizetype end = path.indexOf(QLatin1Char('&'), start);
    if (end < 0) end = path.size();
    if (path.mid(start, end - start) != previous) return path;
    return path.left(start) + current + path.mid(end);
}

QList<ServerUser> parseUserList(const QString& reply) {
    static const QString separator = QStringLiteral("\",\"");
    QList<ServerUser> users;
    for (const QString& line : splitReplyLines(reply)) {
        if (!line.contains(separator)) continue;
        const QStringList fields = line.mid(1, line.size() - 2).split(separator);
        if (fields.size() < 5) continue;
        const auto id = roundToInt32(leadingNumber(fields[1]));
        const auto number = roundToInt32(leadingNumber(fields[2]));
        if (!id || !number) continue;
        users.append({fields[0], *id, *number, fields[3], fields[4]});
    }
    return users;
}

}  // namespace common
