#include "service/HttpGet.h"

#include "common/HttpGetCore.h"
#include "common/Secrets.h"
#include "platform/Cp1252.h"
#include "service/EventLog.h"
#include "service/OutageLog.h"
#include "service/Preferences.h"

#include <map>

namespace tavrelsvc {

namespace {

// A server out of reach is one outage, however many jobs and ticks ask it.
struct ServerOutages {
    OutageLog::Clock clock = OutageLog::steadyClock();
    std::map<QString, OutageLog> byServer;
    QString lastFailure;
};

ServerOutages& outages() {
    static ServerOutages value;
    return value;
}

void log(short type, const QString& message) {
    modGlobal_WriteEventLog(type, 0, QStringLiteral(" "), QStringLiteral(" "), common::maskSecrets(message));
}

// No answer at all: the server (or the way to it) is down, not one request wrong.
bool unreachable(quint32 code) {
    using namespace platform::inet_err;
    return code == Timeout || code == NameNotResolved || code == CannotConnect || code == ConnectionAborted ||
           code == ConnectionReset || code == InvalidServerResponse;
}

// "scheme://host:port/": the outage is the server's, not one program's.
QString serverOf(const QString& url) {
    platform::URL_COMPONENTS parts;
    if (!platform::InternetCrackUrl(url, 0, parts)) return url;
    return QStringLiteral("%1://%2:%3/").arg(parts.scheme.toLower(), parts.hostName).arg(parts.port);
}

// The engine's words, then the address they are about when they do not say it.
QString withUrl(const QString& message, const QString& url) {
    return message.contains(url) ? message : message + QStringLiteral(" (") + url + QLatin1Char(')');
}

void noteOutcome(const QString& url, const common::HttpGetOutcome& outcome, bool quiet) {
    ServerOutages& all = outages();
    const QString server = serverOf(url);
    const bool answered = outcome.ok || (outcome.sendError == 0 && !outcome.openFailed);
    if (answered) {
        const auto it = all.byServer.find(server);
        if (it != all.byServer.end() && it->second.ended())
            log(EventInfo, QStringLiteral("The Sorvex server at %1 answers again (out of reach for %2 minutes)")
                               .arg(server)
                               .arg(it->second.minutesLost()));
    }
    if (outcome.ok) return;
    const QString failure = withUrl(outcome.message, url);
    all.lastFailure = failure;
    // A stop cut the request short: that is said where the stop is.
    if (quiet || outcome.sendError == platform::inet_err::OperationCancelled) return;
    if (!unreachable(outcome.sendError)) {
        log(EventError, failure);
        return;
    }
    OutageLog& outage = all.byServer.try_emplace(server, all.clock).first->second;
    switch (outage.failed()) {
    case OutageLog::Say::Start:
        log(EventError, failure + QStringLiteral("; the Sorvex server at %1 is out of reach: until it answers again "
                                                 "this is said at most every %2 minutes")
                                      .arg(server)
                                      .arg(OutageLog::kReminderMs / 60000));
        break;
    case OutageLog::Say::Reminder:
        log(EventError, QStringLiteral("The Sorvex server at %1 is still out of reach after %2 minutes: ")
                            .arg(server)
                            .arg(outage.minutesLost()) +
                            failure);
        break;
    case OutageLog::Say::Nothing:
        break;
    }
}

}  // namespace

void modGlobal_SetWinInetOptions(qint32 protocol) { common::setWinInetOptions(protocol); }

bool modGlobal_HttpGetDocument(platform::HInternet& session, const QString& proxyUser, const QString& proxyPassword,
                               QString& webUser, QString& webPassword, qint32 accessType, const QString& proxy,
                               qint32 protocol, const QString& url, bool quiet, QByteArray& document) {
    HttpVersionText = common::httpVersionText(protocol);
    common::HttpGetSettings settings = common::httpGetSettings(proxyUser, proxyPassword, webUser, webPassword,
                                                               accessType, proxy, protocol);
    settings.urlCredentials = common::UrlCredentials::Adopt;
    settings.connectTimeoutMs = 60000;
    settings.sendTimeoutMs = 60000;
    settings.receiveTimeoutMs = static_cast<quint32>(TimeOut > 0 ? TimeOut : 3600) * 1000u;
    settings.unexpectedCode = QStringLiteral("(TVS1071) ");

    QByteArray body;
    const common::HttpGetOutcome outcome = common::httpGetDocument(session, settings, url, body);
    webUser = settings.webUser;
    webPassword = settings.webPassword;
    if (outcome.documentRead) document = body;
    noteOutcome(url, outcome, quiet);
    return outcome.ok;
}

bool modGlobal_HttpGet(const QString& url, bool quiet, QByteArray& document) {
    return modGlobal_HttpGetDocument(InternetHandle, ProxyUserName, ProxyPassword, WebUserName, WebPassword,
                                     AccessType, Proxy, Protocol, url, quiet, document);
}

QString lastHttpGetFailure() { return outages().lastFailure; }

OutageLog::Clock setServerOutageClock(OutageLog::Clock clock) {
    OutageLog::Clock previous = std::move(outages().clock);
    outages().clock = std::move(clock);
    outages().byServer.clear();
    return previous;
}

QString modGlobal_WinInetErrorText(quint32 errorNumber) { return common::winInetErrorText(errorNumber); }

QString modGlobal_LastResponseInfoText() { return common::lastResponseInfoText(); }

QString modGlobal_GetServerErrorText(const QString& serverUrl, qint16 code) {
    QByteArray document;
    if (modGlobal_HttpGet(serverUrl + QStringLiteral("ms-geterror.exe?") + QString::number(code), false, document))
        return platform::fromCp1252(document);
    return QString::number(code);
}

bool modGlobal_ProbeGetErrorScript(const QString& serverUrl) {
    QByteArray document;
    if (!modGlobal_HttpGet(serverUrl + QStringLiteral("ms-geterror.exe?1"), false, document)) return false;
    return document.contains("Message number no longer used") || document.contains("Out of memory");
}

}  // namespace tavrelsvc
