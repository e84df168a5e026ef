// The real TavrelService program, run the way a person or the demo runs it.
#include "HostFixture.h"

#include "common/Globals.h"
#include "common/ServiceWakeUp.h"
#include "platform/LocalChannel.h"
#include "platform/ServiceControl.h"
#include "service/host/TaskAnswers.h"
#include "service/host/frmMain.h"

#include <QProcess>

#include <csignal>
#include <memory>

using hosttest::TaskRows;

namespace {

class ServiceProgram {
public:
    ServiceProgram(const QString& home, const QString& computer) : home_(home) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TAVREL_HOME", home);
        env.insert("COMPUTERNAME", computer);
        process_.setProcessEnvironment(env);
        process_.setStandardErrorFile(QProcess::nullDevice());
        process_.setStandardOutputFile(QProcess::nullDevice());
    }
    ~ServiceProgram() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    // Starts "-debug" and waits until start-up is through (its connection notice).
    bool start() {
        const int before = hosttest::countContaining(hosttest::eventLog(home_), "|Connected to ");
        process_.start(testsupport::binPath("TavrelService"), {"-debug"});
        if (!process_.waitForStarted(5000)) return false;
        if (!testsupport::waitUntil(
                [&] { return hosttest::countContaining(hosttest::eventLog(home_), "|Connected to ") > before; }, 15000))
            return false;
        // Its control socket is served only once the start-up (recovery included) is through.
        QByteArray answer;
        return platform::localChannelRequest(platform::serviceChannelName(tavrelsvc::ServiceName, home_), "query",
                                             10000, &answer) == platform::ChannelResult::Answered;
    }
    void signal(int number) { ::kill(static_cast<pid_t>(process_.processId()), number); }
    bool waitForExit() { return process_.waitForFinished(10000); }
    int exitCode() const { return process_.exitCode(); }

private:
    QString home_;
    QProcess process_;
};

int runSwitch(const QStringList& args) {
    QProcess p;
    p.start(testsupport::binPath("TavrelService"), args);
    if (!p.waitForFinished(15000)) return -1;
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

class ServiceProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testsupport::SorvexSim::available() || !QFileInfo::exists(testsupport::binPath("TavrelService")))
            GTEST_SKIP() << "sorvex-sim or TavrelService is not built";
        ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
        rows = std::make_unique<TaskRows>(db.connectionString());
        rows->createTables();
        rows->parameterFile = home.file("search.par");
        testsupport::writeFile(rows->parameterFile, "DB=SwissProt\r\n");
        QDir().mkpath(home.file("qpl"));
        hosttest::saveSettings(sim.baseUrl(), db.connectionString(), home.file("qpl"), 60);
        tavrel::CommandLineArgs.clear();
        tavrel::TrayMessageId = 0;
    }

    testsupport::TempHome home;
    testsupport::SorvexSim sim;
    testsupport::TestDatabase db{testsupport::DbEngine::Sqlite};
    std::unique_ptr<TaskRows> rows;
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
    EXPECT_EQ(rows->response(2), tavrelsvc::answer::E9013);

    service.signal(SIGTERM);
    ASSERT_TRUE(service.waitForExit());
    EXPECT_EQ(service.exitCode(), 0);
    EXPECT_TRUE(hosttest::eventLog(home.path()).last().contains(" Sorvex Tavrel Service Shut Down "));

    EXPECT_EQ(runSwitch({"-uninstall", "-silent"}), 0);
    EXPECT_NE(runSwitch({"-uninstall", "-silent"}), 0);  // nothing left to remove
}

TEST_F(ServiceProgramTest, KilledServiceTakesItsTasksUpAgain) {
    ASSERT_EQ(runSwitch({"-install", "-silent"}), 0);
    rows->addTask(1);
    rows->addTask(2, {{"task_status", "paused"}});
    {
        ServiceProgram service(home.path(), "LABPC");
        ASSERT_TRUE(service.start());
        rows->request(1, "Run");
        ASSERT_TRUE(tavrel::modGlobal_NotifyService(true));
        ASSERT_EQ(rows->response(1), "OK");
        service.signal(SIGKILL);
        ASSERT_TRUE(service.waitForExit());
    }
    ServiceProgram again(home.path(), "LABPC");
    ASSERT_TRUE(again.start());  // the lock of the killed service is taken over
    const QStringList lines = hosttest::eventLog(home.path());
    EXPECT_EQ(hosttest::countContaining(lines, "|1|Resuming running task"), 1);
    EXPECT_EQ(hosttest::countContaining(lines, "|1|Starting new task"), 1);  // not answered twice
    EXPECT_EQ(rows->response(1), "OK");

    // The paused task has its job again: a Cancel reaches it instead of the "no job" answer.
    rows->request(2, "Cancel");
    ASSERT_TRUE(tavrel::modGlobal_NotifyService(true));
    EXPECT_FALSE(rows->response(2).startsWith("Error 5")) << qPrintable(rows->response(2));
    EXPECT_EQ(hosttest::countContaining(hosttest::eventLog(home.path()), "(TVS1003)"), 0);
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
    EXPECT_TRUE(testsupport::waitUntil(
        [&] { return rows.response(1) == "OK" && rows.response(2) == "OK" && rows.response(3) == "OK"; }, 10000));
    EXPECT_EQ(rows.requestWord(4).toString(), "Run");  // no service of PCC runs
    const QStringList logA = hosttest::eventLog(homeA.path()), logB = hosttest::eventLog(homeB.path());
    EXPECT_EQ(hosttest::countContaining(logA, "Starting new task"), 2);
    EXPECT_EQ(hosttest::countContaining(logA, "|2|Starting new task"), 0);
    EXPECT_EQ(hosttest::countContaining(logB, "|2|Starting new task"), 1);
    EXPECT_EQ(hosttest::countContaining(logB, "Starting new task"), 1);
}

}  // namespace
