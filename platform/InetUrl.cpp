// Splitting a URL into the pieces a connection and a request need.
#include "platform/Inet.h"

#include <algorithm>

namespace platform {

using namespace inet;

namespace {
bool fail(quint32 code) {
    SetLastError(code);
    return false;
}
}  // namespace

bool InternetCrackUrl(const QString& url, quint32, URL_COMPONENTS& parts) {
    parts = {};
    const qsizetype schemeEnd = url.indexOf(QStringLiteral("://"));
    if (schemeEnd <= 0) return fail(inet_err::UnrecognizedScheme);
    parts.scheme = url.left(schemeEnd);
    const QString scheme = parts.scheme.toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return fail(inet_err::UnrecognizedScheme);
    const qsizetype start = schemeEnd + 3;
    qsizetype end = url.size();
    for (const QChar stop : {QLatin1Char('/'), QLatin1Char('?'), QLatin1Char('#')}) {
        const qsizetype at = url.indexOf(stop, start);
        if (at >= 0) end = std::min(end, at);
    }
    QString authority = url.mid(start, end - start);
    const qsizetype at = authority.lastIndexOf(QLatin1Char('@'));
    if (at >= 0) {
        const QString userInfo = authority.left(at);
        authority = authority.mid(at + 1);
        const qsizetype colon = userInfo.indexOf(QLatin1Char(':'));
        parts.userName = colon < 0 ? userInfo : userInfo.left(colon);
        parts.password = colon < 0 ? QString() : userInfo.mid(colon + 1);
    }
    QString portText;
    if (authority.startsWith(QLatin1Char('['))) {
        const qsizetype close = authority.indexOf(QLatin1Char(']'));
        if (close < 0) return fail(inet_err::InvalidUrl);
        parts.hostName = authority.mid(1, close - 1);
        const QString rest = authority.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(QLatin1Char(':'))) return fail(inet_err::InvalidUrl);
        portText = rest.mid(1);
        if (rest.isEmpty()) portText.clear();
        else if (portText.isEmpty()) return fail(inet_err::InvalidUrl);
    } else {
        const qsizetype colon = authority.lastIndexOf(QLatin1Char(':'));
        parts.hostName = colon < 0 ? authority : authority.left(colon);
        if (colon >= 0) {
            portText = authority.mid(colon + 1);
            if (portText.isEmpty()) return fail(inet_err::InvalidUrl);
        }
    }
    if (parts.hostName.isEmpty() || parts.hostName.contains(QLatin1Char(' '))) return fail(inet_err::InvalidUrl);
    if (portText.isEmpty()) {
        parts.port = scheme == QLatin1String("https") ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT;
    } else {
        bool ok = false;
        const uint port = portText.toUInt(&ok);
        if (!ok || port == 0 || port > 65535) return fail(inet_err::InvalidUrl);
        parts.port = static_cast<quint16>(port);
    }
    const QString rest = url.mid(end);
    qsizetype extra = rest.indexOf(QLatin1Char('?'));
    const qsizetype hash = rest.indexOf(QLatin1Char('#'));
    if (extra < 0 || (hash >= 0 && hash < extra)) extra = hash;
    parts.urlPath = extra < 0 ? rest : rest.left(extra);
    parts.extraInfo = extra < 0 ? QString() : rest.mid(extra);
    if (parts.scheme.size() > 255 || parts.hostName.size() > 255 || parts.userName.size() > 255 ||
        parts.password.size() > 255 || parts.urlPath.size() > 1024 || parts.extraInfo.size() > 1024)
        return fail(inet_err::InsufficientBuffer);
    SetLastError(0);
    return true;
}

}  // namespace platform
