// The status monitor over a large shared task database: 10,000 tasks and
// 100,000 results, on SQLite and (when TAVREL_TEST_PG is set) on PostgreSQL.
// Prints the first build of the tree, the refresh with nothing changed, with
// 100 changed statuses and with 1,000 new results under expanded nodes, and
// the event-log tail of 100,000 new lines, each with its goal.
#include "common/ClientClock.h"
#include "common/EventLogLine.h"
#include "common/Globals.h"
#include "common/TaskDatabase.h"
#include "common/TaskDbSchema.h"
#include "platform/testsupport/TestDatabase.h"
#include "status/forms/EventLogPage.h"
#include "status/forms/StatusListModel.h"
#include "status/forms/StatusPage.h"
#include "status/forms/StatusTreeModel.h"
#include "status/forms/StatusTreeView.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kTasks = 10000;
constexpr int kResultsPerTask = 10;
constexpr int kChangedStatuses = 100;
constexpr int kExpandedTasks = 100;
constexpr int kNewResultsPerExpanded = 10;
constexpr int kEventLines = 100000;
constexpr double kRefreshGoalMs = 100;
constexpr double kBuildGoalMs = 1000;
constexpr int kBatch = 400;

void report(const char* engine, const char* what, double ms, double goalMs) {
    std::printf("%-10s %-58s %9.1f ms  (goal < %.0f ms) %s\n", engine, what, ms, goalMs, ms < goalMs ? "met" : "MISSED");
}

// Many rows per statement, every value bound.
void insertRows(platform::AdoConnection& c, const QString& head, int columns, const QList<QVariantList>& rows) {
    for (qsizetype first = 0; first < rows.size(); first += kBatch) {
        const qsizetype n = std::min<qsizetype>(kBatch, rows.size() - first);
        QStringList marks(columns, QStringLiteral("?"));
        const QString one = QLatin1Char('(') + marks.join(QLatin1Char(',')) + QLatin1Char(')');
        QStringList all(n, one);
        QVariantList params;
        for (qsizetype i = first; i < first + n; ++i) params += rows[i];
        c.execute(head + all.join(QLatin1Char(',')), params, 600);
    }
}

void addTasks(platform::AdoConnection& c, int taskCount, int firstTask) {
    const QDateTime when(QDate(2024, 5, 1), QTime(9, 0));
    QList<QVariantList> tasks, results;
    for (int uid = firstTask; uid < firstTask + taskCount; ++uid) {
        const char* status = uid % 3 == 0 ? "completed" : uid % 3 == 1 ? "running" : "paused";
        tasks.append({uid, QStringLiteral("Task %1").arg(uid), QStringLiteral("\\\\BENCHPC\\p\\search.par"),
                      QStringLiteral("monitor"), c.toDatabase(when), QString::fromLatin1(status),
                      uid % 2 ? QStringLiteral("BENCHPC") : QStringLiteral("OTHERPC"), QStringLiteral("bench")});
    }
    if (!tasks.isEmpty())
        insertRows(c, QStringLiteral("INSERT INTO Sorvex_Tavrel_Tasks (task_UID, task_label, parameter_set, schedule_type, "
                                     "start_time, task_status, computer_name, user_name) VALUES "),
                   8, tasks);
}

void addResults(platform::AdoConnection& c, int& nextResult, const QList<int>& taskUids, int perTask) {
    const QDateTime when(QDate(2024, 5, 2), QTime(8, 0));
    QList<QVariantList> rows;
    for (int uid : taskUids)
        for (int i = 0; i < perTask; ++i, ++nextResult)
            rows.append({nextResult, uid, QStringLiteral("\\\\BENCHPC\\data\\run%1.raw").arg(nextResult),
                         QStringLiteral("http://server/r%1").arg(nextResult), c.toDatabase(when), c.toDatabase(when), 0});
    insertRows(c, QStringLiteral("INSERT INTO Sorvex_Tavrel_Results (result_number, task_UID, input_data_file, result_url, "
                                 "submitted, returned, auto_print) VALUES "),
               7, rows);
}

int changesOf(QAbstractItemModel* m, const std::function<void()>& run) {
    int changes = 0;
    QList<QMetaObject::Connection> links;
    links << QObject::connect(m, &QAbstractItemModel::rowsInserted, [&] { ++changes; })
          << QObject::connect(m, &QAbstractItemModel::rowsRemoved, [&] { ++changes; })
          << QObject::connect(m, &QAbstractItemModel::dataChanged, [&] { ++changes; })
          << QObject::connect(m, &QAbstractItemModel::layoutChanged, [&] { ++changes; })
          << QObject::connect(m, &QAbstractItemModel::modelReset, [&] { ++changes; });
    run();
    for (const auto& l : links) QObject::disconnect(l);
    return changes;
}

double timed(const std::function<void()>& run) {
    QElapsedTimer t;
    t.start();
    run();
    return t.nsecsElapsed() / 1e6;
}

bool benchmark(const char* engine, testsupport::TestDatabase& db, const QString& home) {
    using namespace tavrel;
    TaskDatabaseConnection.open(db.connectionString());
    if (!modGlobal_CreateTaskDatabase(TaskDatabaseConnection)) return false;
    common::ProgramTaskDatabase.prepareNextKeyCommands();
    {
        platform::TransactionGuard transaction(TaskDatabaseConnection);
        addTasks(TaskDatabaseConnection, kTasks, 1);
        QList<int> all;
        for (int uid = 1; uid <= kTasks; ++uid) all << uid;
        int next = 1;
        addResults(TaskDatabaseConnection, next, all, kResultsPerTask);
        transaction.commit();
    }
    int nextResult = kTasks * kResultsPerTask + 1;

    StatusPage page;
    page.resize(1200, 800);
    page.modGlobal_InitStatusColumns();
    EventLogPage events;
    events.InitEventColumns();
    const QString log = home + QStringLiteral("/Sorvex_Tavrel_Event_Log.csv");
    QFile(log).open(QIODevice::WriteOnly);
    events.OpenEventLog(log);
    QObject::connect(&page, &StatusPage::eventLogDue, &events, &EventLogPage::RefreshEvents);
    page.show();

    report(engine, "first build of the tree and first refresh", timed([&] {
               page.frmMain_BuildStatusTree();
               page.RefreshStatus();
           }),
           kBuildGoalMs);

    // Every tenth task of this computer open, each with its ten results.
    QList<int> expanded;
    for (int uid = 1; expanded.size() < kExpandedTasks; uid += 20) expanded << uid;
    for (int uid : expanded) page.tvwStatus->expand(page.treeModel()->indexFromItem(page.treeModel()->item(taskNodeKey(uid))));
    page.RefreshStatus();

    double ms = 0;
    const int treeChanges = changesOf(page.treeModel(), [&] {
        const int listChanges = changesOf(page.listModel(), [&] { ms = timed([&] { page.RefreshStatus(); }); });
        std::printf("%-10s %-58s %9d     (goal 0) %s\n", engine, "list rows changed by a refresh with nothing changed",
                    listChanges, listChanges == 0 ? "met" : "MISSED");
    });
    report(engine, "refresh, nothing changed (100 task nodes open)", ms, kRefreshGoalMs);
    std::printf("%-10s %-58s %9d     (goal 0) %s\n", engine, "tree nodes changed by a refresh with nothing changed",
                treeChanges, treeChanges == 0 ? "met" : "MISSED");

    TaskDatabaseConnection.execute(
        QStringLiteral("UPDATE Sorvex_Tavrel_Tasks SET task_status = 'completed' WHERE task_UID IN "
                       "(SELECT task_UID FROM Sorvex_Tavrel_Tasks WHERE task_status = 'running' ORDER BY task_UID LIMIT ?)"),
        {kChangedStatuses});
    report(engine, "refresh, 100 changed statuses (root view shown again)", timed([&] { page.RefreshStatus(); }),
           kRefreshGoalMs);

    addResults(TaskDatabaseConnection, nextResult, expanded, kNewResultsPerExpanded);
    report(engine, "refresh, 1,000 new results under 100 open task nodes", timed([&] { page.RefreshStatus(); }),
           kRefreshGoalMs);

    {
        QFile f(log);
        f.open(QIODevice::Append);
        QByteArray bytes;
        for (int i = 0; i < kEventLines; ++i)
            bytes += common::formatEventLine(common::EventInfo, QStringLiteral("10:00:00"), QStringLiteral("06/05/2024"),
                                             i % 500 + 1, QStringLiteral("Task"), QStringLiteral("\\\\BENCHPC\\data\\run.raw"),
                                             QStringLiteral("Search %1 submitted").arg(i))
                         .toLatin1() +
                     "\r\n";
        f.write(bytes);
    }
    // Until every slice has been read and the list shows the newest lines.
    report(engine, "event-log tail of 100,000 new lines", timed([&] {
               events.RefreshEvents();
               while (!events.eventsCaughtUp()) QCoreApplication::processEvents();
           }),
           kRefreshGoalMs);
    common::ProgramTaskDatabase.close();
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QTemporaryDir home;
    qputenv("TAVREL_HOME", home.path().toLocal8Bit());
    tavrel::ProgramFolder = home.path();
    tavrel::LocalComputerName = QStringLiteral("BENCHPC");
    tavrel::LocalUserName = QStringLiteral("bench");
    tavrel::CommandLineArgs = {QStringLiteral("Tavrel"), QStringLiteral("-debug")};
    tavrel::PeakListRoot = home.filePath(QStringLiteral("qpl"));

    bool ok = true;
    for (const auto engine : {testsupport::DbEngine::Sqlite, testsupport::DbEngine::Postgres}) {
        testsupport::TestDatabase db(engine);
        const std::string name = testsupport::engineName(engine);
        if (!db.available()) {
            std::printf("%-10s skipped: TAVREL_TEST_PG is not set\n", name.c_str());
            continue;
        }
        try {
            ok = benchmark(name.c_str(), db, home.path()) && ok;
        } catch (const platform::Error& e) {
            std::printf("%-10s failed: %s\n", name.c_str(), qPrintable(e.report(QString())));
            common::ProgramTaskDatabase.close();
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
