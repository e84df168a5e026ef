// The real TavrelService program, run the way a person or the demo runs it.
#include "ServiceProgram.h"

#include "platform/OleDbConnectionString.h"
#include "servicehost/TaskAnswers.h"

#include <cstdio>

using hosttest::runSwitch;
using hosttest::ServiceProgram;
using hosttest::TaskRows;

namespace {

class ServiceProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QString skip = env.prepare();
        if (!skip.isEmpty()) GTEST_SKIP() << qPrintable(skip);
    }

    hosttest::ServiceHome env{testsupport::DbEngine::Sqlite};
    testsupport::TempHome& home = env.home;
    std::unique_ptr<TaskRows>& rows = env.rows;
};

TEST_F(ServiceProgramTest, InstallWakeUpRunAndStop) {
    EXPECT_EQ(runSwitch({"-install", "-silent"}), 0);
    EXPECT_NE(runSwitch({"-install", "-silent"}), 0);  // registered already

    ServiceProgram service(home.path(), "LABPC");
    ASSERT_TRUE(service.start());
    rows->addTask(1);
    rows->request(1, "Run");
    // TaskCheckInterval is 60: only the wake-up can make the service answer now.
    ASSERT_TRUE(tavrel::modGlobal_NotifyService(true));
    EXPECT_EQ(rows->response(1), "OK");
    EXPECT_EQ(rows->status(1), "running");

    rows->addTask(2, {{"task_label", "a_b"}});
    rows->request(2, "Run");
    ASSERT_TRUE(tavrel::modGlobal_NotifyService(true));
    EXPECT_EQ(rows->response(2), common::refusal(9013));

    service.signal(SIGTERM);
    ASSERT_TRUE(service.waitForExit());
    EXPECT_EQ(service.exitCode(), 0);
    EXPECT_TRUE(hosttest::eventLog(home.path()).last().contains(" Sorvex Tavrel Service Shut Down "));

    EXPECT_EQ(runSwitch({"-uninstall", "-silent"}), 0);
    EXPECT_NE(runSwitch({"-uninstall", "-silent"}), 0);  // nothing left to remove
}

TEST_F(ServiceProgramTest, InstallAndUninstallTellTheirFailure) {
    QString err;
    EXPECT_NE(runSwitch({"-uninstall"}, &err), 0);
    EXPECT_TRUE(err.contains("not installed")) << qPrintable(err);
    EXPECT_EQ(runSwitch({"-install"}, &err), 0);
    EXPECT_TRUE(err.contains("Sorvex Tavrel Service installed successfully")) << qPrintable(err);
    EXPECT_NE(runSwitch({"-install"}, &err), 0);
    EXPECT_TRUE(err.contains("Failed to install / uninstall Sorvex Tavrel Service")) << qPrintable(err);
}

// Without a system tray "-systray" says so and ends: it never runs tasks in
// the foreground where the client that started it can neither wake nor stop
// it. In a folder that other accounts write it ends too, with the
// administrator's command: their tasks would run as this user.
TEST_F(ServiceProgramTest, SysTrayWithoutATrayOrInASharedFolderEndsAndRunsNoTask) {
    ASSERT_EQ(runSwitch({"-install", "-silent"}), 0);
    QProcessEnvironment noDisplay = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) noDisplay.remove(name);
    QProcessEnvironment offscreen = noDisplay;
    offscreen.insert("QT_QPA_PLATFORM", "offscreen");  // a display whose platform has no tray
    const QFile::Permissions own = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    struct Case {
        const char* name;
        QProcessEnvironment environment;
        QFile::Permissions folder;
        QString said;
    } cases[] = {
        {"no display", noDisplay, own, "No system tray is available on this desktop"},
        {"no tray", offscreen, own, "No system tray is available on this desktop"},
        {"a shared folder", offscreen, own | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther,
         "is shared with other accounts"},
    };
    rows->addTask(1);
    rows->request(1, "Run");
    const qint64 logSize = QFileInfo(home.file(tavrelsvc::kEventLogFileName)).size();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::setPermissions(home.path(), c.folder);
        ServiceProgram service(home.path(), "LABPC", c.environment);
        ASSERT_TRUE(service.launch({"-systray"}));
        ASSERT_TRUE(service.waitForExit());
        EXPECT_EQ(service.exitCode(), 1);
        EXPECT_TRUE(service.standardError().contains(c.said)) << qPrintable(service.standardError());
        EXPECT_EQ(rows->requestWord(1).toString(), "Run");  // never taken
        EXPECT_EQ(rows->status(1), "new");
        EXPECT_EQ(QFileInfo(home.file(tavrelsvc::kEventLogFileName)).size(), logSize);
    }
    QFile::setPermissions(home.path(), own);
}

TEST_F(ServiceProgramTest, OneInstancePerProgramFolder) {
    ASSERT_EQ(runSwitch({"-install", "-silent"}), 0);
    ServiceProgram first(home.path(), "LABPC");
    ASSERT_TRUE(first.start());
    const qint64 logSize = QFileInfo(home.file(tavrelsvc::kEventLogFileName)).size();
    EXPECT_EQ(runSwitch({"-debug"}), 1);  // ends at once, before the event log
    EXPECT_EQ(QFileInfo(home.file(tavrelsvc::kEventLogFileName)).size(), logSize);

    // Another program folder runs a service of its own beside it.
    testsupport::TempHome other;
    hosttest::saveSettings(env.sim.baseUrl(), env.db.connectionString(), other.file("qpl"), 60);
    QDir().mkpath(other.file("qpl"));
    ServiceProgram second(other.path(), "OTHERPC");
    EXPECT_TRUE(second.start());
    qputenv("TAVREL_HOME", home.path().toLocal8Bit());

    rows->addTask(1);
    env.ask(1, "Run");
    EXPECT_EQ(rows->response(1), "OK");
    EXPECT_TRUE(first.running());
}

// Service mode: the client's service control has the service manager start
// the unit's program (no window, no console), wakes it and has it stopped
// through its shut-down.
TEST_F(ServiceProgramTest, ServiceModeStartedWokenAndStoppedByTheClient) {
    ASSERT_EQ(runSwitch({"-install", "-silent"}), 0);
    testsupport::FakeServiceManager manager;
    manager.setService(testsupport::binPath("TavrelService"), {"-service"});
    const QByteArray previousComputer = qgetenv("COMPUTERNAME");
    qputenv("COMPUTERNAME", "LABPC");  // the started service inherits it
    const tavrel::ServiceWaitTiming previousTiming = tavrel::serviceWaitTiming();
    tavrel::serviceWaitTiming() = {20, 15000, {}};
    struct Restore {
        std::function<void()> f;
        ~Restore() { f(); }
    } restore{[&] {
        tavrel::modGlobal_StopService(true);
        tavrel::serviceWaitTiming() = previousTiming;
        qputenv("COMPUTERNAME", previousComputer);
    }};

    ASSERT_TRUE(tavrel::modGlobal_StartService(true));
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return hosttest::countContaining(hosttest::eventLog(home.path()), "|Connected to ") > 0; }, 15000));
    rows->addTask(1);
    env.ask(1, "Run");
    EXPECT_EQ(rows->response(1), "OK");
    EXPECT_TRUE(tavrel::modGlobal_StopService(true));
    EXPECT_TRUE(hosttest::eventLog(home.path()).last().contains(" Sorvex Tavrel Service Shut Down "));
}

TEST(ServiceProgramPostgres, TwoComputersOnOneDatabaseEachTakeTheirOwn) {
    testsupport::TestDatabase db(testsupport::DbEngine::Postgres);
    if (!db.available()) GTEST_SKIP() << "TAVREL_TEST_PG is not set";
    if (!testsupport::SorvexSim::available()) GTEST_SKIP() << "sorvex-sim is not built";
    testsupport::SorvexSim sim;
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    TaskRows rows(db.connectionString());
    rows.createTables();
    QTemporaryDir homeA, homeB;
    const QByteArray previous = qgetenv("TAVREL_HOME");
    for (const QTemporaryDir* h : {&homeA, &homeB}) {
        qputenv("TAVREL_HOME", h->path().toLocal8Bit());
        QDir().mkpath(h->filePath("qpl"));
        hosttest::saveSettings(sim.baseUrl(), db.connectionString(), h->filePath("qpl"), 1);
    }
    qputenv("TAVREL_HOME", previous);
    rows.parameterFile = homeA.filePath("search.par");
    testsupport::writeFile(rows.parameterFile, "DB=SwissProt\r\n");
    rows.addTask(1, {{"computer_name", "PCA"}});
    rows.addTask(2, {{"computer_name", "PCB"}});
    rows.addTask(3, {{"computer_name", "PCA"}});
    rows.addTask(4, {{"computer_name", "PCC"}});

    ServiceProgram a(homeA.path(), "PCA"), b(homeB.path(), "PCB");
    ASSERT_TRUE(a.start());
    ASSERT_TRUE(b.start());
    for (int uid = 1; uid <= 4; ++uid) rows.request(uid, "Run");
    // An answer is in the row a moment before its line is in the event log.
    EXPECT_TRUE(testsupport::waitUntil(
        [&] {
            return rows.response(1) == "OK" && rows.response(2) == "OK" && rows.response(3) == "OK" &&
                   hosttest::countContaining(hosttest::eventLog(homeA.path()), "Starting new task") >= 2 &&
                   hosttest::countContaining(hosttest::eventLog(homeB.path()), "Starting new task") >= 1;
        },
        10000));
    EXPECT_EQ(rows.requestWord(4).toString(), "Run");  // no service of PCC runs
    const QStringList logA = hosttest::eventLog(homeA.path()), logB = hosttest::eventLog(homeB.path());
    EXPECT_EQ(hosttest::countContaining(logA, "Starting new task"), 2);
    EXPECT_EQ(hosttest::countContaining(logA, "|2|Starting new task"), 0);
    EXPECT_EQ(hosttest::countContaining(logB, "|2|Starting new task"), 1);
    EXPECT_EQ(hosttest::countContaining(logB, "Starting new task"), 1);
}

// The database server drops the service's connection (a restart, a cut):
// the service connects again and goes on, saying so once, not at every tick.
TEST(ServiceProgramPostgres, ConnectsAgainWhenItsDatabaseConnectionIsCut) {
    hosttest::ServiceHome env(testsupport::DbEngine::Postgres);
    const QString skip = env.prepare();
    if (!skip.isEmpty()) GTEST_SKIP() << qPrintable(skip);
    ASSERT_EQ(runSwitch({"-install", "-silent"}), 0);
    ServiceProgram service(env.home.path(), "LABPC");
    ASSERT_TRUE(service.start());
    env.rows->addTask(1);
    env.ask(1, "Run");
    ASSERT_EQ(env.rows->response(1), "OK");

    const auto cut = [&] {
        env.rows->connection().execute("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                                       "WHERE datname = current_database() AND pid <> pg_backend_pid()");
    };
    for (const char* word : {"Pause", "Resume", "Pause"}) {
        SCOPED_TRACE(word);
        cut();
        env.ask(1, word);
        EXPECT_TRUE(testsupport::waitUntil([&] { return env.rows->response(1) == "OK"; }, 10000));
        EXPECT_TRUE(env.rows->requestWord(1).isNull());
    }
    EXPECT_EQ(env.rows->status(1), "paused");
    const QStringList lines = hosttest::eventLog(env.home.path());
    EXPECT_EQ(hosttest::countContaining(lines, "The connection to the task database is lost ("), 3);
    EXPECT_EQ(hosttest::countContaining(lines, "The connection to the task database is back"), 3);
    EXPECT_EQ(hosttest::countContaining(lines, "(TVS10"), 0) << qPrintable(lines.join('\n'));
    EXPECT_EQ(hosttest::countContaining(lines, "Error|"), 3);
    EXPECT_TRUE(service.running());

    // The connection made again holds the computer's lock again.
    testsupport::TempHome other;
    QDir().mkpath(other.file("qpl"));
    hosttest::saveSettings(env.sim.baseUrl(), env.db.connectionString(), other.file("qpl"), 60);
    const QByteArray previousComputer = qgetenv("COMPUTERNAME");
    qputenv("COMPUTERNAME", "LABPC");
    EXPECT_NE(runSwitch({"-debug"}), 0);
    qputenv("COMPUTERNAME", previousComputer);
}

}  // namespace

// The start-up's connection notice names the database itself (the file, or
// the database and its server), never the password of the connection string.
TEST(ServiceProgramConnection, TheNoticeNamesTheDatabaseAndNoPassword) {
    for (const testsupport::DbEngine engine : {testsupport::DbEngine::Sqlite, testsupport::DbEngine::Postgres}) {
        SCOPED_TRACE(engine == testsupport::DbEngine::Sqlite ? "SQLite" : "PostgreSQL");
        hosttest::ServiceHome env(engine);
        const QString skip = env.prepare();
        if (!skip.isEmpty()) {
            std::printf("skipped: %s\n", qPrintable(skip));
            continue;
        }
        auto cs = platform::OleDbConnectionString::parse(env.db.connectionString());
        const QString password = "notice-secret-4711";  // the test server takes any password
        if (engine == testsupport::DbEngine::Postgres) {
            cs.setValue("Password", password);
            ASSERT_TRUE(common::modGlobal_SaveSetting(hosttest::kApp, common::PreferencesSection, "ADOConnect",
                                                      cs.toString()));
        }
        ServiceProgram service(env.home.path(), "LABPC");
        ASSERT_TRUE(service.start());
        QString wanted = cs.dataSource() + " using Microsoft.Jet.OLEDB.4.0";
        if (engine == testsupport::DbEngine::Postgres) {
            QString server = cs.dataSource();
            if (!server.contains(':')) server += ":5432";
            wanted = "database " + cs.value("Initial Catalog") + " on " + server + " using PostgreSQL";
        }
        const QStringList log = hosttest::eventLog(env.home.path());
        EXPECT_EQ(hosttest::countContaining(log, "|Connected to " + wanted), 1) << qPrintable(log.join('\n'));
        EXPECT_EQ(hosttest::countContaining(log, password), 0);
    }
}
