#include "search/JobSession.h"

#include "platform/testsupport/SorvexSim.h"
#include "service/EventLog.h"
#include "service/HttpGet.h"
#include "service/Preferences.h"

#include <gtest/gtest.h>

using namespace tavrelsvc;

namespace {

const QByteArray kSecured = R"({
  "security": true,
  "users": [
    {"name": "alice", "password": "pw", "id": 3, "fullName": "Alice A", "email": "a@example.org"},
    {"name": "bob", "password": "pw", "id": 70000}
  ]})";

class JobSessionSim : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testsupport::SorvexSim::available()) GTEST_SKIP() << "sorvex-sim is not built; server tests skipped";
        logPath = home.file(kEventLogFileName);
        ASSERT_TRUE(EventLogStream::open(logPath));
        InternetHandle.reset();
        AccessType = 1;
        TimeOut = 10;
        SorvexUserName = "alice";
        SorvexPassword = "pw";
    }
    void TearDown() override {
        EventLogStream::close();
        InternetHandle.reset();
    }
    void start(const QByteArray& scenario) {
        ASSERT_TRUE(sim.start(scenario)) << qPrintable(sim.error());
        url = sim.baseUrl();
    }
    // The first step of a job: log in, check, find the owner.
    bool firstStep(JobSession& job) {
        if (!job.SorvexLogin(url, SorvexUserName, SorvexPassword, job.ServerSecurityEnabled)) return false;
        bool permitted = false;
        job.clsJob_CheckSessionPermitted(url, false, permitted);
        if (permitted) job.clsJob_FindTaskUser(url);
        return permitted;
    }
    // task number, label and message of each event log line
    QStringList logged() const {
        QStringList messages;
        for (const QByteArray& line : testsupport::readFile(logPath).split('\n')) {
            const QStringList f = splitEventLine(QString::fromUtf8(line).trimmed());
            if (f.size() == 7) messages.append(f[3] + "|" + f[4] + "|" + f[6]);
        }
        return messages;
    }

    testsupport::TempHome home;
    testsupport::SorvexSim sim;
    QString logPath;
    QString url;
};

}  // namespace

TEST_F(JobSessionSim, ServerWithoutSecurityNeedsNoUser) {
    start(R"({"security": false})");
    JobSession job(7, "label", url, std::nullopt);
    EXPECT_EQ(job.sessionID, "X X X");
    ASSERT_TRUE(firstStep(job));
    EXPECT_FALSE(job.sessionID.isEmpty());
    EXPECT_FALSE(job.ServerSecurityEnabled);
    EXPECT_EQ(job.ServerUserList, QList<common::ServerUser>{common::ServerUser{}});
    EXPECT_FALSE(sim.targets().join(" ").contains("MS_USERS"));
    EXPECT_FALSE(sim.targets().join(" ").contains("username="));
}

TEST_F(JobSessionSim, FindsTheTaskUser) {
    start(kSecured);
    struct Row {
        std::optional<qint32> userId;
        const char* expectedName;
        qint32 expectedId;
    } rows[] = {{std::nullopt, "alice", 3}, {70000, "bob", 70000}, {99, "", 0}};
    for (const Row& r : rows) {
        JobSession job(7, "label", url, r.userId);
        ASSERT_TRUE(firstStep(job));
        EXPECT_TRUE(job.ServerSecurityEnabled);
        ASSERT_EQ(job.ServerUserList.size(), 1);
        EXPECT_EQ(job.ServerUserList[0].user_name, r.expectedName);
        EXPECT_EQ(job.ServerUserList[0].user_id, r.expectedId);
    }
}

TEST_F(JobSessionSim, LoginFailuresAreLoggedForTheTask) {
    start(R"({"security": true, "users": [{"name": "alice", "password": "other", "id": 3}]})");
    JobSession job(12, "My task", url, std::nullopt);
    EXPECT_FALSE(firstStep(job));
    SorvexUserName.clear();
    EXPECT_FALSE(firstStep(job));
    const QStringList lines = logged();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("12|My task|Unable to login to Sorvex Server (" + url + "): ")) << qPrintable(lines[0]);
    EXPECT_EQ(lines[1], "12|My task|A user name and password are required to login to this Sorvex Server");
    EXPECT_FALSE(lines.join(" ").contains("password=other"));
}

TEST_F(JobSessionSim, LapsedSessionLogsInAgain) {
    start(kSecured);
    JobSession job(7, "label", url, std::nullopt);
    ASSERT_TRUE(firstStep(job));
    const QString first = job.sessionID;
    ASSERT_TRUE(sim.expireSessions());
    sim.clearLog();
    const QByteArray reply = job.GetHttpDocWithLogin(url, "client.pl?create_task_id&sessionID=" + first);
    EXPECT_TRUE(reply.contains("taskid=")) << reply.constData();
    EXPECT_NE(job.sessionID, first);
    EXPECT_TRUE(sim.targets().contains("/sorvex/cgi/client.pl?create_task_id&sessionID=" + job.sessionID));

    // A re-login that cannot reach the server fails: no empty session passes as permitted.
    ASSERT_TRUE(sim.expireSessions());
    ASSERT_TRUE(sim.reload(QByteArray(kSecured).replace(
        "\"security\": true", R"("security": true, "faults": [{"match": "login.pl", "reply": "drop"}])")));
    sim.clearLog();
    EXPECT_TRUE(job.GetHttpDocWithLogin(url, "client.pl?create_task_id&sessionID=" + job.sessionID).isEmpty());
    EXPECT_FALSE(sim.targets().join(" ").contains("create_task_id"));
}

TEST_F(JobSessionSim, LogoutAndTerminate) {
    start(kSecured);
    JobSession job(7, "label", url, std::nullopt);
    job.Logout();  // never logged in: nothing is sent
    EXPECT_TRUE(sim.targets().isEmpty());
    ASSERT_TRUE(firstStep(job));
    sim.clearLog();
    job.Logout();
    EXPECT_TRUE(sim.targets().join(" ").contains("action=logout&sessionID=" + job.sessionID));

    // An upload's handles left open are drained and closed.
    job.PostConnectionHandle = platform::InternetConnect(InternetHandle, "127.0.0.1", sim.httpPort(), {}, {},
                                                         platform::inet::INTERNET_SERVICE_HTTP, 0, 0);
    job.PostRequestHandle = platform::HttpOpenRequest(job.PostConnectionHandle, "GET", "/sorvex/cgi/get_params.pl",
                                                      HttpVersionText, {}, 0, 0);
    ASSERT_TRUE(platform::HttpSendRequest(job.PostRequestHandle));
    job.Class_Terminate();
    EXPECT_FALSE(job.PostRequestHandle);
    EXPECT_FALSE(job.PostConnectionHandle);
}
