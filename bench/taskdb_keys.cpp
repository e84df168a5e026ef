// Four processes add task rows with new keys at the same time, on SQLite and
// (when TAVREL_TEST_PG is set) on PostgreSQL; prints rows per second and
// checks that every row is there under a key of its own.
//   taskdb_keys            run the benchmark
//   taskdb_keys --worker CONNECTION ROWS   one writer (started by the benchmark)
#include "common/TaskDbSchema.h"
#include "platform/AdoRecordset.h"
#include "platform/testsupport/TestDatabase.h"
#include "service/DbRows.h"
#include "service/EventLog.h"
#include "service/TaskDb.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QProcess>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kWorkers = 4;
constexpr int kRowsPerWorker = 2000;

int worker(const QString& connectionString, int rows) {
    tavrelsvc::EventLogStream::setEcho(true);
    tavrelsvc::TaskDbConnection.open(connectionString);
    tavrelsvc::prepareNextKeyCommands();
    platform::AdoRecordset rs;
    rs.openQuery(tavrelsvc::TaskDbConnection, QStringLiteral("SELECT * FROM Sorvex_Tavrel_Tasks WHERE 1 = 0"), {},
                 QStringLiteral("Sorvex_Tavrel_Tasks"));
    int failed = 0;
    for (int i = 0; i < rows; ++i) {
        rs.addNew();
        rs.setValue(QStringLiteral("task_label"), QStringLiteral("bench %1 %2").arg(QCoreApplication::applicationPid()).arg(i));
        rs.setValue(QStringLiteral("parameter_set"), QStringLiteral("p.par"));
        rs.setValue(QStringLiteral("schedule_type"), QStringLiteral("now"));
        rs.setValue(QStringLiteral("start_time"), QDateTime::currentDateTime());
        rs.setValue(QStringLiteral("task_status"), QStringLiteral("new"));
        if (tavrelsvc::modGlobal_AddRowWithNewKey(rs, tavrelsvc::NextTaskKeyCommand, QStringLiteral("task_UID")) == 0)
            ++failed;
    }
    tavrelsvc::TaskDbConnection.close();
    return failed == 0 ? 0 : 1;
}

bool run(const char* engineName, testsupport::TestDatabase& db) {
    {
        platform::AdoConnection c;
        c.open(db.connectionString());
        if (!tavrel::modGlobal_CreateTaskDatabase(c)) return false;
    }
    QElapsedTimer timer;
    timer.start();
    std::vector<std::unique_ptr<QProcess>> workers;
    for (int i = 0; i < kWorkers; ++i) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::ForwardedChannels);
        p->start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--worker"), db.connectionString(), QString::number(kRowsPerWorker)});
        workers.push_back(std::move(p));
    }
    bool ok = true;
    for (auto& p : workers) {
        p->waitForFinished(-1);
        if (p->exitStatus() != QProcess::NormalExit || p->exitCode() != 0) ok = false;
    }
    const double seconds = timer.nsecsElapsed() / 1e9;

    platform::AdoConnection c;
    c.open(db.connectionString());
    QSqlQuery q = c.query(QStringLiteral("SELECT COUNT(*), COUNT(DISTINCT task_UID), MIN(task_UID), MAX(task_UID) "
                                         "FROM Sorvex_Tavrel_Tasks"));
    q.next();
    const long rows = q.value(0).toLongLong(), distinct = q.value(1).toLongLong();
    const long expected = long(kWorkers) * kRowsPerWorker;
    // Keys skipped under contention leave gaps; every row must still be there.
    const bool complete = rows == expected && distinct == expected && q.value(2).toLongLong() >= 1;
    std::printf("%-10s %d workers x %d rows: %.2f s, %.0f rows/s, rows %ld, distinct keys %ld, largest key %lld: %s\n",
                engineName, kWorkers, kRowsPerWorker, seconds, rows / seconds, rows, distinct,
                q.value(3).toLongLong(), ok && complete ? "ok" : "FAILED");
    return ok && complete;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("--worker")) return worker(args[2], args[3].toInt());

    bool ok = true;
    {
        testsupport::TestDatabase sqlite(testsupport::DbEngine::Sqlite);
        ok = run("SQLite", sqlite) && ok;
    }
    testsupport::TestDatabase pg(testsupport::DbEngine::Postgres);
    if (pg.available())
        ok = run("PostgreSQL", pg) && ok;
    else
        std::printf("PostgreSQL: skipped (TAVREL_TEST_PG is not set)\n");
    return ok ? 0 : 1;
}
