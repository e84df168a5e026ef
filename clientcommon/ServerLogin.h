#pragma once
// The client's session with the Sorvex Server: at most one session id for the
// whole run (ServerSessionID), the permission check before document requests,
// a new login when the session has lapsed, and the server's user list.
#include <QByteArray>
#include <QString>

namespace tavrel {

// One login.pl exchange for "login", "issecuritydisabled", "webauthentication"
// or "guestlogin". May replace ServerSessionID.
bool modGlobal_Try2GetSessionID(const QString& serverUrl, const QString& userName, const QString& password,
                                const QString& action);

// The login strategy; writes the security flag only on success.
bool modGlobal_SorvexLogin(const QString& serverUrl, const QString& userName, const QString& password,
                           bool& securityEnabled);

bool modGlobal_CheckSessionPermitted(const QString& serverUrl, bool quiet);

// GET of serverUrl + documentPath after making sure the session is usable;
// empty when nothing could be fetched.
QByteArray modGlobal_GetHttpDocWithLogin(const QString& serverUrl, const QString& documentPath);

// Fills ServerUser; False (with one empty entry, or the list untouched when no
// secured session is held) when no user could be read.
bool modGlobal_GetSpoofList(const QString& serverUrl);

}  // namespace tavrel
