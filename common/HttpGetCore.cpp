#include "common/HttpGetCore.h"

#include "common/ProgramVersion.h"
#include "common/StringBuilder.h"
#include "platform/Error.h"

#include <QUrl>

namespace common {

using namespace platform;
using namespace platform::inet;

namespace {

constexpr quint32 kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                  INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_NO_UI |
                                  INTERNET_FLAG_PRAGMA_NOCACHE;
// The certificate flags are kept for the record; the Internet layer verifies
// names and dates all the same.
constexpr quint32 kSecureFlags =
    INTERNET_FLAG_SECURE | INTERNET_FLAG_IGNORE_CERT_CN_INVALID | INTERNET_FLAG_IGNORE_CERT_DATE_INVALID;
constexpr quint32 kChunk = 2048;

struct Failure {
    QString message;
};

// Reads a request's body to its end; false with the error code when a read fails.
bool readBody(const HInternet& request, clsStringBuilder* into, quint32& error) {
    char buffer[kChunk];
    quint32 n = 0;
    for (;;) {
        if (!InternetReadFile(request, buffer, kChunk, n)) {
            error = GetLastError();
            return false;
        }
        if (n == 0) return true;
        if (into) into->add(QByteArray(buffer, static_cast<qsizetype>(n)));
    }
}

long statusOf(const HInternet& request) {
    QString text;
    HttpQueryInfo(request, HTTP_QUERY_STATUS_CODE, text, 1024);
    const quint32 error = GetLastError();
    if (error != 0) throw Failure{QStringLiteral("Error from WinInet: ") + QString::number(error)};
    bool ok = false;
    const long status = text.toLong(&ok);
    if (!ok || status < 0 || status > 32767) throw Error(errnum::Overflow, QStringLiteral("Overflow"));
    return status;
}

// Where a request went, for a message: the server of `url` and the object
// asked for, without any user name or password.
QString requestAddress(const QString& url, const QString& object) {
    QUrl address = QUrl(url).resolved(QUrl(object));
    address.setUserInfo(QString());
    return address.toString();
}

// The same for the probe that goes first: it names the document it was for
// too (without its query, which may hold a session).
QString probeAddress(const QString& url, const QString& probe) {
    return requestAddress(url, probe) + QStringLiteral(", asked before ") +
           QUrl(url).toString(QUrl::RemoveUserInfo | QUrl::RemoveQuery | QUrl::RemoveFragment);
}

}  // namespace

HttpGetSettings httpGetSettings(const QString& proxyUser, const QString& proxyPassword, const QString& webUser,
                                const QString& webPassword, qint32 accessType, const QString& proxy,
                                qint32 protocol) {
    HttpGetSettings settings;
    settings.proxyUser = proxyUser;
    settings.proxyPassword = proxyPassword;
    settings.webUser = webUser;
    settings.webPassword = webPassword;
    settings.accessType = accessType;
    settings.proxy = proxy;
    settings.protocol = protocol;
    return settings;
}

QString httpVersionText(qint32 protocol) { return QStringLiteral("HTTP/1.") + QString::number(protocol); }

QString probeObject(const QString& object) {
    qsizetype pathEnd = object.indexOf(QLatin1Char('?'));
    if (pathEnd < 0) pathEnd = object.size();
    const qsizetype slash = object.lastIndexOf(QLatin1Char('/'), pathEnd - 1);
    return (slash < 0 ? QString() : object.left(slash + 1)) + QStringLiteral("client.pl?version");
}

HttpGetOutcome httpGetDocument(HInternet& session, HttpGetSettings& s, const QString& url, QByteArray& document) {
    HttpGetOutcome out;
    const QString version = httpVersionText(s.protocol);
    HInternet connection;
    HInternet request;
    try {
        if (!session) {
            const bool named = s.accessType == 2;
            session = InternetOpen(userAgent(), named ? INTERNET_OPEN_TYPE_PROXY : static_cast<quint32>(s.accessType),
                                   named ? s.proxy : QString(), QString(), 0);
            if (!session) {
                out.openFailed = true;
                throw Failure{QStringLiteral("InternetOpen failed: ") + winInetErrorText(GetLastError())};
            }
            InternetSetOption(session, INTERNET_OPTION_CONNECT_TIMEOUT, s.connectTimeoutMs);
            InternetSetOption(session, INTERNET_OPTION_SEND_TIMEOUT, s.sendTimeoutMs);
            InternetSetOption(session, INTERNET_OPTION_RECEIVE_TIMEOUT, s.receiveTimeoutMs);
        }

        URL_COMPONENTS parts;
        if (!InternetCrackUrl(url, 0, parts))
            throw Failure{QStringLiteral("Unable to parse Sorvex Server URL (") + url + QStringLiteral("): ") +
                          winInetErrorText(GetLastError())};
        if (s.urlCredentials == UrlCredentials::Refuse) {
            if (!parts.userName.isEmpty() || !parts.password.isEmpty())
                throw Failure{QStringLiteral("User name and password for authentication must be entered into the "
                                             "Authentication tab, not embedded in the Sorvex Server URL")};
        } else {
            if (!parts.userName.isEmpty()) {
                if (!s.webUser.isEmpty())
                    throw Failure{QStringLiteral("Registry contains conflicting passwords for web server authentication")};
                s.webUser = parts.userName;
            }
            if (!parts.password.isEmpty()) {
                if (!s.webPassword.isEmpty())
                    throw Failure{QStringLiteral("Registry contains conflicting passwords for proxy server authentication")};
                s.webPassword = parts.password;
            }
        }

        connection = InternetConnect(session, parts.hostName, parts.port, {}, {}, INTERNET_SERVICE_HTTP, 0, 0);
        if (!connection)
            throw Failure{QStringLiteral("Unable to connect to Sorvex Server (") + parts.hostName + QStringLiteral("): ") +
                          winInetErrorText(GetLastError())};
        const quint32 flags =
            parts.scheme.toLower() == QLatin1String("https") ? kRequestFlags | kSecureFlags : kRequestFlags;
        const QString object = parts.urlPath + parts.extraInfo;

        auto open = [&](const QString& what) {
            request = HttpOpenRequest(connection, QStringLiteral("GET"), what, version, {}, flags, 0);
            if (!request)
                throw Failure{QStringLiteral("Unable to open ") + url + QStringLiteral(" : ") +
                              winInetErrorText(GetLastError())};
            if (!HttpSendRequest(request)) {
                out.sendError = GetLastError();
                throw Failure{QStringLiteral("Error on HttpSendRequest: ") + winInetErrorText(out.sendError) +
                              QStringLiteral(" (") + (what == object ? requestAddress(url, what) : probeAddress(url, what)) +
                              QLatin1Char(')')};
            }
        };

        for (qint16 attempts = 0;;) {
            open(probeObject(object));
            const long status = statusOf(request);
            if (status < 300) break;
            ++attempts;
            InternetCloseHandle(request);
            const QString code = QString::number(status);
            if (status == 305)
                throw Failure{QStringLiteral("Must use proxy to access Sorvex Server (HTTP error status code ") + code +
                              QLatin1Char(')')};
            if (status == 401 || status == 407) {
                const bool web = status == 401;
                if (attempts >= 3)
                    throw Failure{(web ? QStringLiteral("Sorvex Server authentication failed (HTTP error status code ")
                                       : QStringLiteral("Proxy server authentication failed (HTTP error status code ")) +
                                  code + QLatin1Char(')')};
                const QString& user = web ? s.webUser : s.proxyUser;
                const QString& password = web ? s.webPassword : s.proxyPassword;
                if (!user.isEmpty())
                    InternetSetOption(connection, web ? INTERNET_OPTION_USERNAME : INTERNET_OPTION_PROXY_USERNAME, user);
                if (!password.isEmpty())
                    InternetSetOption(connection, web ? INTERNET_OPTION_PASSWORD : INTERNET_OPTION_PROXY_PASSWORD,
                                      password);
                continue;
            }
            throw Failure{QStringLiteral("Sorvex Server returned HTTP error status code ") + code};
        }
        quint32 readError = 0;
        readBody(request, nullptr, readError);  // the probe's body is not wanted; a read error here is harmless
        InternetCloseHandle(request);

        open(object);
        // An error page is not the document, whatever its body says.
        const long status = statusOf(request);
        if (status >= 400)
            throw Failure{QStringLiteral("Sorvex Server returned HTTP error status code ") + QString::number(status) +
                          QStringLiteral(" for ") + url};
        clsStringBuilder builder;
        readError = 0;
        readBody(request, &builder, readError);
        document = builder.GetContent();
        out.documentRead = true;
        InternetCloseHandle(request);
        InternetCloseHandle(connection);
        if (readError != 0)
            throw Failure{QStringLiteral("InternetReadFile error (") + url + QStringLiteral("): ") +
                          winInetErrorText(readError)};
        if (document.isEmpty()) throw Failure{QStringLiteral("Empty document returned by ") + url};
        out.ok = true;
    } catch (const Failure& f) {
        out.message = f.message;
    } catch (const Error& e) {
        out.message = QStringLiteral("Unexpected problem trying to open ") + url + QStringLiteral(": ") +
                      (s.unexpectedCode.isEmpty() ? e.description() : e.report(s.unexpectedCode));
    } catch (const std::exception& e) {
        const Error wrapped(errnum::InvalidProcedureCall, QString::fromLocal8Bit(e.what()));
        out.message = QStringLiteral("Unexpected problem trying to open ") + url + QStringLiteral(": ") +
                      (s.unexpectedCode.isEmpty() ? wrapped.description() : wrapped.report(s.unexpectedCode));
    }
    // request and connection close here when a failure left them open; the session stays.
    return out;
}

void setWinInetOptions(qint32 protocol) {
    const HInternet none;
    InternetSetOption(none, INTERNET_OPTION_END_BROWSER_SESSION);
    InternetSetOption(none, INTERNET_OPTION_MAX_CONNS_PER_1_0_SERVER, 128u);
    InternetSetOption(none, INTERNET_OPTION_MAX_CONNS_PER_SERVER, 128u);
    InternetSetOption(none, INTERNET_OPTION_HTTP_VERSION, static_cast<quint32>(protocol));
}

QString lastResponseInfoText() {
    quint32 error = 0;
    QString text;
    InternetGetLastResponseInfo(error, text);
    return text;
}

QString winInetErrorText(quint32 code) {
    if (code == inet_err::ExtendedError) return lastResponseInfoText();
    QString text = FormatMessageFromWinInet(code);
    if (text.isEmpty()) text = FormatMessageFromSystem(code);
    if (text.isEmpty()) return QStringLiteral("Error number ") + QString::number(code);
    return text.left(text.size() - 2);
}

}  // namespace common
