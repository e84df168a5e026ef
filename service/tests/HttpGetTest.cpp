#include "service/HttpGet.h"

#include "service/EventLog.h"
#include "service/Preferences.h"
#include "platform/testsupport/SorvexSim.h"

#include <gtest/gtest.h>

using namespace tavrelsvc;

namespace {

class ServiceHttp : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testsupport::SorvexSim::available()) GTEST_SKIP() << "sorvex-sim is not built; server tests skipped";
        logPath = home.file(kEventLogFileName);
        ASSERT_TRUE(EventLogStream::open(logPath));
        InternetHandle.reset();
        AccessType = 1;
        Protocol = 1;
        TimeOut = 10;
        WebUserName.clear();
        WebPassword.clear();
        ProxyUserName.clear();
        ProxyPassword.clear();
        previousClock = setServerOutageClock([this] { return nowMs; });
    }
    void TearDown() override {
        EventLogStream::close();
        InternetHandle.reset();
        setServerOutageClock(previousClock);
    }
    // Messages of the event log lines written so far.
    QStringList logged() const {
        QStringList messages;
        for (const QByteArray& line : testsupport::readFile(logPath).split('\n')) {
            const QStringList fields = splitEventLine(QString::fromUtf8(line).trimmed());
            if (fields.size() == 7) messages.append(fields[0] + "|" + fields[3] + "|" + fields[6]);
        }
        return messages;
    }
    void start(const QByteArray& scenario) {
        ASSERT_TRUE(sim.start(scenario)) << qPrintable(sim.error());
        url = sim.baseUrl();
    }

    testsupport::TempHome home;
    testsupport::SorvexSim sim;
    QString logPath;
    QString url;
    qint64 nowMs = 0;
    OutageLog::Clock previousClock;
};

}  // namespace

TEST_F(ServiceHttp, UrlCredentialsFillTheWebUserOrClash) {
    start(R"({"httpAuth": {"user": "web", "password": "wpw"}})");
    QString embedded = url;
    embedded.replace("http://", "http://web:wpw@");
    QByteArray doc;
    ASSERT_TRUE(modGlobal_HttpGet(embedded + "get_params.pl", false, doc)) << qPrintable(logged().join("\n"));
    EXPECT_EQ(WebUserName, "web");
    EXPECT_EQ(WebPassword, "wpw");
    EXPECT_EQ(sim.targets(), QStringList({"/sorvex/cgi/client.pl?version", "/sorvex/cgi/client.pl?version",
                                          "/sorvex/cgi/get_params.pl"}));
    EXPECT_EQ(HttpVersionText, "HTTP/1.1");

    WebUserName = "other";
    doc = "kept";
    EXPECT_FALSE(modGlobal_HttpGet(embedded + "get_params.pl", false, doc));
    EXPECT_EQ(doc, "kept");
    const QStringList lines = logged();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].startsWith("Error| |Registry contains conflicting passwords for web server authentication (http://"))
        << qPrintable(lines[0]);
    EXPECT_FALSE(lines[0].contains("wpw"));
}

TEST_F(ServiceHttp, FailuresAreLoggedWithoutPasswordsUnlessQuiet) {
    start(R"({"faults": [{"match": "login.pl", "status": 404}]})");
    QByteArray doc;
    const QString login = url + "login.pl?display=nothing&action=login&username=a&password=secret";
    EXPECT_FALSE(modGlobal_HttpGet(login, true, doc));
    EXPECT_TRUE(logged().isEmpty());
    EXPECT_FALSE(modGlobal_HttpGet(login, false, doc));
    const QStringList lines = logged();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].startsWith("Error| |Sorvex Server returned HTTP error status code 404 for ")) << qPrintable(lines[0]);
    EXPECT_FALSE(lines[0].contains("secret"));
}

TEST_F(ServiceHttp, ServerErrorTexts) {
    start(R"({"errorMessages": {"7": "Seven went wrong"}})");
    EXPECT_TRUE(modGlobal_GetServerErrorText(url, 7).startsWith("Seven went wrong"));
    EXPECT_TRUE(modGlobal_ProbeGetErrorScript(url));
    sim.stop();
    EXPECT_EQ(modGlobal_GetServerErrorText(url, 7), "7");
    EXPECT_FALSE(modGlobal_ProbeGetErrorScript(url));
    // Both failures are one outage of the server: one line, naming the address.
    const QStringList lines = logged();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].startsWith("Error| |Error on HttpSendRequest: ")) << qPrintable(lines[0]);
    EXPECT_TRUE(lines[0].contains("(" + url + "ms-geterror.exe?7); the Sorvex server at " + url.section('/', 0, 2) +
                                  "/ is out of reach"))
        << qPrintable(lines[0]);
}

// A server that answers nothing, tick after tick: its first failure, a
// reminder once five minutes have passed (not before), and one line when it
// answers again. A server that answers with an error is no outage.
TEST_F(ServiceHttp, AnOutageIsSaidWhenItStartsEveryFiveMinutesAndWhenItEnds) {
    start(R"({"faults": [{"match": "", "reply": "drop"}]})");
    QByteArray doc;
    const QString server = url.section('/', 0, 2) + "/";
    for (int tick = 0; tick < 3; ++tick) {
        EXPECT_FALSE(modGlobal_HttpGet(url + "client.pl?status&task_id=1", false, doc));
        nowMs += 60 * 1000;
    }
    ASSERT_EQ(logged().size(), 1) << qPrintable(logged().join("\n"));
    nowMs += 2 * 60 * 1000;  // five minutes since the first line
    EXPECT_FALSE(modGlobal_HttpGet(url + "client.pl?status&task_id=1", false, doc));
    EXPECT_FALSE(modGlobal_HttpGet(url + "client.pl?status&task_id=2", false, doc));
    ASSERT_TRUE(sim.reload("{}"));
    nowMs += 60 * 1000;
    EXPECT_TRUE(modGlobal_HttpGet(url + "client.pl?version", false, doc));
    EXPECT_TRUE(modGlobal_HttpGet(url + "client.pl?version", false, doc));
    const QStringList lines = logged();
    ASSERT_EQ(lines.size(), 3) << qPrintable(lines.join("\n"));
    EXPECT_TRUE(lines[0].contains("; the Sorvex server at " + server + " is out of reach")) << qPrintable(lines[0]);
    EXPECT_TRUE(lines[1].startsWith("Error| |The Sorvex server at " + server + " is still out of reach after 5 minutes: "))
        << qPrintable(lines[1]);
    EXPECT_EQ(lines[2], "Event| |The Sorvex server at " + server + " answers again (out of reach for 6 minutes)");
}
