#include "ClientSim.h"

#include "clientcommon/LoadPreferences.h"
#include "common/Password.h"
#include "common/Preferences.h"
#include "common/Settings.h"
#include "clientcommon/TaskDatabase.h"
#include "common/TaskDbConnection.h"
#include "platform/AdoConnection.h"
#include "platform/testsupport/TestSupport.h"


using namespace tavrel;

namespace {

const QByteArray kSecured = R"({"security": true, "users": [
    {"name": "alice", "password": "pw", "id": 3},
    {"name": "nobody", "password": "pw", "id": 4, "permissions": [22]}]})";

class LoadPreferences : public ClientSim {
protected:
    void SetUp() override {
        ClientSim::SetUp();
        if (IsSkipped()) return;
        DefaultConnectionString = common::defaultConnectionString(ProgramFolder);
        platform::AdoConnection::createDatabase(DefaultConnectionString);
        previousSplash = setSplashMessage([this](const QString& text) { splash.append(text); });
    }
    void TearDown() override {
        if (!IsSkipped()) setSplashMessage(previousSplash);
        common::ProgramTaskDatabase.close();
        ClientSim::TearDown();
    }

    void save(const QString& name, const QVariant& value) {
        ASSERT_TRUE(common::modGlobal_SaveSetting("Sorvex Tavrel", common::PreferencesSection, name, value));
    }
    // A server that answers, reached directly.
    void workingServer(const QByteArray& scenario = "{}") {
        start(scenario);
        save("BaseUrl", url);
        save("AccessType", "1");
    }
    bool asked(const QString& program) const { return sim.targets().join(' ').contains(program); }

    QStringList splash;
    SplashMessage previousSplash;
};

}  // namespace

TEST_F(LoadPreferences, OnlyAnAddressGivesEveryDefaultAndOpensTheDatabase) {
    start();
    save("BaseUrl", url);  // 20 characters and more, "http://"
    ASSERT_TRUE(modGlobal_LoadPreferences()) << qPrintable(boxes.texts.join('\n'));
    EXPECT_TRUE(boxes.texts.isEmpty());
    EXPECT_TRUE(TaskDbConnection.isOpen());
    EXPECT_EQ(ADOConnect, DefaultConnectionString);
    EXPECT_EQ(PeakListRoot, home.path() + "/qpl");
    EXPECT_EQ(QList<int>({TimeOut, AccessType, Protocol, TimerTick, TaskCheckInterval}),
              QList<int>({3600, 0, 1, 10, 60}));
    for (int i = 0; i < common::ImportFilterCount; ++i) {
        EXPECT_EQ(ImportFilterName[i], common::importFilterName(i));
        EXPECT_EQ(ImportFilterOptions[i], common::builtInImportFilterOptions(i)) << i;
    }
    EXPECT_EQ(ImportFilterDefaultOptions, ImportFilterOptions);
    EXPECT_EQ(splash, QStringList{"Connecting to task database"});
    EXPECT_TRUE(asked("client.pl?version"));
}

TEST_F(LoadPreferences, AMissingOrMalformedAddressGivesStatusZeroBeforeAnyRequest) {
    start();
    const struct {
        const char* title;
        QList<QPair<QString, QVariant>> settings;
    } cases[] = {
        {"no section", {}},
        {"no address", {{"TimerTick", "5"}}},
        {"empty address", {{"BaseUrl", ""}}},
        {"scheme in capitals", {{"BaseUrl", "HTTP://127.0.0.1/sorvex/cgi/"}}},
        {"nine characters", {{"BaseUrl", "http://ab"}}},
        {"another scheme", {{"BaseUrl", "ftp://127.0.0.1/sorvex/cgi/"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        testsupport::TempHome fresh;  // an empty settings store
        ProgramFolder = home.path();
        for (const auto& [name, value] : c.settings) save(name, value);
        StartupStatus = 99;
        EXPECT_FALSE(modGlobal_LoadPreferences());
        EXPECT_EQ(StartupStatus, 0);
        EXPECT_TRUE(boxes.texts.isEmpty());
        EXPECT_TRUE(sim.targets().isEmpty());
        EXPECT_FALSE(TaskDbConnection.isOpen());
    }
}

TEST_F(LoadPreferences, AnalystOptionsAreTakenFromEighteenFields) {
    workingServer();
    const QString seventeen = QStringList(17, "0").join(','), eighteen = QStringList(18, "0").join(',');
    save("TaskOptionsAnalyst", seventeen);
    save("TaskOptionsVoyager", "True,1");
    ASSERT_TRUE(modGlobal_LoadPreferences());
    EXPECT_EQ(ImportFilterOptions[common::FilterAnalyst], common::builtInImportFilterOptions(common::FilterAnalyst));
    EXPECT_EQ(ImportFilterDefaultOptions[common::FilterVoyager], "True,1");
    common::ProgramTaskDatabase.close();

    save("TaskOptionsAnalyst", eighteen);
    ASSERT_TRUE(modGlobal_LoadPreferences());
    EXPECT_EQ(ImportFilterOptions[common::FilterAnalyst], eighteen);
}

TEST_F(LoadPreferences, AServerThatDoesNotAnswerOrRefusesGivesNoDatabase) {
    const quint16 port = testsupport::closedLocalPort();
    save("BaseUrl", QStringLiteral("http://127.0.0.1:%1/sorvex/cgi/").arg(port));
    save("AccessType", "1");
    EXPECT_FALSE(modGlobal_LoadPreferences());
    EXPECT_EQ(StartupStatus, 0) << "nobody at the address: the address is to change";
    EXPECT_EQ(boxes.texts.size(), 1);  // the GET engine's own message
    EXPECT_FALSE(TaskDbConnection.isOpen());

    workingServer(kSecured);
    const struct {
        const char* user;
        const char* password;
    } refused[] = {{"alice", "wrong"}, {"nobody", "pw"}};  // wrong password; session not permitted
    for (const auto& r : refused) {
        SCOPED_TRACE(r.user);
        boxes.texts.clear();
        ImportFilterDefaultOptions = {};
        save("SorvexUserName", r.user);
        save("SorvexPassword", common::modGlobal_EncodePassword(r.password));
        EXPECT_FALSE(modGlobal_LoadPreferences());
        EXPECT_EQ(StartupStatus, 4);
        EXPECT_EQ(boxes.texts.size(), 1);
        EXPECT_TRUE(ServerSessionID.isEmpty());
        EXPECT_FALSE(TaskDbConnection.isOpen());
        EXPECT_TRUE(ImportFilterDefaultOptions[common::FilterLcq].isEmpty());  // replaced only after the server steps
        EXPECT_TRUE(splash.isEmpty());
    }
}

TEST_F(LoadPreferences, ADatabaseThatDoesNotOpenGivesStatusTwoAfterTheServerSteps) {
    workingServer();
    const struct {
        const char* connection;
        const char* box;
    } cases[] = {
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/nonexistent/TaskDB.mdb", "Error number 80004005\r\n\r\n"},
        {"Provider=Other;Password=s3cret", "Error number E7A\r\n\r\nProvider cannot be found"},
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"unclosed", "Invalid connection string"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.connection);
        boxes.texts.clear();
        ImportFilterDefaultOptions = {};
        save("ADOConnect", c.connection);
        EXPECT_FALSE(modGlobal_LoadPreferences());
        EXPECT_EQ(StartupStatus, 2);
        ASSERT_EQ(boxes.texts.size(), 1);
        EXPECT_TRUE(boxes.texts[0].startsWith("Problem connecting to task database.\r\n\r\nError number "));
        EXPECT_TRUE(boxes.texts[0].contains(c.box)) << qPrintable(boxes.texts[0]);
        EXPECT_FALSE(boxes.texts[0].contains("s3cret"));
        EXPECT_EQ(ImportFilterDefaultOptions[common::FilterLcq], common::builtInImportFilterOptions(common::FilterLcq));
        EXPECT_FALSE(TaskDbConnection.isOpen());
    }
}

// A stored value the client cannot use names itself and sends the user to
// its page; the server is not asked.
TEST_F(LoadPreferences, AValueThatCannotBeUsedGivesThePageThatHoldsIt) {
    start();
    const struct {
        const char* name;
        QVariant stored;
        qint16 status;
        QString box;
    } cases[] = {
        {"TimeOut", "an hour", 0, "The setting TimeOut = \"an hour\" of the preferences cannot be used: Type mismatch"},
        {"AccessType", "7", 0,
         "The setting AccessType = \"7\" of the preferences cannot be used: Out of range (0 to 2)"},
        {"TimerTick", "0", 3,
         "The setting TimerTick = \"0\" of the preferences cannot be used: Out of range (1 or more)"},
        {"TaskCheckInterval", "99999", 3,
         "The setting TaskCheckInterval = \"99999\" of the preferences cannot be used: Overflow"},
        {"SorvexPassword", " 99999 s3cret", 4,
         "The setting SorvexPassword of the preferences cannot be used: Invalid procedure call or argument"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempHome fresh;
        ProgramFolder = home.path();
        save("BaseUrl", url);
        save(c.name, c.stored);
        boxes.texts.clear();
        EXPECT_FALSE(modGlobal_LoadPreferences());
        EXPECT_EQ(StartupStatus, c.status);
        EXPECT_EQ(boxes.texts, QStringList{c.box});
        EXPECT_TRUE(sim.targets().isEmpty());
        EXPECT_FALSE(TaskDbConnection.isOpen());
    }
}

TEST_F(LoadPreferences, EveryCallStartsAgainFromTheDefaults) {
    workingServer();
    save("TaskCheckInterval", "15");
    save("Proxy", "proxy.lab:8080");
    ASSERT_TRUE(modGlobal_LoadPreferences());
    EXPECT_EQ(TaskCheckInterval, 15);
    common::ProgramTaskDatabase.close();

    testsupport::TempHome fresh;
    ProgramFolder = home.path();
    save("BaseUrl", url);
    save("AccessType", "1");
    ASSERT_TRUE(modGlobal_LoadPreferences());
    EXPECT_EQ(TaskCheckInterval, 60);
    EXPECT_EQ(Proxy, "");
}
