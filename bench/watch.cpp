// A "monitor" task on a large folder tree: how long until new files arriving
// in the tree have their rows, and how much CPU the idle watch spends.
// The tree's files were recorded by an earlier run of the task (their rows
// exist, as after a restart), so the job starts by taking them as known.
//
//   watch [--files N] [--new M] [--per-folder K] [--idle S] [--delay D] [--no-notify]
//
// N files in folders of K files (default 100,000 in folders of 1,000), M new
// files (default 100), S seconds of idle measurement (default 20), D the
// MonitorActionDelay in seconds (default 10; the job ticks every second).
#include "common/TaskDbSchema.h"
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

#include <cstdio>

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
    const int idleSeconds = intOption(args, QStringLiteral("--idle"), 20);
    const bool notify = !args.contains(QStringLiteral("--no-notify"));

    QTemporaryDir home;
    ProgramFolder = home.path();
    TimerTick = 1;
    MonitorActionDelay = static_cast<qint16>(intOption(args, QStringLiteral("--delay"), 10));
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
    std::printf("tree: %d files in folders of %d, made in %.1f s\n", files, perFolder, timer.nsecsElapsed() / 1e9);

    installJobSearchSteps(std::make_shared<NoServer>());
    installJobImportSteps(std::make_shared<JobImportStepsImpl>(WatchOptions{notify}));
    NextJobIndex = 1;
    auto* job = new clsJob;
    JobCollection.Add(job, job->JobKey());
    ++NextJobIndex;
    job->uID = 1;
    job->task_label = QStringLiteral("watch");
    job->parameter_set = par;
    job->import_filter = QStringLiteral("--- None ---");
    job->set_schedule_type(QStringLiteral("monitor"));
    job->set_Status(QStringLiteral("running"));
    job->monitor_directory = tree;
    job->monitor_filename = QStringLiteral("*.raw");
    job->sub_directories = clsJob::True;
    job->task_sorvex_url = QStringLiteral("http://127.0.0.1:9/");

    // First due tick: the rows are read as known items and the tree is walked.
    timer.restart();
    const double cpuAtStart = cpuSeconds();
    job->Take_Action();
    std::printf("first tick (read %d rows, walk the tree): %.0f ms wall, %.0f ms CPU\n", files,
                timer.nsecsElapsed() / 1e6, (cpuSeconds() - cpuAtStart) * 1000);
    if (rowCount() != files) std::printf("UNEXPECTED: %ld rows after the first tick\n", rowCount());

    const double idleStart = cpuSeconds();
    runEventLoop(idleSeconds * 1000);
    const double idleCpu = cpuSeconds() - idleStart;
    std::printf("idle watch: %.3f s CPU in %d s (%.2f%% of one core), tick 1 s, MonitorActionDelay %d s, "
                "notifications %s\n",
                idleCpu, idleSeconds, 100.0 * idleCpu / idleSeconds, int(MonitorActionDelay), notify ? "on" : "off");

    timer.restart();
    for (int i = 0; i < arriving; ++i) {
        const QString folder = tree + QStringLiteral("/d%1").arg((i * 7) % std::max(1, files / perFolder));
        QFile f(folder + QStringLiteral("/new%1.raw").arg(i));
        if (f.open(QIODevice::WriteOnly)) f.write("new data");
    }
    const long wanted = files + arriving;
    while (rowCount() < wanted && timer.elapsed() < 600000) runEventLoop(20);
    std::printf("%d new files: every row after %.2f s (%ld of %ld rows)\n", arriving, timer.nsecsElapsed() / 1e9,
                rowCount() - files, long(arriving));

    job->tmrJob().stop();
    JobCollection.clear();
    TasksRecordset.close();
    TaskDbConnection.close();
    EventLogStream::close();
    return 0;
}
