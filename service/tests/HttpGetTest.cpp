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
    }
    void TearDown() override {
        EventLogStream::close();
        InternetHandle.reset();
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
    EXPECT_EQ(logged(), QStringList{"Error| |Registry contains conflicting passwords for web server authentication"});
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
    const QStringList lines = logged();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("Error| |Error on HttpSendRequest: ")) << qPrintable(lines[0]);
}
