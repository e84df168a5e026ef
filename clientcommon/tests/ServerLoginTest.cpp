#include "ClientSim.h"

#include "clientcommon/ServerLogin.h"
#include "common/ServerReplies.h"
#include "common/UrlEncode.h"

using namespace tavrel;

namespace {

const QByteArray kSecured = R"({
  "security": true,
  "users": [
    {"name": "alice", "password": "p w&", "id": 3, "fullName": "Alice A", "email": "a@example.org"},
    {"name": "bob", "password": "pw", "id": 70000, "number": 2, "permissions": [19]},
    {"name": "olga", "password": "pw", "id": 5, "ostrane": true}
  ]})";

QStringList withAction(const QStringList& targets, const QString& action) {
    QStringList found;
    for (const QString& t : targets)
        if (t.contains("action=" + action)) found.append(t);
    return found;
}

}  // namespace

TEST(ServerReplies, UserListAndLoginReply) {
    const QString list = "\"alice\",\"3\",\"0\",\"Alice A\",\"a@example.org\"\r\n"
                         "\"four\",\"4\",\"0\",\"fields\"\r\n"
                         "no quotes at all\r\n"
                         "\"big\",\"70000\",\"2.5\",\"B\",\"b@x\"\r\n"
                         "\"huge\",\"9999999999\",\"0\",\"H\",\"h@x\"";
    const QList<common::ServerUser> users = common::parseUserList(list);
    ASSERT_EQ(users.size(), 2);
    EXPECT_EQ(users[0], (common::ServerUser{"alice", 3, 0, "Alice A", "a@example.org"}));
    EXPECT_EQ(users[1].user_id, 70000);
    EXPECT_EQ(users[1].user_number, 2);  // halves go to the even number
    EXPECT_TRUE(common::parseUserList("").isEmpty());

    auto reply = common::parseLoginReply("error=-4\nerrorstring=Need a = sign\nsessionID=\nerror=5");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->error, 5);
    EXPECT_EQ(reply->errorString, "Need a = sign");
    EXPECT_EQ(reply->sessionID, QString(""));
    EXPECT_FALSE(common::parseLoginReply("<html>error=1 errorstring=</html>"));

    EXPECT_EQ(common::modGlobal_UrlEncode("a b_c\t-.Z9"), "a%20b_c%09%2D%2EZ9");
    EXPECT_EQ(common::withSessionID("get_params.pl?Show=MS_USERS&sessionID=S1_x&y=1", "S1_x", "S2_y"),
              "get_params.pl?Show=MS_USERS&sessionID=S2_y&y=1");
}

TEST_F(ClientSim, SecurityOffKeepsTheFreeSession) {
    start(R"({"security": false})");
    bool security = true;
    ASSERT_TRUE(modGlobal_SorvexLogin(url, "alice", "pw", security));
    EXPECT_FALSE(security);
    EXPECT_FALSE(ServerSessionID.isEmpty());
    EXPECT_EQ(withAction(sim.targets(), "login").size(), 0);
    EXPECT_TRUE(boxes.texts.isEmpty());
}

TEST_F(ClientSim, UserLoginPathsAndMessages) {
    start(kSecured);
    struct Row {
        const char* user;
        const char* password;
        bool ok;
        QString box;
    } rows[] = {
        {"alice", "p w&", true, ""},
        {"alice", "wrong", false, "Unable to login to Sorvex Server: "},
        {"olga", "pw", false,
         "Unable to login to Sorvex Server: Cannot use a Sorvex Ostrane login from Sorvex Tavrel"},
        {"", "", false, "A user name and password are required to login to this Sorvex Server"},
    };
    for (const Row& r : rows) {
        boxes.texts.clear();
        sim.clearLog();
        bool security = false;
        EXPECT_EQ(modGlobal_SorvexLogin(url, r.user, r.password, security), r.ok) << r.user << r.password;
        if (r.ok) {
            EXPECT_TRUE(security);
            EXPECT_FALSE(ServerSessionID.isEmpty());
            EXPECT_TRUE(boxes.texts.isEmpty());
            EXPECT_TRUE(sim.targets().join(" ").contains("username=alice&password=p%20w%26"));
        } else {
            ASSERT_EQ(boxes.texts.size(), 1) << r.user;
            EXPECT_TRUE(boxes.texts[0].startsWith(r.box)) << qPrintable(boxes.texts[0]);
            EXPECT_EQ(boxes.titles[0], "Sorvex Tavrel");
        }
        if (QString(r.user).isEmpty()) {  // web authentication first, then the guest login
            const QString all = sim.targets().join(" ");
            EXPECT_LT(all.indexOf("action=webauthentication"), all.indexOf("action=guestlogin"));
        }
    }
}

TEST_F(ClientSim, WebAndGuestLogins) {
    start(QByteArray(R"({"security": true, "webAuthentication": true, "guestLogin": true,
                         "httpAuth": {"user": "alice", "password": "pw"},
                         "users": [{"name": "alice", "password": "pw", "id": 3}]})"));
    WebUserName = "alice";
    WebPassword = "pw";
    bool security = false;
    ASSERT_TRUE(modGlobal_SorvexLogin(url, "", "", security));
    EXPECT_TRUE(security);
    EXPECT_EQ(withAction(sim.targets(), "guestlogin").size(), 0);

    sim.stop();  // a server that does not answer: success without a session
    security = true;
    EXPECT_TRUE(modGlobal_SorvexLogin(url, "alice", "pw", security));
    EXPECT_FALSE(security);
    EXPECT_TRUE(ServerSessionID.isEmpty());
    EXPECT_TRUE(boxes.texts.isEmpty());
}

TEST_F(ClientSim, PermissionCheck) {
    start(kSecured);
    ASSERT_TRUE(modGlobal_SorvexLogin(url, "alice", "p w&", ServerSecurityEnabled));
    EXPECT_TRUE(modGlobal_CheckSessionPermitted(url, false));

    const QString held = ServerSessionID;
    ServerSessionID = held + "x";  // a reply that names another session is refused
    EXPECT_FALSE(modGlobal_CheckSessionPermitted(url, false));
    EXPECT_EQ(boxes.texts, QStringList{"Sorvex Tavrel is not permitted to connect to " + url});

    ServerSessionID = held;
    sim.stop();
    boxes.texts.clear();
    EXPECT_FALSE(modGlobal_CheckSessionPermitted(url, true));
    EXPECT_TRUE(boxes.texts.isEmpty());
    EXPECT_FALSE(modGlobal_CheckSessionPermitted(url, false));
    EXPECT_EQ(boxes.texts.last(), "Unable to connect to " + url);
}

TEST_F(ClientSim, LapsedSessionLogsInAgainWithTheNewId) {
    start(kSecured);
    SorvexUserName = "alice";
    SorvexPassword = "p w&";
    ASSERT_TRUE(modGlobal_SorvexLogin(url, SorvexUserName, SorvexPassword, ServerSecurityEnabled));
    const QString first = ServerSessionID;
    ASSERT_TRUE(sim.expireSessions());
    sim.clearLog();
    const QByteArray doc = modGlobal_GetHttpDocWithLogin(url, "get_params.pl?sessionID=" + first);
    EXPECT_TRUE(doc.contains("[DB]")) << doc.constData();
    EXPECT_NE(ServerSessionID, first);
    EXPECT_TRUE(sim.targets().contains("/sorvex/cgi/get_params.pl?sessionID=" + ServerSessionID));

    // No session while the server's security is on: log in, never "permitted".
    ServerSessionID.clear();
    sim.clearLog();
    EXPECT_FALSE(modGlobal_GetHttpDocWithLogin(url, "get_params.pl").isEmpty());
    EXPECT_EQ(withAction(sim.targets(), "login").size(), 1);

    // A login that cannot reach the server fails: nothing is fetched.
    ASSERT_TRUE(sim.expireSessions());
    ASSERT_TRUE(sim.reload(QByteArray(kSecured).replace("\"security\": true",
                                                        R"("security": true, "faults": [{"match": "login.pl", "reply": "drop"}])")));
    sim.clearLog();
    EXPECT_TRUE(modGlobal_GetHttpDocWithLogin(url, "get_params.pl?sessionID=" + ServerSessionID).isEmpty());
    EXPECT_FALSE(sim.targets().join(" ").contains("get_params.pl"));
}

TEST_F(ClientSim, UserList) {
    start(kSecured);
    EXPECT_FALSE(modGlobal_GetSpoofList(url));  // no session held

    SorvexUserName = "alice";
    SorvexPassword = "p w&";
    ASSERT_TRUE(modGlobal_SorvexLogin(url, SorvexUserName, SorvexPassword, ServerSecurityEnabled));
    ASSERT_TRUE(modGlobal_GetSpoofList(url)) << qPrintable(boxes.texts.join("|"));
    ASSERT_EQ(ServerUser.size(), 3);
    EXPECT_EQ(ServerUser[0], (common::ServerUser{"alice", 3, 0, "Alice A", "a@example.org"}));
    EXPECT_EQ(ServerUser[1].user_id, 70000);

    // bob may connect but not read the list.
    ASSERT_TRUE(modGlobal_SorvexLogin(url, "bob", "pw", ServerSecurityEnabled));
    ServerUser.clear();
    EXPECT_FALSE(modGlobal_GetSpoofList(url));
    EXPECT_TRUE(ServerUser.isEmpty());
}
