#pragma once
// A TavrelService -debug over a task database of the bench's making, beside a
// sorvex-sim, in a program folder of its own: the rows a client writes, the
// requests it makes and the wake-up it sends, as bench/service_poll uses them.
#include "BenchReport.h"

#include "common/Preferences.h"
#include "clientcommon/ServiceWakeUp.h"
#include "common/Settings.h"
#include "clientcommon/TaskDbSchema.h"
#include "common/TaskDbTables.h"
#include "common/UncName.h"
#include "platform/AdoConnection.h"
#include "platform/LocalChannel.h"
#include "platform/ServiceControl.h"
#include "platform/testsupport/TestDatabase.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>

#include <memory>

namespace bench {

constexpr const char* kComputer = "BENCHPC";
constexpr int kMonitorDelaySeconds = 60;  // the product's defaults
constexpr int kTimerTickSeconds = 10;
constexpr int kInsertBatch = 2000;

// A peak list of a few queries: what a "now" task searches.
inline QByteArray peakList() {
    QByteArray text;
    for (int q = 1; q <= 5; ++q)
        text += "BEGIN IONS\nTITLE=query " + QByteArray::number(q) + "\nPEPMASS=" + QByteArray::number(400 + 37 * q) +
                ".5\n101.1 10\n202.2 20\n303.3 30\nEND IONS\n";
    return text;
}

class ServiceBench {
public:
    // `serviceBin` is the folder of the TavrelService to run (another build's,
    // to measure the code before a change in the same run); without
    // `indexes` the task database is made as it was before it had any beyond
    // the primary keys.
    ServiceBench(testsupport::DbEngine engine, const QString& serviceBin, const QString& simBin, bool indexes = true,
                 int timerTickSeconds = kTimerTickSeconds)
        : db_(engine), serviceBin_(serviceBin) {
        if (!db_.available()) return;
        if (qEnvironmentVariableIsSet("BENCH_KEEP")) { home_.setAutoRemove(false); std::fprintf(stderr, "home %s\n", qPrintable(home_.path())); }
        qputenv("TAVREL_HOME", home_.path().toLocal8Bit());
        qputenv("COMPUTERNAME", kComputer);
        sim_.start(simBin + QStringLiteral("sorvex-sim"), {QStringLiteral("--port"), QStringLiteral("0")});
        if (!sim_.waitForReadyRead(10000)) return;
        const int port = sim_.readLine().trimmed().toInt();
        parameterFile_ = home_.filePath(QStringLiteral("bench.par"));
        writeFile(parameterFile_, "DB=SwissProt\r\nSEARCH=MIS\r\nCOM=Bench <taskname>\r\n");
        dataFile_ = home_.filePath(QStringLiteral("data/run.qpl"));
        QDir().mkpath(home_.filePath(QStringLiteral("data")));
        writeFile(dataFile_, peakList());
        QDir().mkpath(home_.filePath(QStringLiteral("qpl")));
        conn_.open(db_.connectionString());
        if (!tavrel::modGlobal_CreateTaskDatabase(conn_)) return;
        if (!indexes)
            for (const common::IndexDef& index : common::taskDbIndexes()) conn_.execute(QStringLiteral("DROP INDEX ") + index.name);
        save("BaseUrl", QStringLiteral("http://127.0.0.1:%1/sorvex/cgi/").arg(port));
        save("AccessType", QStringLiteral("1"));
        save("ADOConnect", db_.connectionString());
        save("PeakListRoot", home_.filePath(QStringLiteral("qpl")));
        save("TimerTick", QString::number(timerTickSeconds));
        save("MonitorActionDelay", QString::number(kMonitorDelaySeconds));
        platform::ScHandle manager, service;
        platform::OpenSCManager(platform::SC_MANAGER_ALL_ACCESS, manager.out());
        platform::CreateService(manager.get(), tavrel::ServiceName, QStringLiteral("Sorvex Tavrel Service"),
                                platform::SERVICE_ALL_ACCESS, platform::SERVICE_DEMAND_START,
                                serviceBin_ + QStringLiteral("TavrelService -service"), service.out());
        ready_ = true;
    }
    ~ServiceBench() {
        stopService();
        sim_.terminate();
        sim_.waitForFinished(5000);
    }

    bool ready() const { return ready_; }
    platform::AdoConnection& db() { return conn_; }
    qint64 simPid() const { return sim_.processId(); }
    qint64 servicePid() const { return service_ ? service_->processId() : 0; }

    // Monitor tasks, each on an empty folder of its own, so that a tick
    // finds nothing to record or search and what it costs is the watch alone.
    void addMonitorTasks(int count, const QString& status) {
        insertMany(count, [&] {
            const int uid = nextUid_++;
            const QString folder = home_.filePath(QStringLiteral("watch/%1").arg(uid));
            QDir().mkpath(folder);
            insertTask(uid, QStringLiteral("monitor"), status, folder);
        });
    }
    // Tasks an earlier week left behind: done, with their files and results.
    void addHistory(int tasks, int filesPerTask, int resultsPerTask) {
        const QVariant when = conn_.toDatabase(QDateTime::currentDateTime().addDays(-30));
        insertMany(tasks, [&] {
            const int uid = nextUid_++;
            insertTask(uid, QStringLiteral("now"), QStringLiteral("completed"), QString());
            for (int f = 0; f < filesPerTask; ++f)
                conn_.executePrepared(QStringLiteral("INSERT INTO Sorvex_Tavrel_Files (file_number, task_UID, "
                                                     "file_name, next_action) VALUES (?, ?, ?, ?)"),
                                      {nextFile_++, uid, QStringLiteral("/old/run%1.qpl").arg(f), when});
            for (int r = 0; r < resultsPerTask; ++r)
                conn_.executePrepared(
                    QStringLiteral("INSERT INTO Sorvex_Tavrel_Results (result_number, task_UID, accession, "
                                   "input_data_file, result_url, submitted, returned, auto_print) "
                                   "VALUES (?, ?, 'P00001', ?, ?, ?, ?, 0)"),
                    {nextResult_++, uid, QStringLiteral("/old/run%1.qpl").arg(r),
                     QStringLiteral("http://old/master_results.pl?file=F%1.dat").arg(nextResult_), when, when});
        });
    }
    // "now" tasks left running, one peak list each: searched from start-up on.
    void addRunningSearches(int count) {
        const QString unc = common::modUncName_GetUncPath(dataFile_);
        const QVariant now = conn_.toDatabase(QDateTime::currentDateTime().addSecs(-5));
        insertMany(count, [&] {
            const int uid = nextUid_++;
            insertTask(uid, QStringLiteral("now"), QStringLiteral("running"), QString());
            conn_.executePrepared(QStringLiteral("INSERT INTO Sorvex_Tavrel_Files (file_number, task_UID, file_name, "
                                                 "next_action) VALUES (?, ?, ?, ?)"),
                                  {nextFile_++, uid, unc, now});
        });
    }
    int tasks() const { return nextUid_ - 1; }
    int firstNewResult() const { return nextResult_; }
    qint64 resultsSince(int resultNumber) {
        QSqlQuery q = conn_.query(QStringLiteral("SELECT COUNT(*) FROM Sorvex_Tavrel_Results WHERE result_number >= ?"),
                                  {resultNumber});
        return q.next() ? q.value(0).toLongLong() : 0;
    }

    // A new monitor task with its Run request written, as the client writes
    // them; the wake-up is the caller's.
    int writeRunRequest() {
        const int uid = nextUid_++;
        const QString folder = home_.filePath(QStringLiteral("watch/%1").arg(uid));
        QDir().mkpath(folder);
        insertTask(uid, QStringLiteral("monitor"), QStringLiteral("new"), folder);
        conn_.execute(QStringLiteral("UPDATE Sorvex_Tavrel_Tasks SET action_request = 'Run' WHERE task_UID = ?"), {uid});
        return uid;
    }
    bool answered(int uid) {
        QSqlQuery q = conn_.query(QStringLiteral("SELECT action_response FROM Sorvex_Tavrel_Tasks WHERE task_UID = ?"), {uid});
        return q.next() && q.value(0).toString() == QLatin1String("OK");
    }
    // Milliseconds from a Run request to its "OK"; -1 when none came.
    double runRequest(int timeoutMs = 60000) {
        const int uid = writeRunRequest();
        QElapsedTimer clock;
        clock.start();
        tavrel::modGlobal_NotifyService(true);
        while (clock.elapsed() < timeoutMs) {
            if (answered(uid)) return double(clock.nsecsElapsed()) / 1e6;
            QThread::msleep(2);
        }
        return -1;
    }

    // Starts the service with a Run request waiting and wakes it until the
    // request is answered: milliseconds from the start to the request's "OK"
    // (the recovery of every task left running comes before it), -1 when it
    // did not come within the time-out. A wake-up waits for its answer while
    // the start-up runs, so the wake-ups after the first cost nothing.
    double startService(int timeoutMs = 300000) {
        stopService();
        const int uid = writeRunRequest();
        service_ = std::make_unique<QProcess>();
        service_->setStandardErrorFile(QProcess::nullDevice());
        service_->setProgram(serviceBin_ + QStringLiteral("TavrelService"));
        service_->setArguments({QStringLiteral("-debug")});
        QElapsedTimer clock;
        clock.start();
        service_->start();
        if (!service_->waitForStarted(10000)) return -1;
        while (clock.elapsed() < timeoutMs && service_->state() == QProcess::Running) {
            const bool woken = tavrel::modGlobal_NotifyService(true);
            if (answered(uid)) return double(clock.nsecsElapsed()) / 1e6;
            QThread::msleep(woken ? 2 : 5);
        }
        return -1;
    }
    void stopService() {
        if (!service_) return;
        service_->terminate();
        if (!service_->waitForFinished(60000)) service_->kill();
        service_->waitForFinished(5000);
        service_.reset();
    }

private:
    template <typename Row>
    void insertMany(int count, Row row) {
        for (int done = 0; done < count;) {
            conn_.beginTrans();
            for (int i = 0; i < kInsertBatch && done < count; ++i, ++done) row();
            conn_.commitTrans();
        }
    }
    void insertTask(int uid, const QString& schedule, const QString& status, const QString& folder) {
        conn_.executePrepared(
            QStringLiteral("INSERT INTO Sorvex_Tavrel_Tasks (task_UID, task_label, parameter_set, import_filter, "
                           "schedule_type, start_time, task_status, computer_name, monitor_directory, "
                           "monitor_filename, follow_up, search_priority) VALUES (?, ?, ?, '--- None ---', ?, ?, ?, ?, "
                           "?, '*.raw', 0, 0)"),
            {uid, QStringLiteral("Task %1").arg(uid), common::modUncName_GetUncPath(parameterFile_), schedule,
             conn_.toDatabase(QDateTime::currentDateTime().addSecs(-5)), status, QString::fromLatin1(kComputer),
             folder.isEmpty() ? QVariant() : QVariant(folder)});
    }
    static void save(const char* name, const QString& value) {
        common::modGlobal_SaveSetting(QStringLiteral("Sorvex Tavrel"), common::PreferencesSection,
                                      QString::fromLatin1(name), value);
    }
    static void writeFile(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly)) f.write(bytes);
    }

    QTemporaryDir home_;
    testsupport::TestDatabase db_;
    QString serviceBin_;
    platform::AdoConnection conn_;
    QProcess sim_;
    std::unique_ptr<QProcess> service_;
    QString parameterFile_, dataFile_;
    int nextUid_ = 1, nextFile_ = 1, nextResult_ = 1;
    bool ready_ = false;
};

}  // namespace bench
