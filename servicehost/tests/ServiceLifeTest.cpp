// The real program as an administrator meets it: switches, a second instance,
// a folder it cannot write, stops while a server hangs, a hung request that
// never keeps it from answering, and the modes of the files it makes.
#include "ServiceProgram.h"

#include "servicehost/ServiceSwitches.h"

#include <QSysInfo>
#include <QStandardPaths>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using hosttest::runSwitch;
using hosttest::ServiceProgram;

namespace {

TEST(ServiceSwitchesRun, HelpVersionAndUnknownSwitches) {
    if (!QFileInfo::exists(testsupport::binPath("TavrelService"))) GTEST_SKIP() << "TavrelService is not built";
    testsupport::TempHome home;
    QString err, out;
    EXPECT_EQ(runSwitch({"--help"}, &err, &out), 0);
    EXPECT_EQ(out, tavrelsvc::serviceUsage());
    EXPECT_EQ(runSwitch({"--VERSION"}, &err, &out), 0);
    EXPECT_EQ(out, tavrelsvc::serviceVersionText() + "\n");
    EXPECT_EQ(runSwitch({"-debug", "-instal"}, &err, &out), 2);
    EXPECT_TRUE(err.startsWith("TavrelService: unknown switch \"-instal\"\n")) << qPrintable(err);
    EXPECT_TRUE(err.contains("Usage: TavrelService"));
    EXPECT_TRUE(out.isEmpty());
    // Nothing started: no event log, no registration.
    EXPECT_FALSE(QFileInfo::exists(home.file(tavrelsvc::kEventLogFileName)));
    EXPECT_FALSE(QFileInfo::exists(home.file("registry.hive")));
}

class ServiceLife : public ::testing::Test {
protected:
    void SetUp() override {
        const QString skip = env.prepare();
        if (!skip.isEmpty()) GTEST_SKIP() << qPrintable(skip);
        ASSERT_EQ(runSwitch({"-install", "-silent"}), 0);
        QDir().mkpath(env.home.file("inbox"));
    }
    void addWatchingTask(int uid) { env.rows->addTask(uid, {{"monitor_directory", env.home.file("inbox")}}); }
    int requestsFor(const QString& program) const {
        int n = 0;
        for (const QString& t : env.sim.targets()) n += t.contains(program) ? 1 : 0;
        return n;
    }
    QStringList log() const { return hosttest::eventLog(env.home.path()); }

    hosttest::ServiceHome env{testsupport::DbEngine::Sqlite};
};

TEST_F(ServiceLife, ASecondInstanceNamesTheFirstAndEnds) {
    ServiceProgram first(env.home.path(), "LABPC");
    ASSERT_TRUE(first.start());
    QString err;
    EXPECT_EQ(runSwitch({"-debug"}, &err), 1);
    EXPECT_TRUE(err.contains(QStringLiteral("Sorvex Tavrel Service is already running on the program folder %1 (process %2)")
                                 .arg(env.home.path())
                                 .arg(first.pid())))
        << qPrintable(err);
}

// As root every folder is writable: the program is run as "nobody" then.
TEST_F(ServiceLife, AFolderItCannotWriteIsNamedWithTheReason) {
    testsupport::TempHome readOnly;
    QStringList wrapper;
    if (::getuid() == 0) {
        const QString setpriv = QStandardPaths::findExecutable("setpriv");
        if (setpriv.isEmpty()) GTEST_SKIP() << "setpriv is needed to run the program as another user";
        ::chmod(QFile::encodeName(readOnly.path()).constData(), 0755);
        wrapper = {setpriv, "--reuid=65534", "--regid=65534", "--clear-groups"};
    } else {
        ::chmod(QFile::encodeName(readOnly.path()).constData(), 0555);
    }
    QString err;
    EXPECT_EQ(runSwitch({"-debug"}, &err, nullptr, wrapper), 1);
    EXPECT_TRUE(err.contains("Sorvex Tavrel Service cannot start: the program folder " + readOnly.path() +
                             " cannot be written: Permission denied"))
        << qPrintable(err);
    ::chmod(QFile::encodeName(readOnly.path()).constData(), 0700);
}

// The start-up's server test hangs: SIGTERM or SIGINT (Ctrl-C) still ends the
// program at once, through its shut-down. The server never answers, so the
// program ends without the answer; one that overran its own two seconds would
// say so and end with 1.
TEST_F(ServiceLife, AStopSignalEndsAHungStartUpWithinTwoSeconds) {
    ASSERT_TRUE(env.sim.reload(R"({"faults": [{"match": "client.pl?version", "hold": true}]})"));
    for (const int number : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(number == SIGTERM ? "SIGTERM" : "SIGINT");
        const int asked = requestsFor("client.pl?version");
        ServiceProgram service(env.home.path(), "LABPC");
        ASSERT_TRUE(service.launch({"-debug"}));
        ASSERT_TRUE(testsupport::waitUntil([&] { return requestsFor("client.pl?version") > asked; }, 15000));
        service.signal(number);
        ASSERT_TRUE(service.waitForExit());
        EXPECT_EQ(service.exitCode(), 0);  // a stop asked for is no failure
        const QStringList lines = log();
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_TRUE(lines.last().contains(" Sorvex Tavrel Service Shut Down ")) << qPrintable(lines.join('\n'));
        EXPECT_FALSE(service.standardError().contains("did not finish its shut-down"));
    }
}

// The client's wake-up reaches the service while its start-up still waits
// for the server: the request it woke the service for is answered once the
// start-up is through, not a TaskCheckInterval later.
TEST_F(ServiceLife, AWakeUpDuringTheStartUpIsAnsweredAfterIt) {
    ASSERT_TRUE(env.sim.reload(R"({"faults": [{"match": "client.pl?version", "times": 1, "hold": true}]})"));
    // An hour: only the wake-up can have the request answered within the test.
    hosttest::saveSettings(env.sim.baseUrl(), env.db.connectionString(), env.home.file("qpl"), 3600);
    addWatchingTask(1);
    const int asked = requestsFor("client.pl?version");
    ServiceProgram service(env.home.path(), "LABPC");
    ASSERT_TRUE(service.launch({"-debug"}));
    ASSERT_TRUE(testsupport::waitUntil([&] { return requestsFor("client.pl?version") > asked; }, 15000));
    env.rows->request(1, "Run");
    ASSERT_TRUE(tavrel::modGlobal_NotifyService(true));
    ASSERT_EQ(hosttest::countContaining(log(), "|Connected to "), 0) << "taken while the start-up waited";
    ASSERT_TRUE(env.sim.releaseHeld());
    EXPECT_TRUE(testsupport::waitUntil([&] { return env.rows->response(1) == "OK"; }, 30000))
        << qPrintable(log().join('\n'));
    EXPECT_EQ(env.rows->status(1), "running");
}

// Task 1's login hangs until the test lets the server answer. Meanwhile the
// service answers a Run of task 2 at once, holds task 1's pause until its
// request has returned, and lets no other job tick inside that wait.
TEST_F(ServiceLife, AHungRequestNeverKeepsTheServiceFromAnswering) {
    ASSERT_TRUE(env.sim.reload(R"({"faults": [{"match": "login.pl", "times": 1, "hold": true}]})"));
    ASSERT_TRUE(common::modGlobal_SaveSetting(hosttest::kApp, common::PreferencesSection, "TimerTick", "1"));
    ServiceProgram service(env.home.path(), "LABPC");
    ASSERT_TRUE(service.start());
    addWatchingTask(1);
    env.ask(1, "Run");
    ASSERT_EQ(env.rows->response(1), "OK");
    ASSERT_TRUE(testsupport::waitUntil([&] { return requestsFor("login.pl") == 1; }, 10000));
    const int requestsBefore = env.sim.targets().size();

    addWatchingTask(2);
    env.ask(2, "Run");
    EXPECT_EQ(env.rows->response(2), "OK");
    env.ask(1, "Pause");
    EXPECT_EQ(env.rows->requestWord(1).toString(), "Pause");  // held while the login waits
    EXPECT_TRUE(env.rows->column(1, "action_response").isNull());
    // Task 2's job is due every second; none of its requests comes while the login hangs.
    EXPECT_FALSE(testsupport::waitUntil([&] { return env.sim.targets().size() > requestsBefore; }, 2500))
        << qPrintable(env.sim.targets().join('\n'));

    // Once the login is back, the pause takes effect and task 2 goes on.
    ASSERT_TRUE(env.sim.releaseHeld());
    EXPECT_TRUE(testsupport::waitUntil([&] { return env.rows->response(1) == "OK"; }, 20000));
    EXPECT_EQ(env.rows->status(1), "paused");
    EXPECT_TRUE(testsupport::waitUntil([&] { return requestsFor("login.pl") >= 2; }, 10000));
    EXPECT_EQ(hosttest::countContaining(log(), "(TVS10"), 0) << qPrintable(log().join('\n'));
}

// A stop while a job's request hangs (the server never answers it): the
// program ends without the answer, and the task stays "running" for the next
// start to take up (a request the stop cut short pauses nothing).
TEST_F(ServiceLife, SigtermDuringAJobsHungRequestLeavesTheTaskRunning) {
    ASSERT_TRUE(env.sim.reload(R"({"faults": [{"match": "login.pl", "hold": true}]})"));
    ASSERT_TRUE(common::modGlobal_SaveSetting(hosttest::kApp, common::PreferencesSection, "TimerTick", "1"));
    ServiceProgram service(env.home.path(), "LABPC");
    ASSERT_TRUE(service.start());
    addWatchingTask(1);
    env.ask(1, "Run");
    ASSERT_TRUE(testsupport::waitUntil([&] { return requestsFor("login.pl") == 1; }, 10000));
    service.signal(SIGTERM);
    ASSERT_TRUE(service.waitForExit());
    EXPECT_EQ(service.exitCode(), 0);
    EXPECT_FALSE(service.standardError().contains("did not finish its shut-down"));
    EXPECT_EQ(env.rows->status(1), "running");
    const QStringList lines = log();
    EXPECT_TRUE(lines.last().contains(" Sorvex Tavrel Service Shut Down ")) << qPrintable(lines.join('\n'));
    EXPECT_EQ(hosttest::countContaining(lines, "Task paused"), 0);
}

// What the service makes, the program folder's group may read and write,
// nobody else: its event log, the task's cache folder, its runtime folder
// and the socket in it; the hive and a new database are made so too.
TEST_F(ServiceLife, FilesItMakesAreTheGroupsAndNobodyElses) {
    ServiceProgram service(env.home.path(), "LABPC");
    ASSERT_TRUE(service.start());
    addWatchingTask(1);
    env.ask(1, "Run");
    ASSERT_EQ(env.rows->response(1), "OK");
    const auto mode = [](const QString& path) {
        struct stat st {};
        return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
    };
    EXPECT_EQ(mode(env.home.file(tavrelsvc::kEventLogFileName)), 0660);
    EXPECT_EQ(mode(env.home.file("qpl/1 Task 1")), 0770);
    EXPECT_EQ(mode(env.home.file("run")) & 0777, 0770);
    const QString socket = platform::serviceChannelName(tavrelsvc::ServiceName, env.home.path());
    EXPECT_TRUE(socket.startsWith(env.home.file("run") + "/")) << qPrintable(socket);
    EXPECT_EQ(mode(socket) & 0007, 0);
    EXPECT_EQ(mode(env.home.file("registry.hive")), 0660);
    EXPECT_EQ(mode(env.db.file()), 0660);
}

// What another account, a power cut or an older program left at the name of
// the instance lock never keeps the service out: the kernel holds the lock,
// not the file's contents.
TEST_F(ServiceLife, APlantedOrDamagedInstanceLockNeverKeepsTheServiceOut) {
    const QString lock = env.home.file("TavrelService.lock");
    const struct {
        const char* what;
        std::function<bool()> plant;
    } cases[] = {
        {"an empty file", [&] { return QFile(lock).open(QIODevice::WriteOnly); }},
        {"a lock naming process 1", [&] {
             testsupport::writeFile(lock, "1\nTavrelService\n" + QSysInfo::machineHostName().toUtf8() + "\n");
             return true;
         }},
        {"an empty folder", [&] { return QDir().mkdir(lock); }},
        {"a fifo", [&] { return ::mkfifo(QFile::encodeName(lock).constData(), 0660) == 0; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(c.plant());
        {
            ServiceProgram service(env.home.path(), "LABPC");
            ASSERT_TRUE(service.start()) << qPrintable(service.standardError());
            QString err;
            EXPECT_EQ(runSwitch({"-debug"}, &err), 1) << "a second one still ends";
            EXPECT_TRUE(err.contains(QStringLiteral("(process %1)").arg(service.pid()))) << qPrintable(err);
            service.signal(SIGTERM);
            ASSERT_TRUE(service.waitForExit());
        }
        QDir().rmdir(lock);
        QFile::remove(lock);
    }
}

}  // namespace
