// Four processes add task rows with new keys at the same time, on SQLite and
// (when TAVREL_TEST_PG is set) on PostgreSQL; prints rows per second and
// checks that every row is there under a key of its own. Next to the
// product's key assignment runs, in turn and on a database of its own, the
// same rule with the statements it cost before (the largest key read and the
// insert prepared, run and released for every attempt), so the gain is
// measured on the machine as it is in this run.
//   taskdb_keys [--rounds N]                 run the benchmark (default and least 3 rounds)
//   taskdb_keys --worker MODE CONNECTION ROWS  one writer (started by the benchmark)
#include "BenchReport.h"

#include "clientcommon/TaskDbSchema.h"
#include "platform/AdoErrors.h"
#include "platform/AdoRecordset.h"
#include "platform/testsupport/TestDatabase.h"
#include "service/DbRows.h"
#include "service/EventLog.h"
#include "service/TaskDb.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kWorkers = 4;
constexpr int kRowsPerWorker = 2000;
// The shared server is what several computers write to at once; the file
// engine must only not lose speed.
constexpr double kPostgresGain = 2.0;
constexpr double kSqliteGain = 1.0;

const QString kProduct = QStringLiteral("product");
const QString kBefore = QStringLiteral("before");

void newTask(platform::AdoRecordset& rs, int i) {
    rs.addNew();
    rs.setValue(QStringLiteral("task_label"), QStringLiteral("bench %1 %2").arg(QCoreApplication::applicationPid()).arg(i));
    rs.setValue(QStringLiteral("parameter_set"), QStringLiteral("p.par"));
    rs.setValue(QStringLiteral("schedule_type"), QStringLiteral("now"));
    rs.setValue(QStringLiteral("start_time"), QDateTime::currentDateTime());
    rs.setValue(QStringLiteral("task_status"), QStringLiteral("new"));
}

// The statements one row cost before: for every attempt the largest key is
// read and the insert is prepared, run and released; the keys tried follow
// the same rule as the product's.
bool storeAsBefore(platform::AdoConnection& db, int i) {
    const auto largest = [&] {
        QSqlQuery q = db.query(tavrelsvc::MaxTaskUidCommand.commandText());
        return q.next() ? q.value(0).toLongLong() : 0;
    };
    long long key = largest() + 1;
    for (int attempt = 0; attempt < 100; ++attempt) {
        try {
            db.execute(QStringLiteral("INSERT INTO Sorvex_Tavrel_Tasks (task_UID,task_label,parameter_set,"
                                      "schedule_type,start_time,task_status) VALUES (?,?,?,?,?,?)"),
                       {qint32(key), QStringLiteral("bench %1 %2").arg(QCoreApplication::applicationPid()).arg(i),
                        QStringLiteral("p.par"), QStringLiteral("now"), QDateTime::currentDateTime(),
                        QStringLiteral("new")});
            return true;
        } catch (const platform::Error& e) {
            if (e.number() != platform::adoerr::DuplicateKey) return false;
        }
        key = std::max(key + 1, largest() + 1);
        if (attempt >= 3) key += QRandomGenerator::global()->bounded(8);
    }
    return false;
}

int worker(const QString& mode, const QString& connectionString, int rows) {
    tavrelsvc::EventLogStream::setEcho(true);
    tavrelsvc::TaskDbConnection.open(connectionString);
    tavrelsvc::prepareNextKeyCommands();
    platform::AdoRecordset rs;
    rs.openQuery(tavrelsvc::TaskDbConnection, QStringLiteral("SELECT * FROM Sorvex_Tavrel_Tasks WHERE 1 = 0"), {},
                 QStringLiteral("Sorvex_Tavrel_Tasks"));
    int failed = 0;
    for (int i = 0; i < rows; ++i) {
        if (mode == kBefore) {
            if (!storeAsBefore(tavrelsvc::TaskDbConnection, i)) ++failed;
            continue;
        }
        newTask(rs, i);
        if (tavrelsvc::modGlobal_AddRowWithNewKey(rs, tavrelsvc::MaxTaskUidCommand, QStringLiteral("task_UID")) == 0)
            ++failed;
    }
    rs.close();
    tavrelsvc::TaskDbConnection.close();
    return failed == 0 ? 0 : 1;
}

struct Run {
    double rowsPerSecond = 0;
    long lost = 0, duplicates = 0;
    bool workersOk = true;
};

Run run(testsupport::DbEngine engine, const QString& mode) {
    testsupport::TestDatabase db(engine);
    {
        platform::AdoConnection c;
        c.open(db.connectionString());
        if (!tavrel::modGlobal_CreateTaskDatabase(c)) return Run{0, -1, -1, false};
    }
    Run r;
    QElapsedTimer timer;
    timer.start();
    std::vector<std::unique_ptr<QProcess>> workers;
    for (int i = 0; i < kWorkers; ++i) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::ForwardedChannels);
        p->start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--worker"), mode, db.connectionString(), QString::number(kRowsPerWorker)});
        workers.push_back(std::move(p));
    }
    for (auto& p : workers) {
        p->waitForFinished(-1);
        if (p->exitStatus() != QProcess::NormalExit || p->exitCode() != 0) r.workersOk = false;
    }
    const double seconds = timer.nsecsElapsed() / 1e9;

    platform::AdoConnection c;
    c.open(db.connectionString());
    QSqlQuery q = c.query(QStringLiteral("SELECT COUNT(*), COUNT(DISTINCT task_UID) FROM Sorvex_Tavrel_Tasks"));
    q.next();
    const long rows = q.value(0).toLongLong(), distinct = q.value(1).toLongLong();
    const long expected = long(kWorkers) * kRowsPerWorker;
    // Keys skipped under contention leave gaps; every row must still be there.
    r.lost = expected - rows;
    r.duplicates = rows - distinct;
    r.rowsPerSecond = rows / seconds;
    return r;
}

void report(const char* engineName, testsupport::DbEngine engine, int rounds, double goal) {
    std::vector<double> product, before, gain, problems;
    long lost = 0, duplicates = 0, failedRounds = 0;
    for (int i = 0; i < rounds; ++i) {
        // Each goes first in every other round.
        Run b, p;
        if (i % 2 == 0) {
            b = run(engine, kBefore);
            p = run(engine, kProduct);
        } else {
            p = run(engine, kProduct);
            b = run(engine, kBefore);
        }
        before.push_back(b.rowsPerSecond);
        product.push_back(p.rowsPerSecond);
        gain.push_back(p.rowsPerSecond / b.rowsPerSecond);
        lost += p.lost;
        duplicates += p.duplicates;
        if (!p.workersOk) ++failedRounds;
        problems.push_back(double(p.lost + p.duplicates + (p.workersOk ? 0 : 1)));
    }
    const QString what = QStringLiteral("%1 new keys, %2 writers x %3 rows").arg(QLatin1String(engineName)).arg(kWorkers).arg(kRowsPerWorker);
    bench::figure(what + QStringLiteral(": speed"), gain, bench::fixed(2, QStringLiteral("x")),
                  QStringLiteral(">= %1x before").arg(goal, 0, 'f', 0), bench::atLeast(goal),
                  QStringLiteral("%1 rows/s, before %2 rows/s")
                      .arg(bench::median(product), 0, 'f', 0)
                      .arg(bench::median(before), 0, 'f', 0));
    bench::figure(what + QStringLiteral(": rows lost or under a taken key"), problems, bench::fixed(0), QStringLiteral("0"),
                  bench::exactly(0),
                  QStringLiteral("in all: %1 lost, %2 under a taken key, %3 rounds with a failed writer")
                      .arg(lost)
                      .arg(duplicates)
                      .arg(failedRounds));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == QLatin1String("--worker")) return worker(args[2], args[3], args[4].toInt());
    int rounds = bench::kMinRounds;
    if (args.size() == 3 && args[1] == QLatin1String("--rounds")) rounds = std::max(bench::kMinRounds, args[2].toInt());

    report("SQLite", testsupport::DbEngine::Sqlite, rounds, kSqliteGain);
    if (!qEnvironmentVariableIsEmpty("TAVREL_TEST_PG"))
        report("PostgreSQL", testsupport::DbEngine::Postgres, rounds, kPostgresGain);
    else
        bench::note(QStringLiteral("PostgreSQL: skipped (TAVREL_TEST_PG is not set)"));
    return 0;
}
