#pragma once
// Reading the Sorvex Server's small text replies: key=value lines (login.pl,
// client.pl) and the user list of get_params.pl?Show=MS_USERS. Shared by the
// client and the service.
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace common {

// One entry of the server's user list. An empty entry has "" and 0.
struct ServerUser {
    QString user_name;
    qint32 user_id = 0;
    qint32 user_number = 0;  // the list's third field, passed on unread
    QString full_name;
    QString email;
    bool operator==(const ServerUser&) const = default;
};

// Lines split at CR LF when the reply holds one, else at LF.
QStringList splitReplyLines(const QString& reply);

// key and value of a line split at its first "="; nothing for a line without.
std::optional<std::pair<QString, QString>> splitKeyLine(const QString& line);

// The leading number of a text, as the classic Val reads it ("12abc" -> 12,
// " -4" -> -4, "x" -> 0).
double leadingNumber(const QString& text);

// Rounded (halves to even) into 32 bits; nothing when it does not fit.
std::optional<qint32> roundToInt32(double value);

// A reply of login.pl. Keys are compared exactly; a repeated key takes the
// last value; sessionID is set by any line that carries the key.
struct LoginReply {
    qint64 error = 0;  // rounded; 0 = success
    QString errorString;
    std::optional<QString> sessionID;
};

// Nothing when the reply lacks any of "error=", "errorstring=", "sessionID=".
std::optional<LoginReply> parseLoginReply(const QString& reply);

// True when a permission reply carries the three keys and the session id.
bool permissionGranted(const QString& reply, const QString& sessionID);

// The login.pl request (after the server URL) for "login", "issecuritydisabled",
// "webauthentication" or "guestlogin"; empty for any other action.
QString loginRequest(const QString& action, const QString& user, const QString& password);
QString permissionRequest(const QString& sessionID, int securityTask);

// A request path built with an old session id, carrying the new one instead
// (the id after "sessionID=" is replaced; a path without one is unchanged).
QString withSessionID(const QString& path, const QString& previous, const QString& current);

// Users of a list reply, in line order: lines holding "," between quotes with
// at least five fields whose numbers fit; other lines are skipped.
QList<ServerUser> parseUserList(const QString& reply);

}  // namespace common
