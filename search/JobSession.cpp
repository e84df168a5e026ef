#include "search/JobSession.h"

#include "common/Secrets.h"
#include "platform/Cp1252.h"
#include "platform/Error.h"
#include "service/EventLog.h"
#include "service/HttpGet.h"
#include "service/Preferences.h"

namespace tavrelsvc {

namespace {
constexpr int kConnectTask = 19;
}

JobSession::JobSession(long uID_, const QString& label, const QString& url, std::optional<qint32> userId)
    : task_sorvex_url(url), sorvex_user_id(userId), uID(uID_), task_label(label) {}

JobSession::~JobSession() { Class_Terminate(); }

void JobSession::logError(const QString& message) const {
    modGlobal_WriteEventLog(EventError, uID, task_label, QStringLiteral(" "), common::maskSecrets(message));
}

bool JobSession::Try2GetSessionID(const QString& sURL, const QString& sUsername, const QString& sPassword,
                                  const QString& action) {
    bool result = true;
    try {
        const QString request = common::loginRequest(action, sUsername, sPassword);
        if (request.isEmpty()) return true;
        QByteArray document;
        loginReached_ = modGlobal_HttpGet(sURL + request, true, document);
        if (!loginReached_) return true;
        const auto reply = common::parseLoginReply(platform::fromCp1252(document));
        if (!reply) return true;
        if (reply->sessionID) sessionID = *reply->sessionID;
        if (reply->error == 0) return true;
        result = false;
        if (action != QLatin1String("login") && action != QLatin1String("guestlogin")) return false;
        if (reply->error == -4)
            logError(QStringLiteral("A user name and password are required to login to this Sorvex Server"));
        else if (reply->error == 4381)
            logError(QStringLiteral("Unable to login to Sorvex Server: ") +
                     QStringLiteral("Cannot use a Sorvex Ostrane login for Sorvex Tavrel"));
        else
            logError(QStringLiteral("Unable to login to Sorvex Server (") + sURL + QStringLiteral("): ") +
                     reply->errorString);
    } catch (const platform::Error& e) {
        logError(e.report(QStringLiteral("(TVS1078) ")));
    }
    return result;
}

bool JobSession::clsJob_SorvexLogin(const QString& url, const QString& user, const QString& password,
                                    bool& securityEnabled) {
    bool result = true;
    try {
        sessionID.clear();
        if (Try2GetSessionID(url, {}, {}, QStringLiteral("issecuritydisabled")) && !sessionID.isEmpty()) {
            securityEnabled = false;
            return true;
        }
        if (!user.isEmpty()) {
            result = Try2GetSessionID(url, user, password, QStringLiteral("login"));
        } else {
            if (Try2GetSessionID(url, {}, {}, QStringLiteral("webauthentication")) && !sessionID.isEmpty()) {
                securityEnabled = true;
                return true;
            }
            result = Try2GetSessionID(url, {}, {}, QStringLiteral("guestlogin"));
        }
        if (result) securityEnabled = !sessionID.isEmpty();
    } catch (const platform::Error& e) {
        logError(e.report(QStringLiteral("(TVS1080) ")));
    }
    return result;
}

void JobSession::clsJob_CheckSessionPermitted(const QString& serverUrl, bool quiet, bool& permitted) {
    if (sessionID.isEmpty()) {
        permitted = true;
        return;
    }
    QByteArray document;
    if (!modGlobal_HttpGet(serverUrl + common::permissionRequest(sessionID, kConnectTask), quiet, document)) {
        permitted = false;
        if (!quiet) logError(QStringLiteral("Unable to connect to ") + serverUrl);
        return;
    }
    permitted = common::permissionGranted(platform::fromCp1252(document), sessionID);
    if (!permitted && !quiet) logError(QStringLiteral("Sorvex Tavrel is not permitted to connect to ") + serverUrl);
}

bool JobSession::GetSpoofList(const QString& sURL) {
    try {
        if (sessionID.isEmpty() || !ServerSecurityEnabled) return false;
        const QByteArray list =
            GetHttpDocWithLogin(sURL, QStringLiteral("get_params.pl?Show=MS_USERS&sessionID=") + sessionID);
        if (list.isEmpty()) return false;
        const QList<common::ServerUser> users = common::parseUserList(platform::fromCp1252(list));
        ServerUserList = users.isEmpty() ? QList<common::ServerUser>{common::ServerUser{}} : users;
        return !users.isEmpty();
    } catch (const platform::Error& e) {
        logError(e.report(QStringLiteral("(TVS1079) ")));
        return false;
    }
}

void JobSession::clsJob_FindTaskUser(const QString& serverUrl) {
    const bool listed = GetSpoofList(serverUrl);
    common::ServerUser found;
    if (listed) {
        for (const common::ServerUser& user : ServerUserList) {
            const bool match = sorvex_user_id ? user.user_id == *sorvex_user_id : user.user_name == SorvexUserName;
            if (match) {
                found = user;
                break;
            }
        }
    }
    ServerUserList = {found};
}

QByteArray JobSession::GetHttpDocWithLogin(const QString& ServerUrl, const QString& DocumentPath) {
    QString path = DocumentPath;
    bool permitted = false;
    // With the server's security on, holding no session is never "permitted".
    if (!(ServerSecurityEnabled && sessionID.isEmpty())) clsJob_CheckSessionPermitted(ServerUrl, true, permitted);
    if (!permitted) {
        const QString previous = sessionID;
        if (!clsJob_SorvexLogin(ServerUrl, SorvexUserName, SorvexPassword, ServerSecurityEnabled)) return {};
        // A login that never reached the server is a failed login, not an empty session.
        if (sessionID.isEmpty() && !loginReached_) return {};
        path = common::withSessionID(path, previous, sessionID);
    }
    QByteArray document;
    if (modGlobal_HttpGet(ServerUrl + path, true, document)) return document;
    document.clear();
    if (modGlobal_HttpGet(ServerUrl + path, false, document)) return document;
    return {};
}

void JobSession::Logout() {
    if (sessionID.isEmpty() || sessionID == NotLoggedIn) return;
    QByteArray ignored;
    modGlobal_HttpGet(task_sorvex_url +
                          QStringLiteral("login.pl?display=nothing&onerrdisplay=nothing&action=logout&sessionID=") +
                          sessionID,
                      true, ignored);
}

void JobSession::Class_Terminate() {
    if (PostRequestHandle) {
        char buffer[64];
        quint32 n = 0;
        while (platform::InternetReadFile(PostRequestHandle, buffer, sizeof buffer, n) && n > 0) {
        }
        platform::InternetCloseHandle(PostRequestHandle);
    }
    if (PostConnectionHandle) platform::InternetCloseHandle(PostConnectionHandle);
}

}  // namespace tavrelsvc
