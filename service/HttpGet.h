#pragma once
// The service's GET engine: logins, session requests, polling and server error
// texts. Failures are written to the event log (never with a password, with
// the address they are about) unless the caller asks for quiet. A server that
// does not answer at all is one outage: its first failure is written, then a
// reminder at most every five minutes, and a line when it answers again.
#include "platform/Inet.h"
#include "service/OutageLog.h"

#include <QByteArray>
#include <QString>

namespace tavrelsvc {

// The process-wide session, opened by the first fetch and kept until the end;
// the search submission uses it too, with the same version text.
inline platform::HInternet InternetHandle;
inline QString HttpVersionText = QStringLiteral("HTTP/1.1");

void modGlobal_SetWinInetOptions(qint32 protocol);

// True when a non-empty document was read. The document changes only when the
// wanted document was read. A user name or password in the URL fills an empty
// web user / password (and is refused when one is already set).
bool modGlobal_HttpGetDocument(platform::HInternet& session, const QString& proxyUser, const QString& proxyPassword,
                               QString& webUser, QString& webPassword, qint32 accessType, const QString& proxy,
                               qint32 protocol, const QString& url, bool quiet, QByteArray& document);

// With InternetHandle and the settings of Preferences.h.
bool modGlobal_HttpGet(const QString& url, bool quiet, QByteArray& document);

// Why the last fetch that failed failed, with its address (quiet ones too).
QString lastHttpGetFailure();

// Tests: the clock of the server outages' reminders (the outages so far are forgotten).
OutageLog::Clock setServerOutageClock(OutageLog::Clock clock);

QString modGlobal_WinInetErrorText(quint32 errorNumber);
QString modGlobal_LastResponseInfoText();

// The server's text for an error code, or the code in decimal when it cannot be fetched.
QString modGlobal_GetServerErrorText(const QString& serverUrl, qint16 code);

bool modGlobal_ProbeGetErrorScript(const QString& serverUrl);

}  // namespace tavrelsvc
