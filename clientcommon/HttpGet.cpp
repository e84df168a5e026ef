#include "clientcommon/HttpGet.h"

#include "clientcommon/BusyCursor.h"
#include "clientcommon/Globals.h"
#include "common/HttpGetCore.h"
#include "clientcommon/RequestWait.h"
#include "common/Secrets.h"
#include "platform/MessageBox.h"

#include <algorithm>

namespace tavrel {

namespace {

struct Timeouts {
    quint32 connectMs, sendMs, receiveMs;
};

// From TimeOut (seconds): a connection attempt waits at most a minute.
Timeouts timeoutsOfSetting() {
    const quint32 timeoutMs = static_cast<quint32>(TimeOut > 0 ? TimeOut : 3600) * 1000u;
    return {std::min<quint32>(timeoutMs, 60000), timeoutMs, timeoutMs};
}

void applyToOpenSession() {
    if (!InternetSession) return;
    const Timeouts t = timeoutsOfSetting();
    platform::InternetSetOption(InternetSession, platform::inet::INTERNET_OPTION_CONNECT_TIMEOUT, t.connectMs);
    platform::InternetSetOption(InternetSession, platform::inet::INTERNET_OPTION_SEND_TIMEOUT, t.sendMs);
    platform::InternetSetOption(InternetSession, platform::inet::INTERNET_OPTION_RECEIVE_TIMEOUT, t.receiveMs);
}

}  // namespace

bool modGlobal_HttpGetDocument(platform::HInternet& session, const QString& proxyUser, const QString& proxyPassword,
                               const QString& webUser, const QString& webPassword, qint32 accessType,
                               const QString& proxy, qint32 protocol, const QString& url, bool quiet,
                               QByteArray& document, bool* unanswered) {
    common::HttpGetSettings settings = common::httpGetSettings(proxyUser, proxyPassword, webUser, webPassword,
                                                               accessType, proxy, protocol);
    settings.urlCredentials = common::UrlCredentials::Refuse;
    const Timeouts t = timeoutsOfSetting();
    settings.connectTimeoutMs = t.connectMs;
    settings.sendTimeoutMs = t.sendMs;
    settings.receiveTimeoutMs = t.receiveMs;

    QByteArray body;
    common::HttpGetOutcome outcome;
    {
        // The window stays alive while the server is slow, and the user may give up on it.
        const RequestWaitScope wait(url);
        outcome = common::httpGetDocument(session, settings, url, body);
    }
    if (outcome.documentRead) document = body;
    if (unanswered) *unanswered = !outcome.ok && outcome.sendError != 0;
    // The user has given up on this server already: one Cancel needs no box.
    const bool givenUp = outcome.sendError == platform::inet_err::OperationCancelled && serverGivenUp();
    if (!outcome.ok && !quiet && !givenUp)
        platform::MsgBox(common::maskSecrets(outcome.message), platform::vbOKOnly, QStringLiteral("Sorvex Tavrel"));
    return outcome.ok;
}

bool modGlobal_HttpGet(const QString& url, bool quiet, QByteArray& document) {
    BusyCursor hourglass;
    return modGlobal_HttpGetDocument(InternetSession, ProxyUserName, ProxyPassword, WebUserName, WebPassword,
                                     AccessType, Proxy, Protocol, url, quiet, document);
}

ShortHttpTimeouts::ShortHttpTimeouts(qint32 seconds) : saved_(TimeOut) {
    if (seconds > 0 && (TimeOut <= 0 || seconds < TimeOut)) TimeOut = seconds;
    applyToOpenSession();
}

ShortHttpTimeouts::~ShortHttpTimeouts() {
    TimeOut = saved_;
    applyToOpenSession();
}

void modGlobal_SetWinInetOptions(qint32 protocol) { common::setWinInetOptions(protocol); }

QString modGlobal_WinInetErrorText(quint32 errorNumber) { return common::winInetErrorText(errorNumber); }

QString modGlobal_LastResponseInfoText() { return common::lastResponseInfoText(); }

}  // namespace tavrel
