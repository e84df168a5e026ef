// A "monitor" task on a large folder tree: how much CPU the idle watch spends
// and how long until new files arriving in the tree have their rows, on the
// product's default tick, with the product's default MonitorActionDelay and
// with a 10 s one. The tree's files were recorded by an earlier run of the
// task (their rows exist, as after a restart), so the job starts by taking
// them as known.
//
//   watch [--files N] [--new M] [--per-folder K] [--idle S] [--delay D] [--rounds R] [--no-notify]
//
// N files in folders of K files (default 100,000 in folders of 1,000), M new
// files per round (default 100), S seconds of each idle round (default: one
// delay, at least 20), D one MonitorActionDelay in seconds instead of both,
// R rounds of each figure (default and least 3).
#include "BenchReport.h"

#include "clientcommon/TaskDbSchema.h"
#include "jobs/ImportStepsImpl.h"
#include "jobs/JobCollection.h"
#include "jobs/JobSteps.h"
#include "jobs/clsJob.h"
#include "platform/testsupport/TestDatabase.h"
#include "service/EventLog.h"
#include "service/Globals.h"
#include "service/Preferences.h"
#include "service/TaskDb.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace tavrelsvc;

namespace {

// The server side is not measured: login succeeds and nothing is submitted.
class NoServer : public JobSearchSteps {
public:
    bool ServerReachable(clsJob&) override { return true; }
    bool SorvexLogin(clsJob& job) override {
        job.sessionID = QStringLiteral("bench");
        return true;
    }
    bool CheckSessionPermitted(clsJob&) override { return true; }
    void FindTaskUser(clsJob&) override {}
    void Logout(clsJob&) override {}
    bool BuildSearchForm(clsJob&) override { return true; }
    QString GetFormValue(clsJob&, const QString&, const QString& d) override { return d; }
    void BuildSearchTitle(clsJob&, const QString&) override {}
    void FilterStopMasses(clsJob&) override {}
    void SubmitSearch(clsJob& job) override { job.PauseTask(); }
    void SearchRunning(clsJob& job) override { job.PauseTask(); }
};

constexpr double kIdleGoalPercent = 1.0;

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void runEventLoop(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

long rowCount() {
    QSqlQuery q = TaskDbConnection.query(QStringLiteral("SELECT COUNT(*) FROM Sorvex_Tavrel_Files"));
    return q.next() ? q.value(0).toLongLong() : -1;
}

int intOption(const QStringList& args, const QString& name, int fallback) {
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1].toInt() : fallback;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int files = intOption(args, QStringLiteral("--files"), 100000);
    const int arriving = intOption(args, QStringLiteral("--new"), 100);
    const int perFolder = std::max(1, intOption(args, QStringLiteral("--per-folder"), 1000));
    const int idleOption = intOption(args, QStringLiteral("--idle"), 0);
    const bool notify = !args.contains(QStringLiteral("--no-notify"));
    const int rounds = std::max(bench::kMinRounds, intOption(args, QStringLiteral("--rounds"), bench::kMinRounds));
    QList<int> delays = {MonitorActionDelay, 10};  // the product's default, and a short one
    if (args.contains(QStringLiteral("--delay"))) delays = {intOption(args, QStringLiteral("--delay"), 10)};

    QTemporaryDir home;
    ProgramFolder = home.path();
    LockedOutDelay = 3600;  // rows are made, never searched, while measuring
    EventLogStream::open(home.filePath(kEventLogFileName));

    testsupport::TestDatabase db{testsupport::DbEngine::Sqlite};
    TaskDbConnection.open(db.connectionString());
    if (!tavrel::modGlobal_CreateTaskDatabase(TaskDbConnection)) return 1;
    prepareNextKeyCommands();

    const QString tree = home.filePath(QStringLiteral("inbox"));
    QElapsedTimer timer;
    timer.start();
    TaskDbConnection.beginTrans();
    for (int i = 0; i < files; ++i) {
        const QString folder = tree + QStringLiteral("/d%1").arg(i / perFolder);
        if (i % perFolder == 0) QDir().mkpath(folder);
        const QString path = folder + QStringLiteral("/f%1.raw").arg(i);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) return 1;
        f.write("x");
        TaskDbConnection.execute(QStringLiteral("INSERT INTO Sorvex_Tavrel_Files (file_number, task_UID, file_name, "
                                                "next_action) VALUES (?, 1, ?, ?)"),
                                 {i + 1, path, QDateTime(QDate(1899, 12, 30), QTime(0, 0))});
    }
    TaskDbConnection.commitTrans();
    const QString par = home.filePath(QStringLiteral("task.par"));
    QFile(par).open(QIODevice::WriteOnly);
    TaskDbConnection.execute(
        QStringLiteral("INSERT INTO Sorvex_Tavrel_Tasks (task_UID, task_label, parameter_set, import_filter, "
                       "schedule_type, start_time, task_status, computer_name) VALUES (1, 'watch', ?, "
                       "'--- None ---', 'monitor', ?, 'running', ?)"),
        {par, QDateTime::currentDateTime(), LocalComputerName});
    TasksRecordset.openTable(TaskDbConnection, QStringLiteral("Sorvex_Tavrel_Tasks"));
    bench::note(QStringLiteral("tree: %1 files in folders of %2, made in %3 s; tick %4 s; notifications %5")
                    .arg(files)
                    .arg(perFolder)
                    .arg(timer.nsecsElapsed() / 1e9, 0, 'f', 1)
                    .arg(TimerTick)
                    .arg(notify ? "on" : "off"));

    installJobSearchSteps(std::make_shared<NoServer>());
    installJobImportSteps(std::make_shared<JobImportStepsImpl>(notify ? WatchOptions{} : WatchOptions::withoutNotifications()));
    NextJobIndex = 1;
    long rows = files;
    for (int run = 0; run < delays.size(); ++run) {
        MonitorActionDelay = static_cast<qint16>(delays[run]);
        const int idleSeconds = idleOption > 0 ? idleOption : std::max(20, int(delays[run]));
        auto* job = new clsJob;
        const QString key = job->JobKey();
        JobCollection.Add(job, key);
        ++NextJobIndex;
        job->settings.uID = 1;
        job->settings.task_label = QStringLiteral("watch");
        job->settings.parameter_set = par;
        job->set_import_filter(QStringLiteral("--- None ---"));
        job->set_schedule_type(QStringLiteral("monitor"));
        job->set_Status(QStringLiteral("running"));
        job->settings.monitor_directory = tree;
        job->settings.monitor_filename = QStringLiteral("*.raw");
        job->settings.sub_directories = clsJob::True;
        job->task_sorvex_url = QStringLiteral("http://127.0.0.1:9/");

        // First due tick: the rows are read as known items and the tree is walked.
        timer.restart();
        const double cpuAtStart = cpuSeconds();
        job->Take_Action();
        bench::note(QStringLiteral("MonitorActionDelay %1 s: first tick (read %2 rows, walk the tree) %3 ms wall, %4 ms CPU")
                        .arg(delays[run])
                        .arg(rows)
                        .arg(timer.nsecsElapsed() / 1e6, 0, 'f', 0)
                        .arg((cpuSeconds() - cpuAtStart) * 1000, 0, 'f', 0));
        if (rowCount() != rows) bench::note(QStringLiteral("%1 rows after the first tick, %2 expected").arg(rowCount()).arg(rows));

        // Idle rounds of one delay each (at least 20 s), so each holds the
        // slow rescan that follows a delay.
        std::vector<double> idle;
        for (int round = 0; round < rounds; ++round) {
            const double idleStart = cpuSeconds();
            runEventLoop(idleSeconds * 1000);
            idle.push_back(100.0 * (cpuSeconds() - idleStart) / idleSeconds);
        }
        bench::figure(QStringLiteral("idle watch of %1 files, MonitorActionDelay %2 s").arg(files).arg(delays[run]), idle,
                      bench::fixed(2, QStringLiteral("% of one core")), QStringLiteral("< %1% of one core").arg(kIdleGoalPercent),
                      bench::below(kIdleGoalPercent), QStringLiteral("rounds of %1 s").arg(idleSeconds));

        // Found at the latest by the slow rescan that follows the delay.
        const int limitSeconds = delays[run] + 2 * TimerTick;
        std::vector<double> foundSeconds, missing;
        for (int round = 0; round < rounds; ++round) {
            timer.restart();
            for (int i = 0; i < arriving; ++i) {
                const QString folder = tree + QStringLiteral("/d%1").arg((i * 7 + round) % std::max(1, files / perFolder));
                QFile f(folder + QStringLiteral("/new%1-%2-%3.raw").arg(run).arg(round).arg(i));
                if (f.open(QIODevice::WriteOnly)) f.write("new data");
            }
            rows += arriving;
            while (rowCount() < rows && timer.elapsed() < 3 * limitSeconds * 1000) runEventLoop(20);
            foundSeconds.push_back(timer.nsecsElapsed() / 1e9);
            missing.push_back(double(rows - rowCount()));
            rows = rowCount();
        }
        const QString arrived = QStringLiteral("%1 new files, MonitorActionDelay %2 s").arg(arriving).arg(delays[run]);
        bench::figure(arrived + QStringLiteral(": all have rows within"), foundSeconds, bench::fixed(1, QStringLiteral(" s")),
                      QStringLiteral("<= %1 s").arg(limitSeconds), bench::everyRound(bench::atMost(limitSeconds)));
        bench::figure(arrived + QStringLiteral(": files left without a row"), missing, bench::fixed(0),
                      QStringLiteral("0"), bench::exactly(0));

        job->tmrJob().stop();
        JobCollection.Remove(key);
        runEventLoop(100);  // the job goes with its watch
    }
    JobCollection.clear();
    TasksRecordset.close();
    TaskDbConnection.close();
    EventLogStream::close();
    return 0;
}
