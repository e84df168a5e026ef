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

// The end of the authority that starts at `start` (after "://"): the first
// "/", "?" or "#". The same in a longer text, so that masking never stops
// short of what the splitter would take as the password.
qsizetype authorityEnd(const QString& text, qsizetype start) {
    qsizetype end = start;
    while (end < text.size()) {
        const QChar c = text[end];
        if (c == QLatin1Char('/') || c == QLatin1Char('?') || c == QLatin1Char('#')) break;
        ++end;
    }
    return end;
}

// The user information ends at the last "@" of the authority (a user name
// may hold "@" itself), and its password starts after its first ":".
struct UserInfo {
    qsizetype at = -1;     // the "@" that ends it; -1 when there is none
    qsizetype colon = -1;  // the ":" before the password; -1 when there is none
};

UserInfo userInfoOf(const QString& text, qsizetype start, qsizetype end) {
    UserInfo info;
    info.at = text.lastIndexOf(QLatin1Char('@'), end - 1);
    if (info.at < start) return UserInfo{};
    info.colon = text.indexOf(QLatin1Char(':'), start);
    if (info.colon >= info.at) info.colon = -1;
    return info;
}
}  // namespace

QString maskUrlPasswords(const QString& text) {
    QString out = text;
    for (qsizetype from = 0;;) {
        const qsizetype scheme = out.indexOf(QStringLiteral("://"), from);
        if (scheme < 0) break;
        const qsizetype start = scheme + 3;
        const qsizetype end = authorityEnd(out, start);
        const UserInfo info = userInfoOf(out, start, end);
        from = end;
        if (info.colon < 0 || info.at == info.colon + 1) continue;
        out.replace(info.colon + 1, info.at - info.colon - 1, QStringLiteral("***"));
        from = info.colon + 1 + 3;
    }
    return out;
}

bool InternetCrackUrl(const QString& url, quint32, URL_COMPONENTS& parts) {
    parts = {};
    const qsizetype schemeEnd = url.indexOf(QStringLiteral("://"));
    if (schemeEnd <= 0) return fail(inet_err::UnrecognizedScheme);
    parts.scheme = url.left(schemeEnd);
    const QString scheme = parts.scheme.toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return fail(inet_err::UnrecognizedScheme);
    const qsizetype start = schemeEnd + 3;
    const qsizetype end = authorityEnd(url, start);
    QString authority = url.mid(start, end - start);
    const UserInfo info = userInfoOf(url, start, end);
    if (info.at >= 0) {
        authority = url.mid(info.at + 1, end - info.at - 1);
        parts.userName = url.mid(start, (info.colon < 0 ? info.at : info.colon) - start);
        parts.password = info.colon < 0 ? QString() : url.mid(info.colon + 1, info.at - info.colon - 1);
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
