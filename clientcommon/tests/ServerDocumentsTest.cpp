#include "ClientSim.h"

#include "clientcommon/HttpGet.h"
#include "clientcommon/ServerDocuments.h"

#include <QDir>

using namespace tavrel;

TEST(VersionCompare, FieldByField) {
    struct Row {
        const char* a;
        const char* b;
        bool atLeast;
    } rows[] = {
        {"2.2", "2.2", true},          {"2.2", "2.2.101", false}, {"2.2.101", "2.2", true},
        {"2.10", "2.9", true},         {"1.10", "1.6", true},     {"1.6", "1.10", false},
        {"1.1000", "2.0", false},      {"3", "2.2.101", true},    {"2.2.101b", "2.2.101", true},
        {"x2.2", "1", false},          {"", "1", false},          {"2.2", "0", false},
        {"2.2", "", false},            {"0.9", "0.1", false},
    };
    for (const Row& r : rows) EXPECT_EQ(modGlobal_IsVersionAtLeast(r.a, r.b), r.atLeast) << r.a << " vs " << r.b;
}

TEST_F(ClientSim, ServerDatHoldsTheDocumentAsOneQuotedRecord) {
    start();
    QByteArray document;
    ASSERT_TRUE(modGlobal_HttpGet(url + "get_params.pl", true, document));
    ASSERT_TRUE(modGlobal_GetServerParameters(url)) << qPrintable(boxes.texts.join("|"));
    const QString path = home.file("server.dat");
    EXPECT_EQ(testsupport::readFile(path), "\"" + document + "\"\r\n");
    EXPECT_EQ(QDir(home.path()).entryList(QDir::Files), QStringList{"server.dat"});  // no temporary left behind

    // A document without [CLE]: the whole document is shown and the old file stays.
    start(R"({"params": {"CLE": null}})");
    EXPECT_FALSE(modGlobal_GetServerParameters(url));
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].startsWith("Unable to retrieve Sorvex server parameters from\r\n" + url +
                                          "\r\nThe returned document was:\r\n[DB]"));
    EXPECT_EQ(testsupport::readFile(path), "\"" + document + "\"\r\n");
}

TEST_F(ClientSim, ServerVersionReplies) {
    struct Row {
        QByteArray scenario;
        bool ok;
        QString version;
        int requests;  // probe + document for each fetch
    } rows[] = {
        {"{}", true, "2.2.101", 4},
        {R"({"versionReply": "Version 2.2.101\r\n"})", true, "2.2.101", 4},
        {R"({"versionReply": "abcdefg1.5 \n"})", true, "1.5", 4},
        {R"({"versionReply": "Vers"})", false, "Vers", 4},
        {R"({"createTaskIdReply": "taskid=0\nactionstring=go\n"})", false, "", 2},
        {R"({"createTaskIdReply": "problem\n"})", false, "", 2},
        {R"({"createTaskIdReply": "taskid=12\n"})", false, "", 2},
    };
    for (const Row& r : rows) {
        start(r.scenario);
        ServerVersion.clear();
        EXPECT_EQ(modGlobal_GetServerVersion(url), r.ok) << r.scenario.constData();
        EXPECT_EQ(ServerVersion, r.version) << r.scenario.constData();
        EXPECT_EQ(sim.requests().size(), r.requests) << r.scenario.constData();
        sim.stop();
    }
}

TEST_F(ClientSim, ErrorScriptProbe) {
    start();
    EXPECT_TRUE(modGlobal_ProbeGetErrorScript(url));
    start(R"({"errorMessages": {"1": "Something else"}})");
    EXPECT_FALSE(modGlobal_ProbeGetErrorScript(url));
    sim.stop();
    EXPECT_FALSE(modGlobal_ProbeGetErrorScript(url));
    EXPECT_EQ(boxes.texts.size(), 1);  // the engine's own message, not quiet
}
