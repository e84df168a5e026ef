#include "service/LoadPreferences.h"

#include "common/Password.h"
#include "common/Preferences.h"
#include "common/Settings.h"
#include "clientcommon/TaskDbSchema.h"
#include "common/UncName.h"
#include "platform/RegistryApi.h"
#include "platform/testsupport/SorvexSim.h"
#include "platform/testsupport/TestDatabase.h"
#include "service/EventLog.h"
#include "service/Globals.h"
#include "service/HttpGet.h"
#include "service/Preferences.h"
#include "service/TaskDb.h"


#include <gtest/gtest.h>

#include <functional>

using namespace tavrelsvc;

namespace {

const QString kApp = QStringLiteral("Sorvex Tavrel");

class LoadPreferences : public ::testing::Test {
protected:
    void SetUp() override {
        ProgramFolder = home.path();
        LocalComputerName = QStringLiteral("LABPC");
        logPath = home.file(kEventLogFileName);
        ASSERT_TRUE(EventLogStream::open(logPath));
        {
            platform::AdoConnection c;
            c.open(db.connectionString());
            ASSERT_TRUE(tavrel::modGlobal_CreateTaskDatabase(c));
        }
        DefaultConnectionString = db.connectionString();
        TaskDbConnection.close();
        InternetHandle.reset();
        scribble();
        previousWriter = setSystemEventWriter([this](int type, long id, const QString& message) {
            systemEvents.append(QStringLiteral("%1|%2|%3").arg(type).arg(id).arg(message));
            return true;
        });
    }
    void TearDown() override {
        setSystemEventWriter(previousWriter);
        TaskDbConnection.close();
        InternetHandle.reset();
        EventLogStream::close();
    }

    // Values no loader would choose, so a default that is not set shows.
    static void scribble() {
        BaseUrl.clear();
        TimeOut = AccessType = Protocol = TimerTick = NoDataDelay = LockedOutDelay = MonitorActionDelay =
            FollowerActionDelay = TaskCheckInterval = TaskOptionsAnalystMerge = 999;
        for (QString* s : {&Proxy, &PeakListRoot, &LcqPath, &ADOConnect, &SorvexUserName, &SorvexPassword,
                           &ProxyUserName, &ProxyPassword, &WebUserName, &WebPassword})
            *s = QStringLiteral("stale");
    }

    void save(const QString& name, const QVariant& value) {
        ASSERT_TRUE(common::modGlobal_SaveSetting(kApp, common::PreferencesSection, name, value));
    }
    void startSim() {
        if (!testsupport::SorvexSim::available()) GTEST_SKIP() << "sorvex-sim is not built";
        ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    }
    // The server and a direct connection, as every case but the failing ones wants.
    void workingServer() {
        startSim();
        save("BaseUrl", sim.baseUrl());
        save("AccessType", "1");
    }
    // "type|message" of each event log line.
    QStringList logged() const {
        QStringList out;
        for (const QByteArray& line : testsupport::readFile(logPath).split('\n')) {
            const QStringList f = splitEventLine(QString::fromUtf8(line).trimmed());
            if (f.size() == 7) out.append(f[0] + "|" + f[6]);
        }
        return out;
    }

    testsupport::TempHome home;
    testsupport::TestDatabase db{testsupport::DbEngine::Sqlite};
    testsupport::SorvexSim sim;
    QString logPath;
    QStringList systemEvents;
    SystemEventWriter previousWriter;
};

TEST_F(LoadPreferences, TakesEveryStoredValue) {
    workingServer();
    if (HasFatalFailure() || IsSkipped()) return;
    const QString shared = home.file("shared");
    {
        platform::RegKeyHandle h;
        ASSERT_EQ(platform::RegCreateKeyEx(platform::HKEY_LOCAL_MACHINE, common::SharesKey, 0,
                                           platform::KEY_ALL_ACCESS, h.out()), 0);
        ASSERT_EQ(platform::RegSetValueEx(h.get(), "data", platform::REG_SZ, shared.toUtf8() + '\0'), 0);
    }
    const QString copy = db.folder() + "/copy.mdb";
    ASSERT_TRUE(QFile::copy(db.file(), copy));
    const QString copyConnection = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + copy;

    struct Row {
        const char* name;
        QVariant stored;
        std::function<QVariant()> loaded;
        QVariant expected;
    };
    const QList<Row> rows = {
        {"TimeOut", "120", [] { return QVariant(TimeOut); }, 120},
        {"Proxy", "proxy.lab:8080", [] { return QVariant(Proxy); }, "proxy.lab:8080"},
        {"Protocol", qint32(0), [] { return QVariant(Protocol); }, 0},
        {"PeakListRoot", R"(\\labpc\DATA\qpl)", [] { return QVariant(PeakListRoot); }, shared + "/qpl"},
        {"LcqPath", R"(\\OTHER\tools\extract_msn)", [] { return QVariant(LcqPath); }, R"(\\OTHER\tools\extract_msn)"},
        {"ADOConnect", copyConnection, [] { return QVariant(ADOConnect); }, copyConnection},
        {"TimerTick", "5", [] { return QVariant(TimerTick); }, 5},
        {"NoDataDelay", qint32(7), [] { return QVariant(NoDataDelay); }, 7},
        {"LockedOutDelay", "0", [] { return QVariant(LockedOutDelay); }, 0},
        {"MonitorActionDelay", "30.5", [] { return QVariant(MonitorActionDelay); }, 30},
        {"FollowerActionDelay", "45", [] { return QVariant(FollowerActionDelay); }, 45},
        {"TaskCheckInterval", "20", [] { return QVariant(TaskCheckInterval); }, 20},
        {"SorvexUserName", "alice", [] { return QVariant(SorvexUserName); }, "alice"},
        {"SorvexPassword", common::modGlobal_EncodePassword("s3cr3t é"), [] { return QVariant(SorvexPassword); },
         "s3cr3t é"},
        {"ProxyUserName", "pu", [] { return QVariant(ProxyUserName); }, "pu"},
        {"ProxyPassword", common::modGlobal_EncodePassword("pp"), [] { return QVariant(ProxyPassword); }, "pp"},
        {"WebUserName", "", [] { return QVariant(WebUserName); }, ""},
        {"WebPassword", "", [] { return QVariant(WebPassword); }, ""},
        {"TaskOptionsAnalystMerge", "-1", [] { return QVariant(TaskOptionsAnalystMerge); }, -1},
    };
    for (const Row& r : rows) save(r.name, r.stored);
    save("FormTop", "12");  // the client's own values are passed over

    ASSERT_TRUE(modGlobal_LoadPreferences()) << qPrintable(logged().join("\n"));
    for (const Row& r : rows) EXPECT_EQ(r.loaded().toString(), r.expected.toString()) << r.name;
    EXPECT_EQ(BaseUrl, sim.baseUrl());
    EXPECT_EQ(AccessType, 1);
    EXPECT_TRUE(TaskDbConnection.isOpen());
    EXPECT_EQ(TaskDbConnection.connectionString(), copyConnection);
    EXPECT_TRUE(sim.targets().contains("/sorvex/cgi/client.pl?version"));
    EXPECT_TRUE(logged().isEmpty());
    EXPECT_TRUE(systemEvents.isEmpty());
}

TEST_F(LoadPreferences, AbsentValuesTakeTheDefaults) {
    startSim();
    if (HasFatalFailure() || IsSkipped()) return;
    save("BaseUrl", sim.baseUrl());
    save("timertick", "5");  // names compare with their letter case
    save("TaskOptionsAnalystMerge", "");  // empty until the client's WIFF probe stores it
    ASSERT_TRUE(modGlobal_LoadPreferences()) << qPrintable(logged().join("\n"));
    EXPECT_EQ(TimerTick, 10);
    EXPECT_EQ(PeakListRoot, home.path() + "/qpl");
    EXPECT_EQ(ADOConnect, DefaultConnectionString);
    EXPECT_EQ(TaskOptionsAnalystMerge, 999);  // has no default: only a stored value changes it
    const common::Preferences d = common::Preferences::defaults(ProgramFolder, DefaultConnectionString);
    EXPECT_EQ(QVariantList({TimeOut, AccessType, Proxy, Protocol, LcqPath, NoDataDelay, LockedOutDelay,
                            MonitorActionDelay, FollowerActionDelay, TaskCheckInterval, SorvexUserName, SorvexPassword,
                            ProxyUserName, ProxyPassword, WebUserName, WebPassword}),
              QVariantList({d.TimeOut, d.AccessType, d.Proxy, d.Protocol, d.LcqPath, d.NoDataDelay, d.LockedOutDelay,
                            d.MonitorActionDelay, d.FollowerActionDelay, d.TaskCheckInterval, d.SorvexUserName,
                            d.SorvexPassword, d.ProxyUserName, d.ProxyPassword, d.WebUserName, d.WebPassword}));
    EXPECT_TRUE(TaskDbConnection.isOpen());
}

// Timers of 0 or less would never tick; what is not a positive number is the default, with a warning.
TEST_F(LoadPreferences, IntervalsThatAreNotPositiveFallBackToTheirDefaults) {
    workingServer();
    if (HasFatalFailure() || IsSkipped()) return;
    const struct {
        QVariant stored;
        qint16 expected;
    } cases[] = {{"0", 10}, {"-5", 10}, {"soon", 10}, {"70000", 10}, {qint32(-1), 10}, {"15", 15}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.toString().toStdString());
        save("TimerTick", c.stored);
        save("TaskCheckInterval", c.stored);
        TimerTick = TaskCheckInterval = 999;
        ASSERT_TRUE(modGlobal_LoadPreferences()) << qPrintable(logged().join("\n"));
        EXPECT_EQ(TimerTick, c.expected);
        EXPECT_EQ(TaskCheckInterval, c.expected == 10 ? 60 : c.expected);
        const QStringList log = logged();
        if (c.expected == 10) {
            ASSERT_GE(log.size(), 2);
            EXPECT_TRUE(log[log.size() - 2].startsWith("Warning|Setting TimerTick = ")) << qPrintable(log.join("\n"));
            EXPECT_TRUE(log.last().endsWith("is not a positive number of seconds, using 60")) << qPrintable(log.last());
        }
        testsupport::writeFile(logPath, {});
        TaskDbConnection.close();
    }
}

enum class Server { None, Running };

struct FailureCase {
    const char* title;
    Server server;
    QList<QPair<QString, QVariant>> settings;  // "<sim>" in a value stands for the server's base URL
    QString message;                           // the start of the message both logs receive
    QString names = {};                        // what it must name after that ("<sim>" as above, "<hive>" the settings file)
};

class LoadPreferencesFailure : public LoadPreferences, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(LoadPreferencesFailure, AnswersFalseAndLogsWhy) {
    const FailureCase& c = GetParam();
    QString url;
    if (c.server == Server::Running) {
        startSim();
        if (HasFatalFailure() || IsSkipped()) return;
        url = sim.baseUrl();
    }
    for (const auto& [name, value] : c.settings) {
        QVariant v = value;
        if (v.typeId() == QMetaType::QString) v = v.toString().replace("<sim>", url);
        save(name, v);
    }

    EXPECT_FALSE(modGlobal_LoadPreferences());
    ASSERT_EQ(systemEvents.size(), 1);
    EXPECT_TRUE(systemEvents[0].startsWith("1|109|" + c.message)) << qPrintable(systemEvents[0]);
    const QString message = systemEvents[0].mid(QStringLiteral("1|109|").size());
    const QString names = QString(c.names).replace("<sim>", url).replace("<hive>", home.file("registry.hive"));
    EXPECT_TRUE(message.mid(c.message.size()).contains(names)) << qPrintable(message);
    const QStringList log = logged();
    ASSERT_FALSE(log.isEmpty());
    EXPECT_EQ(log.last(), "Error|" + message);
    EXPECT_FALSE(message.contains("s3cret"));
    EXPECT_FALSE(TaskDbConnection.isOpen());
}

// Reading stops before the server is asked.
const QString kSomeUrl = "http://127.0.0.1:1/sorvex/cgi/";
const QString kBadDb = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/nonexistent/TaskDB.mdb";

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadPreferencesFailure,
    ::testing::Values(
        FailureCase{"NoSettings", Server::None, {}, "Unable to retrieve preferences from registry",
                    "Services\\SorvexTavrelService\\Preferences in <hive>: the section holds no values"},
        FailureCase{"UrlTooShort", Server::None, {{"BaseUrl", "http://[::1]:1"}},
                    "Sorvex URL must start with http:// or https://"},
        FailureCase{"UrlInCapitals", Server::None, {{"BaseUrl", "HTTP://127.0.0.1/sorvex/cgi/"}},
                    "Sorvex URL must start with http:// or https://", "value BaseUrl of HKEY_LOCAL_MACHINE\\SYSTEM"},
        FailureCase{"UrlOtherScheme", Server::None, {{"BaseUrl", "ftp://127.0.0.1/sorvex/cgi/"}},
                    "Sorvex URL must start with http:// or https://"},
        FailureCase{"NoUrl", Server::None, {{"TimerTick", "5"}}, "No default Sorvex URL in registry",
                    "the value BaseUrl is missing from HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\"
                    "SorvexTavrelService\\Preferences in <hive>"},
        FailureCase{"EmptyUrl", Server::None, {{"BaseUrl", ""}}, "No default Sorvex URL in registry"},
        // Fifteen characters pass the check and reach the (absent) server.
        FailureCase{"UrlOfFifteen", Server::None, {{"BaseUrl", "http://[::1]:1/"}, {"AccessType", "1"}},
                    "Failed to connect to the default Sorvex server", " at http://[::1]:1/: Error on HttpSendRequest"},
        FailureCase{"DatabaseCannotOpen", Server::Running,
                    {{"BaseUrl", "<sim>"}, {"AccessType", "1"}, {"ADOConnect", kBadDb}},
                    "Problem connecting to task database. Error number 80004005 Could not find file",
                    "(the SQLite file /nonexistent/TaskDB.mdb)"},
        FailureCase{"UnknownProvider", Server::Running,
                    {{"BaseUrl", "<sim>"}, {"AccessType", "1"}, {"ADOConnect", "Provider=Other;Password=s3cret"}},
                    "Problem connecting to task database. Error number E7A Provider cannot be found",
                    "(the database of provider \"Other\")"},
        FailureCase{"NumberNotANumber", Server::None, {{"BaseUrl", kSomeUrl}, {"NoDataDelay", "soon"}},
                    "(TVS1042) 13: Type mismatch (setting NoDataDelay = \"soon\")"},
        // The HTTP engine knows three access types: another is named before any request.
        FailureCase{"AccessTypeOutOfRange", Server::None, {{"BaseUrl", kSomeUrl}, {"AccessType", "7"}},
                    "(TVS1042) 5: Out of range (0 to 2) (setting AccessType = \"7\")"},
        FailureCase{"DamagedPassword", Server::None, {{"BaseUrl", kSomeUrl}, {"SorvexPassword", " 99999 s3cret"}},
                    "(TVS1042) 5: Invalid procedure call or argument (setting SorvexPassword)"}),
    [](const auto& info) { return std::string(info.param.title); });

TEST_F(LoadPreferences, ServerFailureLogsTheEngineErrorFirstAndOpensNoDatabase) {
    const quint16 port = testsupport::closedLocalPort();
    save("BaseUrl", QStringLiteral("http://127.0.0.1:%1/sorvex/cgi/").arg(port));
    save("AccessType", "1");
    EXPECT_FALSE(modGlobal_LoadPreferences());
    const QStringList log = logged();
    ASSERT_EQ(log.size(), 2) << qPrintable(log.join("\n"));
    EXPECT_TRUE(log[0].startsWith("Error|"));
    // The address and the engine's reason follow the message.
    EXPECT_TRUE(log[1].startsWith(QStringLiteral("Error|Failed to connect to the default Sorvex server at "
                                                 "http://127.0.0.1:%1/sorvex/cgi/: Error on HttpSendRequest: ")
                                      .arg(port)))
        << qPrintable(log[1]);
    EXPECT_TRUE(log[0].contains(QStringLiteral("(http://127.0.0.1:%1/sorvex/cgi/client.pl?version)").arg(port)))
        << qPrintable(log[0]);
    EXPECT_FALSE(TaskDbConnection.isOpen());
}

TEST_F(LoadPreferences, DecodePasswordLogsADamagedText) {
    EXPECT_EQ(modGlobal_DecodePassword(""), "");
    EXPECT_EQ(modGlobal_DecodePassword(common::modGlobal_EncodePassword("pw")), "pw");
    EXPECT_EQ(modGlobal_DecodePassword(" 99999"), "");
    EXPECT_EQ(logged(), QStringList{"Error|(TVS1054) 5: Invalid procedure call or argument"});
}

}  // namespace
