#include "clientcommon/ServerLogin.h"

#include "clientcommon/Globals.h"
#include "clientcommon/HttpGet.h"
#include "common/ServerReplies.h"
#include "platform/Cp1252.h"
#include "platform/MessageBox.h"

namespace tavrel {

namespace {

constexpr int kConnectTask = 19;
constexpr int kUserListTask = 22;

// Set by every login exchange: whether the server answered login.pl at all.
bool loginReached = false;

void showBox(const QString& text) { platform::MsgBox(text, platform::vbOKOnly, QStringLiteral("Sorvex Tavrel")); }

}  // namespace

bool modGlobal_Try2GetSessionID(const QString& serverUrl, const QString& userName, const QString& password,
                                const QString& action) {
    const QString request = common::loginRequest(action, userName, password);
    if (request.isEmpty()) return true;
    QByteArray document;
    if (!modGlobal_HttpGet(serverUrl + request, true, document)) {
        loginReached = false;
        return true;
    }
    loginReached = true;
    const auto reply = common::parseLoginReply(platform::fromCp1252(document));
    if (!reply) return true;
    if (reply->sessionID) ServerSessionID = *reply->sessionID;
    if (reply->error == 0) return true;
    if (action == QLatin1String("issecuritydisabled") || action == QLatin1String("webauthentication")) return false;
    if (reply->error == -4)
        showBox(QStringLiteral("A user name and password are required to login to this Sorvex Server"));
    else if (reply->error == 4381)
        showBox(QStringLiteral("Unable to login to Sorvex Server: ") +
                QStringLiteral("Cannot use a Sorvex Ostrane login from Sorvex Tavrel"));
    else
        showBox(QStringLiteral("Unable to login to Sorvex Server: ") + reply->errorString);
    return false;
}

bool modGlobal_SorvexLogin(const QString& serverUrl, const QString& userName, const QString& password,
                           bool& securityEnabled) {
    ServerSessionID.clear();
    if (modGlobal_Try2GetSessionID(serverUrl, {}, {}, QStringLiteral("issecuritydisabled")) &&
        !ServerSessionID.isEmpty()) {
        securityEnabled = false;
        return true;
    }
    bool answer;
    if (!userName.isEmpty()) {
        answer = modGlobal_Try2GetSessionID(serverUrl, userName, password, QStringLiteral("login"));
    } else {
        if (modGlobal_Try2GetSessionID(serverUrl, {}, {}, QStringLiteral("webauthentication")) &&
            !ServerSessionID.isEmpty()) {
            securityEnabled = true;
            return true;
        }
        answer = modGlobal_Try2GetSessionID(serverUrl, {}, {}, QStringLiteral("guestlogin"));
    }
    if (!answer) return false;
    securityEnabled = !ServerSessionID.isEmpty();
    return true;
}

bool modGlobal_CheckSessionPermitted(const QString& serverUrl, bool quiet) {
    if (ServerSessionID.isEmpty()) return true;
    QByteArray document;
    if (!modGlobal_HttpGet(serverUrl + common::permissionRequest(ServerSessionID, kConnectTask), quiet, document)) {
        if (!quiet) showBox(QStringLiteral("Unable to connect to ") + serverUrl);
        return false;
    }
    if (common::permissionGranted(platform::fromCp1252(document), ServerSessionID)) return true;
    if (!quiet) showBox(QStringLiteral("Sorvex Tavrel is not permitted to connect to ") + serverUrl);
    return false;
}

QByteArray modGlobal_GetHttpDocWithLogin(const QString& serverUrl, const QString& documentPath) {
    // With the server's security on, holding no session is never "permitted".
    const bool sessionUsable = ServerSecurityEnabled && ServerSessionID.isEmpty()
                                   ? false
                                   : modGlobal_CheckSessionPermitted(serverUrl, true);
    QString path = documentPath;
    if (!sessionUsable) {
        const QString previous = ServerSessionID;
        bool security = ServerSecurityEnabled;
        if (!modGlobal_SorvexLogin(serverUrl, SorvexUserName, SorvexPassword, security)) return {};
        // A login that never reached the server is a failed login, not an empty session.
        if (ServerSessionID.isEmpty() && !loginReached) return {};
        ServerSecurityEnabled = security;
        path = common::withSessionID(path, previous, ServerSessionID);
    }
    QByteArray document;
    if (modGlobal_HttpGet(serverUrl + path, true, document)) return document;
    document.clear();
    if (modGlobal_HttpGet(serverUrl + path, false, document)) return document;
    return {};
}

bool modGlobal_GetSpoofList(const QString& serverUrl) {
    if (ServerSessionID.isEmpty() || !ServerSecurityEnabled) return false;
    const QString permission =
        platform::fromCp1252(modGlobal_GetHttpDocWithLogin(serverUrl, common::permissionRequest(ServerSessionID, kUserListTask)));
    if (!common::permissionGranted(permission, ServerSessionID)) return false;
    const QByteArray list =
        modGlobal_GetHttpDocWithLogin(serverUrl, QStringLiteral("get_params.pl?Show=MS_USERS&sessionID=") + ServerSessionID);
    if (list.isEmpty()) return false;
    const QList<common::ServerUser> users = common::parseUserList(platform::fromCp1252(list));
    if (users.isEmpty()) {
        ServerUser = {common::ServerUser{}};
        return false;
    }
    ServerUser = users;
    return true;
}

}  // namespace tavrel
