#pragma once
// The one GET exchange that both programs' engines perform: an authentication
// probe ("client.pl?version" beside the wanted document, up to three rounds for
// 401 / 407), then the document itself. It reports nothing: it answers the
// message its caller shows (client) or logs (service).
#include "platform/Inet.h"

#include <QByteArray>
#include <QString>

namespace common {

enum class UrlCredentials {
    Refuse,  // a user name or password in the URL is an error
    Adopt,   // they fill an empty web user / password; a clash is an error
};

struct HttpGetSettings {
    QString proxyUser;
    QString proxyPassword;
    QString webUser;      // in/out when credentials in the URL are adopted
    QString webPassword;  // in/out
    qint32 accessType = 0;
    QString proxy;
    qint32 protocol = 1;
    UrlCredentials urlCredentials = UrlCredentials::Refuse;
    // Set on the session when the call opens it.
    quint32 connectTimeoutMs = 60000;
    quint32 sendTimeoutMs = 60000;
    quint32 receiveTimeoutMs = 3600000;
    // Put in front of "number: description" of an unexpected error ("" = the description alone).
    QString unexpectedCode;
};

// The connection values both programs hand to their GET engine; time-outs and
// the credential rule are left for the caller to set.
HttpGetSettings httpGetSettings(const QString& proxyUser, const QString& proxyPassword, const QString& webUser,
                                const QString& webPassword, qint32 accessType, const QString& proxy,
                                qint32 protocol);

struct HttpGetOutcome {
    bool ok = false;            // a non-empty document was read without an error
    bool documentRead = false;  // the body of the document request was read (also on a read error)
    QString message;            // why it failed; empty on success
    bool openFailed = false;    // the session could not be opened
    quint32 sendError = 0;      // the Internet error of a request that got no answer at all
};

// "HTTP/1." followed by the protocol minor version.
QString httpVersionText(qint32 protocol);

// The object up to and including the last "/" of its path, then "client.pl?version".
QString probeObject(const QString& object);

// Opens the session when it is null (and stores it), never closes it.
HttpGetOutcome httpGetDocument(platform::HInternet& session, HttpGetSettings& settings, const QString& url,
                               QByteArray& document);

// Process-wide options: end the browser session, 128 connections, HTTP/1.<protocol>.
void setWinInetOptions(qint32 protocol);

// The text for an Internet or system error number; 12003 gives the last
// response text; an unknown number gives "Error number <n>".
QString winInetErrorText(quint32 code);
QString lastResponseInfoText();

}  // namespace common
