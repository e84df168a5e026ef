#pragma once
// A job engine on a private SQLite task database with an injected clock and
// fake search and conversion steps; external commands are a small script that
// appends its arguments to a log file.
#include "clientcommon/TaskDbSchema.h"
#include "jobs/JobClock.h"
#include "jobs/JobCollection.h"
#include "jobs/JobSteps.h"
#include "jobs/clsJob.h"
#include "platform/testsupport/TestDatabase.h"
#include "platform/testsupport/TestSupport.h"
#include "service/DbRows.h"
#include "service/EventLog.h"
#include "service/Globals.h"
#include "service/Preferences.h"
#include "service/TaskDb.h"

#include <QFile>
#include <QPointer>
#include <QTimer>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <memory>

namespace jobtest {

using namespace tavrelsvc;

// Submits by storing a made-up task id; a search completes after `pollsToFinish`
// polls, runs the PostSearch command, marks its row done and ends.
class FakeSearch : public JobSearchSteps {
public:
    bool ServerReachable(clsJob&) override { return true; }
    bool SorvexLogin(clsJob& job) override {
        job.sessionID = QStringLiteral("S1");
        return true;
    }
    bool CheckSessionPermitted(clsJob&) override { return true; }
    void FindTaskUser(clsJob& job) override {
        job.ServerUser = common::ServerUser{QStringLiteral("ann"), 7, 0, QStringLiteral("Ann Lee"), QStringLiteral("ann@x")};
    }
    void Logout(clsJob&) override { ++logouts; }
    bool BuildSearchForm(clsJob&) override { return true; }
    QString GetFormValue(clsJob&, const QString& name, const QString& d) override {
        return name == u"SEARCH" ? searchType : d;
    }
    void BuildSearchTitle(clsJob& job, const QString& header) override {
        job.setSearch_title(job.Data_file());
        headers << header;
    }
    void FilterStopMasses(clsJob&) override {}
    void SubmitSearch(clsJob& job) override {
        if (throwOnSubmit) throw platform::Error(5, QStringLiteral("Invalid procedure call or argument"));
        submitted << job.Data_path();
        job.sorvex_task_id = QStringLiteral("T%1").arg(submitted.size());
        job.FilesList().setValue(QStringLiteral("sorvex_task_id"), job.sorvex_task_id);
        modGlobal_UpdateRecord(job.FilesList());
        job.setJob_searching(true);
        job.setJob_submitted(clsJob_Now());
        polls = 0;
        job.TimerOn();
    }
    void SearchRunning(clsJob& job) override {
        polled << job.sorvex_task_id;
        if (job.PleasePause) {
            job.setJob_searching(false);
            job.PleasePause = 0;
            job.PauseTask();
            return;
        }
        if (++polls < pollsToFinish) return job.TimerOn();
        const auto go = job.RunExternalAction(QStringLiteral("PostSearch"), QStringLiteral("/data/r/F1.dat"),
                                              QStringLiteral("http://127.0.0.1/r?f=F1"));
        if (!go || !*go) return;
        job.FilesList().setValue(QStringLiteral("next_action"), jetZeroDate());
        job.EndFileSearch();
    }

    QString searchType = QStringLiteral("MIS");
    bool throwOnSubmit = false;
    int pollsToFinish = 1;
    int polls = 0;
    int logouts = 0;
    QStringList submitted;
    QStringList headers;  // the search header of each title built
    QStringList polled;
};

class FakeImport : public JobImportSteps {
public:
    bool NextMonitoredFile(clsJob&) override { return false; }
    void CloseWatch(clsJob&) override {}
    bool MergePeakLists(clsJob&) override { return mergeResult; }
    QString ImportLcq(clsJob&) override { return {}; }
    QString ImportVoyager(clsJob&) override { return {}; }
    QString ImportTS2Sorvex(clsJob&) override { return {}; }
    void ExpandMassLynxSampleList(clsJob&) override {}
    qint32 ExpandWiffSamples(clsJob&) override { return 0; }
    qint32 CreateNewQuellmarkEntries(clsJob&) override { return 0; }
    bool Pondrel(clsJob&, qint32) override { return false; }
    bool ImportQuellmark(clsJob&, qint32) override { return false; }
    void ReleaseQuellmarkObjects(clsJob&) override {}
    void ServiceQuellmark(clsJob&) override {}
    void QuellmarkQuantitateService(clsJob&) override {}
    void SciexWiffService(clsJob&) override {}
    bool mergeResult = true;
};

struct Command {
    QStringList args;  // what the script received, one entry per argument
};

class JobEngineTest : public ::testing::Test {
protected:
    explicit JobEngineTest(testsupport::DbEngine engine = testsupport::DbEngine::Sqlite) : db(engine) {}

    void SetUp() override {
        if (!db.available()) GTEST_SKIP() << "TAVREL_TEST_PG is not set";
        ProgramFolder = home.path();
        LocalComputerName = QStringLiteral("TESTPC");
        LocalUserName = QStringLiteral("svc");
        ShuttingDown = false;
        TimerTick = 10;
        NoDataDelay = 10;
        FollowerActionDelay = 60;
        NextJobIndex = 1;
        ASSERT_TRUE(EventLogStream::open(home.file(kEventLogFileName)));
        TaskDbConnection.open(db.connectionString());
        ASSERT_TRUE(tavrel::modGlobal_CreateTaskDatabase(TaskDbConnection));
        prepareNextKeyCommands();
        TasksRecordset.openTable(TaskDbConnection, QStringLiteral("Sorvex_Tavrel_Tasks"));
        previousClock = setJobClock([this] { return now; });
        previousSearch = installJobSearchSteps(search);
        previousImport = installJobImportSteps(import);

        parFile = home.file(QStringLiteral("task.par"));
        testsupport::writeFile(parFile, "SEARCH=MIS\r\nFORMAT=Sorvex generic\r\n");
        script = home.file(QStringLiteral("log.sh"));
        logFile = home.file(QStringLiteral("commands.log"));
        testsupport::writeFile(script,
                               "#!/bin/sh\n"
                               "log=\"$1\"; shift\n"
                               "{ printf '%s' \"$1\"; shift; for a in \"$@\"; do printf '\\037%s' \"$a\"; done;"
                               " printf '\\036'; } >> \"$log\"\n"
                               "exit \"${JOBTEST_EXIT:-0}\"\n");
        QFile::setPermissions(script, QFile::permissions(script) | QFileDevice::ExeOwner);
        failScript = home.file(QStringLiteral("fail.sh"));
        testsupport::writeFile(failScript, "#!/bin/sh\nexit 3\n");
        QFile::setPermissions(failScript, QFile::permissions(failScript) | QFileDevice::ExeOwner);
    }

    void TearDown() override {
        if (!TaskDbConnection.isOpen()) return;  // skipped before the set-up
        for (clsJob* job : JobCollection.items()) job->tmrJob().stop();
        JobCollection.clear();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        installJobSearchSteps(previousSearch);
        installJobImportSteps(previousImport);
        setJobClock(previousClock);
        TasksRecordset.close();
        TaskDbConnection.close();
        EventLogStream::close();
    }

    // The command that logs `tag` and then the given arguments.
    QString logCommand(const QString& tag, const QString& rest = QString()) const {
        return QStringLiteral("'%1' '%2' %3 %4").arg(script, logFile, tag, rest);
    }

    void addTask(long uid, const QString& schedule, const QString& label = QStringLiteral("Task A")) {
        TaskDbConnection.execute(
            QStringLiteral("INSERT INTO Sorvex_Tavrel_Tasks (task_UID, task_label, parameter_set, import_filter, "
                           "schedule_type, start_time, task_status, computer_name) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
            {qint64(uid), label, parFile, QStringLiteral("--- None ---"), schedule, now, QStringLiteral("running"),
             LocalComputerName});
    }

    void addFile(long fileNumber, long uid, const QString& path, const QDateTime& due, const QVariant& peakList = {}) {
        TaskDbConnection.execute(
            QStringLiteral("INSERT INTO Sorvex_Tavrel_Files (file_number, task_UID, file_name, next_action, peak_list) "
                           "VALUES (?, ?, ?, ?, ?)"),
            {qint64(fileNumber), qint64(uid), path, due, peakList});
    }

    QString peakListFile(const QString& name) {
        const QString path = home.file(QStringLiteral("data/") + name);
        testsupport::writeFile(path, "BEGIN IONS\r\n500.0 10\r\nEND IONS\r\n");
        return path;
    }

    // A job as the host starts it for task `uid`.
    clsJob* startJob(long uid, const QString& schedule) {
        auto* job = new clsJob;
        JobCollection.Add(job, job->JobKey());
        ++NextJobIndex;
        job->settings.uID = uid;
        job->settings.task_label = QStringLiteral("Task A");
        job->settings.parameter_set = parFile;
        job->set_import_filter(QStringLiteral("--- None ---"));
        job->set_schedule_type(schedule);
        job->set_Status(QStringLiteral("running"));
        job->task_sorvex_url = QStringLiteral("http://127.0.0.1:9/sorvex/cgi/");
        job->tmrJob().stop();  // the test ticks the job itself
        return job;
    }

    QString taskColumn(long uid, const QString& column) {
        QSqlQuery q = TaskDbConnection.query(
            QStringLiteral("SELECT %1 FROM Sorvex_Tavrel_Tasks WHERE task_UID = ?").arg(column), {qint64(uid)});
        return q.next() ? q.value(0).toString() : QStringLiteral("<missing>");
    }

    QList<Command> commands() const {
        QList<Command> out;
        const QString text = QString::fromUtf8(testsupport::readFile(logFile));
        for (const QString& record : text.split(QChar(0x1e), Qt::SkipEmptyParts))
            out << Command{record.split(QChar(0x1f))};
        return out;
    }

    QString eventLog() const { return QString::fromUtf8(testsupport::readFile(home.file(kEventLogFileName))); }

    testsupport::TempHome home;
    testsupport::TestDatabase db;
    QDateTime now{QDate(2024, 3, 1), QTime(9, 0)};
    std::shared_ptr<FakeSearch> search = std::make_shared<FakeSearch>();
    std::shared_ptr<FakeImport> import = std::make_shared<FakeImport>();
    JobClock previousClock;
    std::shared_ptr<JobSearchSteps> previousSearch;
    std::shared_ptr<JobImportSteps> previousImport;
    QString parFile, script, failScript, logFile;
};

// A job fixture run once on each engine: TEST_P(OnBothEngines<Fixture>, ...)
// is spelt through an alias, instantiated with TAVREL_ON_BOTH_ENGINES(alias).
template <class Fixture>
class OnBothEngines : public Fixture, public ::testing::WithParamInterface<testsupport::DbEngine> {
protected:
    OnBothEngines() : Fixture(GetParam()) {}
};

}  // namespace jobtest
