#pragma once
// The server session of one job: its own login with the Sorvex Server, the
// permission check, the task owner's entry of the server's user list, the GET
// that logs in again when the session has lapsed, the logout, and the release
// of the job's upload handles when the job ends.
//
// The job owns one JobSession. Its first step (sessionID still "X X X") calls
// SorvexLogin with the task's server URL and the stored login, then
// clsJob_CheckSessionPermitted (not quiet) and, when permitted,
// clsJob_FindTaskUser; a failed login or a refused permission pauses the task.
// Every later GET of the job goes through GetHttpDocWithLogin; the search form
// reads ServerUserList[0]. Completion and cancellation call Logout; the upload
// keeps its handles in PostRequestHandle / PostConnectionHandle.
#include "common/ServerReplies.h"
#include "platform/Inet.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace tavrelsvc {

class JobSession {
public:
    static inline const QString NotLoggedIn = QStringLiteral("X X X");

    JobSession(long uID, const QString& task_label, const QString& task_sorvex_url,
               std::optional<qint32> sorvex_user_id);
    ~JobSession();  // Class_Terminate
    JobSession(const JobSession&) = delete;
    JobSession& operator=(const JobSession&) = delete;

    // One login.pl exchange ("login", "issecuritydisabled", "webauthentication",
    // "guestlogin"); may set sessionID.
    bool Try2GetSessionID(const QString& sURL, const QString& sUsername, const QString& sPassword,
                          const QString& action);
    // The login strategy; the security flag is written only on success.
    bool clsJob_SorvexLogin(const QString& mySorvexServerUrl, const QString& mySorvexUserName,
                            const QString& mySorvexPassword, bool& mySorvexSecurityEnabled);
    bool SorvexLogin(const QString& url, const QString& user, const QString& password, bool& securityEnabled) {
        return clsJob_SorvexLogin(url, user, password, securityEnabled);
    }
    void clsJob_CheckSessionPermitted(const QString& serverUrl, bool quiet, bool& permitted);
    bool GetSpoofList(const QString& sURL);
    void clsJob_FindTaskUser(const QString& serverUrl);
    // GET of ServerUrl + DocumentPath, logging in again when the session is not
    // usable; a session id in the path is brought up to date. "" on failure.
    QByteArray GetHttpDocWithLogin(const QString& ServerUrl, const QString& DocumentPath);
    // Ends the server session (task completed or cancelled); the reply is ignored.
    void Logout();
    // Drains and closes the upload handles; safe to call more than once.
    void Class_Terminate();

    // The job's fields this component reads and writes.
    QString sessionID = NotLoggedIn;
    bool ServerSecurityEnabled = false;
    QList<common::ServerUser> ServerUserList{common::ServerUser{}};
    QString task_sorvex_url;
    std::optional<qint32> sorvex_user_id;
    long uID = 0;
    QString task_label;
    platform::HInternet PostRequestHandle;
    platform::HInternet PostConnectionHandle;

private:
    void logError(const QString& message) const;
    bool loginReached_ = false;  // whether the last login exchange got any answer
};

}  // namespace tavrelsvc
