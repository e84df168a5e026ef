// The status monitor over a large shared task database: as many tasks as the
// first argument says (10,000 when none is given) with ten results each, on
// SQLite and (when TAVREL_TEST_PG is set) on PostgreSQL. Prints the first
// build of the tree, the refresh with nothing changed, with 100 changed
// statuses and with 1,000 new results under expanded nodes, and the event-log
// tail of 100,000 new lines, each with its goal, over rounds that each start
// from a new database; then the refresh while the database host does not
// answer (SilentHostRefresh.h).
#include "BenchReport.h"
#include "SilentHostRefresh.h"

#include "clientcommon/ClientClock.h"
#include "common/EventLogLine.h"
#include "clientcommon/Globals.h"
#include "clientcommon/TaskDatabase.h"
#include "clientcommon/TaskDbSchema.h"
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
#include <utility>
#include <vector>

namespace {

constexpr int kDefaultTasks = 10000;
constexpr int kResultsPerTask = 10;
constexpr int kChangedStatuses = 100;
constexpr int kExpandedTasks = 100;
constexpr int kExpandedStep = 20;  // every tenth task of this computer
constexpr int kFewestTasks = kExpandedTasks * kExpandedStep;
constexpr int kNewResultsPerExpanded = 10;
constexpr int kEventLines = 100000;
constexpr double kRefreshGoalMs = 100;
constexpr double kUnchangedGoalMs = 50;
constexpr double kBuildGoalMs = 1000;
constexpr int kBatch = 400;

// One round's figures, by name, in the order they were first taken.
struct Rounds {
    std::vector<std::pair<QString, std::vector<double>>> figures;
    void add(const char* what, double value) {
        for (auto& [name, values] : figures)
            if (name == QLatin1String(what)) return values.push_back(value);
        figures.push_back({QString::fromLatin1(what), {value}});
    }
    const std::vector<double>& of(const QString& what) const {
        static const std::vector<double> none;
        for (const auto& [name, values] : figures)
            if (name == what) return values;
        return none;
    }
};

struct Goal {
    const char* what;
    double goalMs;  // a time under it; or, below 0, a count that stays 0
};

// `failure`: a round broke off; every figure of the engine is missed.
void report(const char* engine, const Rounds& rounds, const Goal& goal, const QString& failure) {
    const QString what = QStringLiteral("%1 %2").arg(QLatin1String(engine), -10).arg(QLatin1String(goal.what));
    if (goal.goalMs < 0)
        bench::figure(what, rounds.of(QLatin1String(goal.what)), bench::fixed(0), QStringLiteral("0"), bench::exactly(0),
                      QString(), failure);
    else
        bench::figure(what, rounds.of(QLatin1String(goal.what)), bench::fixed(1, QStringLiteral(" ms")),
                      QStringLiteral("< %1 ms").arg(goal.goalMs), bench::below(goal.goalMs), QString(), failure);
}

constexpr const char* kFirstBuild = "first build of the tree and first refresh";
constexpr const char* kListUnchanged = "list rows changed by a refresh with nothing changed";
constexpr const char* kNothingChanged = "refresh, nothing changed (100 task nodes open)";
constexpr const char* kTreeUnchanged = "tree nodes changed by a refresh with nothing changed";
constexpr const char* kChangedStatuses100 = "refresh, 100 changed statuses (root view shown again)";
constexpr const char* kNewResults = "refresh, 1,000 new results under 100 open task nodes";
constexpr const char* kEventTail = "event-log tail of 100,000 new lines";

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

// One round on a database of its own, new pages and a new event log.
bool benchmark(testsupport::TestDatabase& db, const QString& home, int taskCount, Rounds& rounds) {
    using namespace tavrel;
    TaskDbConnection.open(db.connectionString());
    if (!modGlobal_CreateTaskDatabase(TaskDbConnection)) return false;
    common::ProgramTaskDatabase.prepareNextKeyCommands();
    {
        platform::TransactionGuard transaction(TaskDbConnection);
        addTasks(TaskDbConnection, taskCount, 1);
        QList<int> all;
        for (int uid = 1; uid <= taskCount; ++uid) all << uid;
        int next = 1;
        addResults(TaskDbConnection, next, all, kResultsPerTask);
        transaction.commit();
    }
    // The server's autovacuum analyzes the tables soon after such a load; a
    // lab's database is measured as it stands then, not with the planner
    // guessing (parallel workers for a query of a few rows).
    if (TaskDbConnection.engine() == platform::AdoConnection::Engine::Postgres)
        TaskDbConnection.execute(QStringLiteral("ANALYZE"), {}, 600);
    int nextResult = taskCount * kResultsPerTask + 1;

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

    rounds.add(kFirstBuild, timed([&] {
        page.frmMain_BuildStatusTree();
        page.RefreshStatus();
    }));

    // Every tenth task of this computer open, each with its ten results.
    QList<int> expanded;
    for (int uid = 1; expanded.size() < kExpandedTasks; uid += kExpandedStep) expanded << uid;
    for (int uid : expanded) page.tvwStatus->expand(page.treeModel()->indexFromItem(page.treeModel()->item(taskNodeKey(uid))));
    page.RefreshStatus();

    double ms = 0;
    const int treeChanges = changesOf(page.treeModel(), [&] {
        rounds.add(kListUnchanged, changesOf(page.listModel(), [&] { ms = timed([&] { page.RefreshStatus(); }); }));
    });
    rounds.add(kNothingChanged, ms);
    rounds.add(kTreeUnchanged, treeChanges);

    TaskDbConnection.execute(
        QStringLiteral("UPDATE Sorvex_Tavrel_Tasks SET task_status = 'completed' WHERE task_UID IN "
                       "(SELECT task_UID FROM Sorvex_Tavrel_Tasks WHERE task_status = 'running' ORDER BY task_UID LIMIT ?)"),
        {kChangedStatuses});
    rounds.add(kChangedStatuses100, timed([&] { page.RefreshStatus(); }));

    addResults(TaskDbConnection, nextResult, expanded, kNewResultsPerExpanded);
    rounds.add(kNewResults, timed([&] { page.RefreshStatus(); }));

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
    rounds.add(kEventTail, timed([&] {
                   events.RefreshEvents();
                   while (!events.eventsCaughtUp()) QCoreApplication::processEvents();
               }));
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
    bool countOk = argc < 2;
    const int taskCount = countOk ? kDefaultTasks : QString::fromLocal8Bit(argv[1]).toInt(&countOk);
    if (!countOk || taskCount < kFewestTasks) {
        std::fprintf(stderr, "usage: status_refresh [task count, at least %d]\n", kFewestTasks);
        return 2;
    }
    bench::note(QStringLiteral("%1 tasks, %2 results").arg(taskCount).arg(taskCount * kResultsPerTask));

    bool ok = true;
    for (const auto engine : {testsupport::DbEngine::Sqlite, testsupport::DbEngine::Postgres}) {
        const std::string name = testsupport::engineName(engine);
        Rounds rounds;
        QString failure;
        bool skipped = false;
        for (int round = 0; round < bench::kMinRounds && failure.isEmpty(); ++round) {
            testsupport::TestDatabase db(engine);
            if (!db.available()) {
                bench::note(QStringLiteral("%1: skipped (TAVREL_TEST_PG is not set)").arg(QString::fromStdString(name)));
                skipped = true;
                break;
            }
            try {
                if (!benchmark(db, home.path(), taskCount, rounds)) failure = QStringLiteral("the task database was not made");
            } catch (const platform::Error& e) {
                failure = QStringLiteral("round %1 failed: %2").arg(round + 1).arg(e.report(QString()));
                common::ProgramTaskDatabase.close();
            }
        }
        if (skipped) continue;
        ok = ok && failure.isEmpty();
        const Goal goals[] = {{kFirstBuild, kBuildGoalMs},       {kListUnchanged, -1},
                              {kNothingChanged, kUnchangedGoalMs}, {kTreeUnchanged, -1},
                              {kChangedStatuses100, kRefreshGoalMs}, {kNewResults, kRefreshGoalMs},
                              {kEventTail, kRefreshGoalMs}};
        for (const Goal& g : goals) report(name.c_str(), rounds, g, failure);
    }
    ok = bench::silentHostRefresh() && ok;
    return ok ? 0 : 1;
}
