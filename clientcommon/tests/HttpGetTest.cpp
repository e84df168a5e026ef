#include "ClientSim.h"

#include "clientcommon/HttpGet.h"
#include "common/HttpGetCore.h"
#include "common/Secrets.h"

using namespace tavrel;

namespace {

QStringList column(const QList<QStringList>& rows, int index) {
    QStringList c;
    for (const QStringList& r : rows) c.append(r.value(index));
    return c;
}

// The requests as the proxy saw them (it passes them on to the server, which logs them too).
QList<QStringList> proxied(const QList<QStringList>& rows) {
    QList<QStringList> p;
    for (const QStringList& r : rows)
        if (r.value(0) == "proxy") p.append(r);
    return p;
}

}  // namespace

TEST(HttpGetCore, ProbeObjectSitsBesideTheDocument) {
    EXPECT_EQ(common::probeObject("/sorvex/cgi/client.pl?status"), "/sorvex/cgi/client.pl?version");
    EXPECT_EQ(common::probeObject("/x/get_params.pl?file=a/b"), "/x/client.pl?version");
    EXPECT_EQ(common::probeObject(""), "client.pl?version");
    EXPECT_EQ(common::httpVersionText(0), "HTTP/1.0");
    EXPECT_EQ(common::winInetErrorText(12002), "The operation timed out");
    EXPECT_EQ(common::winInetErrorText(99999), "Error number 99999");
}

TEST(Secrets, PasswordsAreHidden) {
    struct Row {
        const char* in;
        const char* out;
    } rows[] = {
        {"login.pl?action=login&username=al&password=s3cr%20t&x=1", "login.pl?action=login&username=al&password=***&x=1"},
        {"Unable to open http://u:pw@h/x : e", "Unable to open http://u:***@h/x : e"},
        {"PASSWORD=abc", "PASSWORD=***"},
        {"no secrets here http://h:80/a", "no secrets here http://h:80/a"},
        // Connection strings as their parser reads them.
        {"Provider=PostgreSQL;User ID=u;Password = s3cret;Initial Catalog=t", "Provider=PostgreSQL;User ID=u;Password = ***;Initial Catalog=t"},
        {"x;Password='it''s; secret';y=1", "x;Password='***';y=1"},
        {"Password=\"say \"\"hi\"\"\";y=1", "Password=\"***\";y=1"},
        {"Password=\vs3cret;y=1", "Password=\v***;y=1"},
        {"pwd=abc def", "pwd=***"},
        {"Problem: Password=abc\r\nnext line", "Problem: Password=***\r\nnext line"},
        // URLs as their splitter reads them: the user info ends at the last "@".
        {"at http://ann@lab.org:pw@h:8/cgi/ now", "at http://ann@lab.org:***@h:8/cgi/ now"},
        {"https://u:p@ss@h/x", "https://u:***@h/x"},
        {"http://user@h/x", "http://user@h/x"},
        {"http://h/x?password=p%26w&next=1 done", "http://h/x?password=***&next=1 done"},
        {"at http://my user:pw@h/x", "at http://my user:***@h/x"},  // the splitter takes the blank too
        {"x=1;Password='\nsec\nret';y=2", "x=1;Password='***';y=2"},
    };
    for (const Row& r : rows) EXPECT_EQ(common::maskSecrets(r.in), r.out) << r.in;
}

TEST_F(ClientSim, ProbeThenDocumentWithVersionAndAgent) {
    start();
    QByteArray doc;
    ASSERT_TRUE(modGlobal_HttpGet(url + "get_params.pl", false, doc)) << qPrintable(boxes.texts.join("|"));
    EXPECT_TRUE(doc.contains("[DB]"));
    auto rows = sim.requests();
    EXPECT_EQ(column(rows, 2), QStringList({"/sorvex/cgi/client.pl?version", "/sorvex/cgi/get_params.pl"}));
    EXPECT_EQ(column(rows, 3), QStringList({"HTTP/1.1", "HTTP/1.1"}));
    EXPECT_EQ(rows.value(0).value(9), "agent=Sorvex Tavrel " TAVREL_PROJECT_VERSION);  // the build's version

    // HTTP/1.0 takes effect on a fresh session as on the old one.
    sim.clearLog();
    Protocol = 0;
    ASSERT_TRUE(modGlobal_HttpGet(url + "client.pl?version", false, doc));
    rows = sim.requests();
    EXPECT_EQ(column(rows, 2), QStringList({"/sorvex/cgi/client.pl?version", "/sorvex/cgi/client.pl?version"}));
    EXPECT_EQ(column(rows, 3), QStringList({"HTTP/1.0", "HTTP/1.0"}));
}

TEST_F(ClientSim, WebAuthenticationRounds) {
    start(R"({"httpAuth": {"user": "web", "password": "wpw"}})");
    struct Row {
        const char* user;
        const char* password;
        bool ok;
        QStringList auth;  // Authorization of each logged request
    } rows[] = {
        {"web", "wpw", true, {"auth=none", "auth=basic:web", "auth=basic:web"}},
        {"web", "bad", false, {"auth=none", "auth=basic:web", "auth=basic:web"}},
        {"", "", false, {"auth=none", "auth=none", "auth=none"}},
    };
    for (const Row& r : rows) {
        sim.clearLog();
        boxes.texts.clear();
        WebUserName = r.user;
        WebPassword = r.password;
        QByteArray doc;
        EXPECT_EQ(modGlobal_HttpGet(url + "get_params.pl", false, doc), r.ok) << r.password;
        EXPECT_EQ(column(sim.requests(), 4), r.auth) << r.password;
        if (!r.ok) {
            EXPECT_EQ(boxes.texts, QStringList{"Sorvex Server authentication failed (HTTP error status code 401)"});
        }
    }
}

TEST_F(ClientSim, ProxyAuthenticationRounds) {
    start(R"({"proxy": {"user": "pu", "password": "ppw"}})", {.proxy = true});
    AccessType = 2;
    Proxy = QStringLiteral("127.0.0.1:%1").arg(sim.proxyPort());
    ProxyUserName = "pu";
    ProxyPassword = "ppw";
    QByteArray doc;
    ASSERT_TRUE(modGlobal_HttpGet(url + "get_params.pl", false, doc)) << qPrintable(boxes.texts.join("|"));
    auto rows = proxied(sim.requests());
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(column(rows, 5), QStringList({"proxyauth=none", "proxyauth=basic:pu", "proxyauth=basic:pu"}));

    // A wrong proxy password: three probes on a new session, then the failure.
    InternetSession.reset();
    ProxyPassword = "wrong";
    sim.clearLog();
    EXPECT_FALSE(modGlobal_HttpGet(url + "get_params.pl", false, doc));
    EXPECT_EQ(proxied(sim.requests()).size(), 3);
    EXPECT_EQ(boxes.texts, QStringList{"Proxy server authentication failed (HTTP error status code 407)"});
}

TEST_F(ClientSim, FailuresOfProbeAndDocument) {
    struct Row {
        const char* fault;
        const char* program;
        int requests;
        QString message;  // expected start of the message ("%1" = the URL)
    } rows[] = {
        {R"({"match": "client.pl?version", "status": 305})", "get_params.pl", 1,
         "Must use proxy to access Sorvex Server (HTTP error status code 305)"},
        {R"({"match": "client.pl?version", "status": 404})", "get_params.pl", 1,
         "Sorvex Server returned HTTP error status code 404"},
        {R"({"match": "get_params.pl", "status": 404})", "get_params.pl", 2,
         "Sorvex Server returned HTTP error status code 404 for %1"},
        {R"({"match": "get_params.pl", "reply": "empty"})", "get_params.pl", 2, "Empty document returned by %1"},
        {R"({"match": "get_params.pl", "reply": "truncated"})", "get_params.pl", 2, "InternetReadFile error (%1): "},
        {R"({"match": "get_params.pl", "reply": "drop"})", "get_params.pl", 2, "Error on HttpSendRequest: "},
    };
    for (const Row& r : rows) {
        start(QByteArray(R"({"faults": [)") + r.fault + "]}");
        boxes.texts.clear();
        const QString target = url + r.program;
        QByteArray doc = "untouched";
        EXPECT_FALSE(modGlobal_HttpGet(target, false, doc)) << r.fault;
        EXPECT_EQ(sim.requests().size(), r.requests) << r.fault;
        ASSERT_EQ(boxes.texts.size(), 1) << r.fault;
        EXPECT_TRUE(boxes.texts[0].startsWith(QString(r.message).replace("%1", target))) << qPrintable(boxes.texts[0]);
        // Quiet: the same answer without a box.
        boxes.texts.clear();
        EXPECT_FALSE(modGlobal_HttpGet(target, true, doc));
        EXPECT_TRUE(boxes.texts.isEmpty());
        sim.stop();
    }
}

// A request that got no answer says where it went, so that a wrong address
// or a server that is down can be told from other failures.
TEST_F(ClientSim, ARequestWithoutAnAnswerNamesItsAddress) {
    start("{}");
    const QString gone = url;
    sim.stop();  // nobody listens at the address any more
    QByteArray doc;
    EXPECT_FALSE(modGlobal_HttpGet(gone + "get_params.pl", false, doc));
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].startsWith("Error on HttpSendRequest: ")) << qPrintable(boxes.texts[0]);
    // The probe that went first, and the document it was for.
    EXPECT_TRUE(boxes.texts[0].endsWith(" (" + gone + "client.pl?version, asked before " + gone + "get_params.pl)"))
        << qPrintable(boxes.texts[0]);
}

TEST_F(ClientSim, CredentialsInTheUrlAreRefusedAndNeverShown) {
    start(R"({"faults": [{"match": "login.pl", "status": 500}]})");
    QByteArray doc;
    QString embedded = url;
    embedded.replace("http://", "http://u:secret@");
    EXPECT_FALSE(modGlobal_HttpGet(embedded + "get_params.pl", false, doc));
    EXPECT_TRUE(sim.requests().isEmpty());
    EXPECT_EQ(boxes.texts, QStringList{"User name and password for authentication must be entered into the "
                                       "Authentication tab, not embedded in the Sorvex Server URL"});

    boxes.texts.clear();
    EXPECT_FALSE(modGlobal_HttpGet(url + "login.pl?action=login&username=al&password=secret", false, doc));
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_FALSE(boxes.texts[0].contains("secret"));
    EXPECT_TRUE(boxes.texts[0].contains("password=***"));
}

TEST_F(ClientSim, HttpsVerifiesTheServer) {
    start("{}", {.https = true});
    qputenv("TAVREL_TEST_CA_FILE", testsupport::SorvexSim::caFile().toLocal8Bit());
    QByteArray doc;
    EXPECT_TRUE(modGlobal_HttpGet(sim.httpsUrl() + "get_params.pl", false, doc)) << qPrintable(boxes.texts.join("|"));
    EXPECT_EQ(column(sim.requests(), 0), QStringList({"https", "https"}));

    start("{}", {.https = true, .cert = "wronghost"});
    boxes.texts.clear();
    EXPECT_FALSE(modGlobal_HttpGet(sim.httpsUrl() + "get_params.pl", false, doc));
    // The probe that goes first names the document it was asked before.
    EXPECT_EQ(boxes.texts, QStringList{"Error on HttpSendRequest: The server's security certificate was issued for a "
                                       "different host name (" + sim.httpsUrl() + "client.pl?version, asked before " +
                                       sim.httpsUrl() + "get_params.pl)"});
}

TEST_F(ClientSim, SessionKeepsItsFirstAccessTypeAndTimesOut) {
    start(R"({"faults": [{"match": "ms-geterror", "delayMs": 4000}]})");
    QByteArray doc;
    ASSERT_TRUE(modGlobal_HttpGet(url + "client.pl?version", true, doc));
    AccessType = 2;
    Proxy = "127.0.0.1:1";  // nobody there: used only if the session had been reopened
    EXPECT_TRUE(modGlobal_HttpGet(url + "client.pl?version", true, doc));

    InternetSession.reset();
    AccessType = 1;
    TimeOut = 1;
    EXPECT_FALSE(modGlobal_HttpGet(url + "ms-geterror.exe?1", false, doc));
    EXPECT_EQ(boxes.texts, QStringList{"Error on HttpSendRequest: The operation timed out (" + url + "ms-geterror.exe?1)"});
}

TEST_F(ClientSim, ShortTimeoutsHoldForTheOpenSessionAndEndWithTheirGuard) {
    start(R"({"faults": [{"match": "ms-geterror", "delayMs": 3000}]})");
    AccessType = 1;
    TimeOut = 3600;
    QByteArray doc;
    ASSERT_TRUE(modGlobal_HttpGet(url + "client.pl?version", true, doc));  // the session is open now
    {
        ShortHttpTimeouts shortWaits(1);
        EXPECT_EQ(TimeOut, 1);
        EXPECT_FALSE(modGlobal_HttpGet(url + "ms-geterror.exe?1", true, doc));
    }
    EXPECT_EQ(TimeOut, 3600);
    EXPECT_TRUE(modGlobal_HttpGet(url + "ms-geterror.exe?1", true, doc));
    // A longer wait than the setting's is never taken.
    TimeOut = 5;
    {
        ShortHttpTimeouts longer(60);
        EXPECT_EQ(TimeOut, 5);
    }
}
