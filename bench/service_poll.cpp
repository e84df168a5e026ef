// The service with 1,000 running jobs: how long a Run request takes from the
// client's wake-up to its "OK", and how much CPU the idle service spends.
// Run from the build tree (needs bin/TavrelService and bin/sorvex-sim).
#include "common/Preferences.h"
#include "common/ServiceWakeUp.h"
#include "common/Settings.h"
#include "common/TaskDbConnection.h"
#include "common/TaskDbSchema.h"
#include "platform/AdoConnection.h"
#include "platform/LocalChannel.h"
#include "platform/ServiceControl.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kRunningJobs = 1000;
constexpr int kRunRequests = 20;
constexpr int kQuietSeconds = 5;

double cpuSeconds(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QByteArray text = f.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    // utime and stime are fields 14 and 15 of the line, 12 and 13 after the name.
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

void insertTask(platform::AdoConnection& db, int uid, const QString& status, const QString& parameterFile) {
    db.execute(QStringLiteral("INSERT INTO Sorvex_Tavrel_Tasks (task_UID, task_label, parameter_set, schedule_type, "
                              "start_time, task_status, computer_name) VALUES (?, ?, ?, 'monitor', ?, ?, 'BENCHPC')"),
               {uid, QStringLiteral("Task %1").arg(uid), parameterFile, db.toDatabase(QDateTime::currentDateTime()), status});
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QString bin = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/");
    QTemporaryDir home;
    qputenv("TAVREL_HOME", home.path().toLocal8Bit());
    qputenv("COMPUTERNAME", "BENCHPC");

    QProcess sim;
    sim.start(bin + QStringLiteral("sorvex-sim"), {QStringLiteral("--port"), QStringLiteral("0")});
    if (!sim.waitForReadyRead(10000)) {
        std::fprintf(stderr, "sorvex-sim did not start\n");
        return 1;
    }
    const int port = sim.readLine().trimmed().toInt();

    const QString connection = common::defaultConnectionString(home.path());
    const QString parameterFile = home.filePath(QStringLiteral("bench.par"));
    QFile(parameterFile).open(QIODevice::WriteOnly);
    platform::AdoConnection::createDatabase(connection);
    platform::AdoConnection db;
    db.open(connection);
    if (!tavrel::modGlobal_CreateTaskDatabase(db)) return 1;
    db.beginTrans();
    for (int uid = 1; uid <= kRunningJobs; ++uid) insertTask(db, uid, QStringLiteral("running"), parameterFile);
    for (int i = 1; i <= kRunRequests; ++i) insertTask(db, kRunningJobs + i, QStringLiteral("new"), parameterFile);
    db.commitTrans();
    QDir().mkpath(home.filePath(QStringLiteral("qpl")));

    const auto save = [](const char* name, const QString& value) {
        common::modGlobal_SaveSetting(QStringLiteral("Sorvex Tavrel"), common::PreferencesSection, QString::fromLatin1(name), value);
    };
    save("BaseUrl", QStringLiteral("http://127.0.0.1:%1/sorvex/cgi/").arg(port));
    save("AccessType", QStringLiteral("1"));
    save("ADOConnect", connection);
    save("PeakListRoot", home.filePath(QStringLiteral("qpl")));
    save("TaskCheckInterval", QStringLiteral("60"));
    {
        platform::ScHandle manager, service;
        platform::OpenSCManager(platform::SC_MANAGER_ALL_ACCESS, manager.out());
        platform::CreateService(manager.get(), tavrel::ServiceName, QStringLiteral("Sorvex Tavrel Service"),
                                platform::SERVICE_ALL_ACCESS, platform::SERVICE_DEMAND_START,
                                bin + QStringLiteral("TavrelService -service"), service.out());
    }

    QProcess service;
    service.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer startClock;
    startClock.start();
    service.start(bin + QStringLiteral("TavrelService"), {QStringLiteral("-debug")});
    // The control socket is served once start-up, recovery included, is through.
    const auto answers = [&] {
        QByteArray answer;
        return platform::localChannelRequest(platform::serviceChannelName(tavrel::ServiceName, home.path()), "query",
                                             120000, &answer) == platform::ChannelResult::Answered;
    };
    bool up = service.waitForStarted(5000);
    while (up && !answers()) {
        up = service.state() == QProcess::Running && startClock.elapsed() < 120000;
        QThread::msleep(5);
    }
    if (!up) {
        std::fprintf(stderr, "TavrelService did not start\n");
        return 1;
    }
    std::printf("start-up with %d running tasks to recover: %.1f ms\n", kRunningJobs, startClock.nsecsElapsed() / 1e6);

    QList<double> latencies;
    for (int i = 1; i <= kRunRequests; ++i) {
        const int uid = kRunningJobs + i;
        QElapsedTimer clock;
        clock.start();
        db.execute(QStringLiteral("UPDATE Sorvex_Tavrel_Tasks SET action_request = 'Run' WHERE task_UID = ?"), {uid});
        tavrel::modGlobal_NotifyService(true);
        QSqlQuery q = db.query(QStringLiteral("SELECT action_response FROM Sorvex_Tavrel_Tasks WHERE task_UID = ?"), {uid});
        if (!q.next() || q.value(0).toString() != QLatin1String("OK")) {
            std::fprintf(stderr, "task %d was not answered \"OK\"\n", uid);
            return 1;
        }
        latencies << clock.nsecsElapsed() / 1e6;
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("Run + wake-up to \"OK\" with %d running jobs: median %.2f ms, max %.2f ms (%d requests)\n",
                kRunningJobs, latencies[latencies.size() / 2], latencies.last(), kRunRequests);

    // Every job takes its first tick one TimerTick (10 s) after recovery made
    // it. Until the search steps are installed that tick pauses the task, so
    // the ticks are a burst of 1,000 row updates; after it nothing is due.
    const auto pausedCount = [&] {
        QSqlQuery q = db.query(QStringLiteral("SELECT COUNT(*) FROM Sorvex_Tavrel_Tasks WHERE task_status = 'paused'"));
        return q.next() ? q.value(0).toInt() : 0;
    };
    while (startClock.elapsed() < 11000) QThread::msleep(10);
    const double burstStartCpu = cpuSeconds(service.processId());
    QElapsedTimer burstClock;
    burstClock.start();
    {
        const int uid = kRunningJobs + kRunRequests + 1;
        insertTask(db, uid, QStringLiteral("new"), parameterFile);
        QElapsedTimer clock;
        clock.start();
        db.execute(QStringLiteral("UPDATE Sorvex_Tavrel_Tasks SET action_request = 'Run' WHERE task_UID = ?"), {uid});
        const bool woken = tavrel::modGlobal_NotifyService(true);
        bool answered = false;
        while (!answered && clock.elapsed() < 300000) {
            QSqlQuery q = db.query(QStringLiteral("SELECT action_response FROM Sorvex_Tavrel_Tasks WHERE task_UID = ?"), {uid});
            answered = q.next() && q.value(0).toString() == QLatin1String("OK");
            if (!answered) QThread::msleep(20);
        }
        std::printf("Run + wake-up to \"OK\" while the jobs take their first ticks: %.0f ms (wake-up %s)\n",
                    clock.nsecsElapsed() / 1e6, woken ? "delivered" : "not delivered in time");
    }
    while (pausedCount() < kRunningJobs + kRunRequests && burstClock.elapsed() < 300000) QThread::msleep(200);
    const double burstSeconds = burstClock.nsecsElapsed() / 1e9;
    std::printf("first-tick burst: %d of %d tasks paused by the stand-in search steps in %.1f s, service CPU %.0f ms "
                "per second\n",
                pausedCount(), kRunningJobs + kRunRequests, burstSeconds,
                (cpuSeconds(service.processId()) - burstStartCpu) * 1000.0 / burstSeconds);
    const double before = cpuSeconds(service.processId());
    QThread::sleep(kQuietSeconds);
    std::printf("idle service CPU afterwards: %.2f ms per second (over %d s)\n",
                (cpuSeconds(service.processId()) - before) * 1000.0 / kQuietSeconds, kQuietSeconds);

    service.terminate();
    if (!service.waitForFinished(30000)) service.kill();
    service.waitForFinished(5000);
    sim.terminate();
    sim.waitForFinished(5000);
    return 0;
}
