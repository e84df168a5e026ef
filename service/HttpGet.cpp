#include "service/HttpGet.h"

#include "common/HttpGetCore.h"
#include "common/Secrets.h"
#include "platform/Cp1252.h"
#include "service/EventLog.h"
#include "service/Preferences.h"

namespace tavrelsvc {

namespace {

void logError(const QString& message) {
    modGlobal_WriteEventLog(EventError, 0, QStringLiteral(" "), QStringLiteral(" "), common::maskSecrets(message));
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
    if (!outcome.ok && !quiet) logError(outcome.message);
    return outcome.ok;
}

bool modGlobal_HttpGet(const QString& url, bool quiet, QByteArray& document) {
    return modGlobal_HttpGetDocument(InternetHandle, ProxyUserName, ProxyPassword, WebUserName, WebPassword,
                                     AccessType, Proxy, Protocol, url, quiet, document);
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
