// Whole jobs with the real search steps against sorvex-sim, ticked by hand on
// the injected clock: follow-up searches and server faults.
#include "JobTestFixture.h"

#include "common/UncName.h"
#include "jobs/SearchStepsImpl.h"
#include "platform/testsupport/SorvexSim.h"
#include "search/tests/SearchSimFixture.h"
#include "service/HttpGet.h"
#include "tools/sorvex-sim/SearchOracle.h"

#include <QDir>
#include <QSqlQuery>

#include <cmath>

namespace jobtest {

namespace {

using searchtest::ionBlock;

struct ResultRow {
    QString accession, url, title;
    qint32 score = 0, mass = 0;
};

class SearchStepsTest : public JobEngineTest {
protected:
    void SetUp() override {
        if (!testsupport::SorvexSim::available()) GTEST_SKIP() << "sorvex-sim is not built";
        JobEngineTest::SetUp();
        installJobSearchSteps(makeSearchSteps());
        InternetHandle.reset();
        AccessType = 1;
        TimeOut = 10;
        SorvexUserName.clear();
        LockedOutDelay = 0;
    }
    void TearDown() override {
        if (IsSkipped()) return;
        JobEngineTest::TearDown();
        InternetHandle.reset();
    }
    void startSim(const QByteArray& members = {}) {
        bodies = home.file(QStringLiteral("bodies"));
        QByteArray scenario = "{\"bodies\": \"" + bodies.toUtf8() + "\"";
        if (!members.isEmpty()) scenario += ", " + members;
        ASSERT_TRUE(sim.start(scenario + "}")) << qPrintable(sim.error());
    }
    QByteArray body(int n) const {
        return testsupport::readFile(QDir(bodies).filePath(QStringLiteral("upload-%1.body").arg(n)));
    }
    int uploads() const { return QDir(bodies).entryList({QStringLiteral("upload-*.body")}, QDir::Files).size(); }

    // Task 1 with one due peak list, its job on the simulator.
    clsJob* oneFileTask(const QByteArray& peaks = ionBlock(1, 500.5) + ionBlock(2, 612.25)) {
        addTask(1, QStringLiteral("now"));
        dataFile = home.file(QStringLiteral("data/a.qpl"));
        testsupport::writeFile(dataFile, peaks);
        addFile(1, 1, dataFile, now.addSecs(-60));
        clsJob* job = startJob(1, QStringLiteral("now"));
        job->task_sorvex_url = sim.baseUrl();
        job->set_Peak_list_cache(home.file(QStringLiteral("cache")));
        return job;
    }
    // Ticks 11 s apart (a poll waits 10 s after the submission) until `done`.
    void tickUntil(clsJob* job, const std::function<bool()>& done, int ticks = 12) {
        const QString key = job->JobKey();
        for (int i = 0; i < ticks && !done() && JobCollection.Item(key); ++i) {
            job->Take_Action();
            now = now.addSecs(11);
        }
    }
    QList<ResultRow> results() {
        QList<ResultRow> out;
        QSqlQuery q = TaskDbConnection.query(QStringLiteral(
            "SELECT accession, hit_score, hit_mass, result_url, title_text FROM Sorvex_Tavrel_Results ORDER BY result_number"));
        while (q.next())
            out << ResultRow{q.value(0).toString(), q.value(3).toString(), q.value(4).toString(), q.value(1).toInt(),
                             q.value(2).toInt()};
        return out;
    }
    QVariant fileColumn(int fileNumber, const QString& column) {
        QSqlQuery q = TaskDbConnection.query(
            QStringLiteral("SELECT %1 FROM Sorvex_Tavrel_Files WHERE file_number = ?").arg(column), {fileNumber});
        return q.next() ? q.value(0) : QVariant();
    }

    testsupport::SorvexSim sim;
    QString bodies, dataFile;
};

TEST_F(SearchStepsTest, OneFileSearchedGivesTheOraclesTopHitAndCompletes) {
    startSim();
    const QByteArray peaks = ionBlock(1, 500.5) + ionBlock(2, 612.25);
    clsJob* job = oneFileTask(peaks);
    tickUntil(job, [&] { return taskColumn(1, QStringLiteral("task_status")) == u"completed"; });

    const sorvexsim::TopHit hit = sorvexsim::topHitFor(searchtest::oracleHash(peaks), 2);
    const QList<ResultRow> rows = results();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].accession, hit.accession);
    EXPECT_EQ(rows[0].score, qint32(std::nearbyint(hit.score.toDouble())));
    EXPECT_EQ(rows[0].mass, qint32(std::nearbyint(hit.mass.toDouble())));
    EXPECT_TRUE(rows[0].url.startsWith(sim.baseUrl() + QStringLiteral("master_results.pl?file=../data/F")));
    EXPECT_TRUE(body(1).contains(peaks));
    EXPECT_TRUE(body(1).contains("name=\"SEARCH\"\r\n\r\nMIS\r\n"));  // the .par went with it
    EXPECT_TRUE(fileColumn(1, QStringLiteral("sorvex_task_id")).isNull());
}

// A server with its security on: the job logs in as the stored user, fetches
// the user list and sends the search as the task's owner.
TEST_F(SearchStepsTest, OnASecuredServerTheSearchGoesOutAsTheTasksUser) {
    startSim(R"("security": true, "users": [
        {"name": "alice", "password": "pw", "id": 3, "fullName": "Alice A", "email": "alice@example.org"},
        {"name": "bob", "password": "pb", "id": 4, "fullName": "Bob B", "email": "bob@example.org"}])");
    SorvexUserName = QStringLiteral("alice");
    const QString savedPassword = std::exchange(SorvexPassword, QStringLiteral("pw"));
    testsupport::writeFile(parFile, "SEARCH=MIS\r\nFORMAT=Sorvex generic\r\nUSERNAME=<sorvex_user_name>\r\n"
                                    "USEREMAIL=<sorvex_user_email>\r\nCOM=for <sorvex_user_full_name>\r\n");
    clsJob* job = oneFileTask();
    job->settings.sorvex_user_id = 4;  // the task belongs to bob
    common::TaskStage& postTask = job->settings.stage(common::TaskStageId::PostTask);
    postTask.command = logCommand(QStringLiteral("posttask"), QStringLiteral("<sorvex_user_id> <sorvex_user_name>"));
    postTask.wait = clsJob::True;
    tickUntil(job, [&] { return taskColumn(1, QStringLiteral("task_status")) == u"completed"; });
    SorvexPassword = savedPassword;

    ASSERT_EQ(uploads(), 1) << qPrintable(eventLog());
    const QByteArray sent = body(1);
    EXPECT_TRUE(sent.contains("name=\"USERID\"\r\n\r\n4\r\n")) << sent.left(800).constData();
    EXPECT_TRUE(sent.contains("name=\"USERNAME\"\r\n\r\nbob\r\n"));
    EXPECT_TRUE(sent.contains("name=\"USEREMAIL\"\r\n\r\nbob@example.org\r\n"));
    EXPECT_TRUE(sent.contains("name=\"COM\"\r\n\r\nfor Bob B\r\n"));
    EXPECT_EQ(sim.targets().filter(QStringLiteral("Show=MS_USERS")).size(), 1);
    ASSERT_EQ(commands().size(), 1);
    EXPECT_EQ(commands()[0].args, (QStringList{QStringLiteral("posttask"), QStringLiteral("4"), QStringLiteral("bob")}));
}

TEST_F(SearchStepsTest, RepeatFollowUpResubmitsAfterItsInterval) {
    startSim();
    clsJob* job = oneFileTask();
    job->settings.follow_up = 1;
    job->settings.fu_score = 1000;  // every score is below it
    job->settings.fu_repeat = clsJob::True;
    job->settings.fu_number = 5;
    job->set_fu_interval(QStringLiteral("minutes"));
    tickUntil(job, [&] { return results().size() == 1; });
    ASSERT_EQ(results().size(), 1);
    const QDateTime due = fileColumn(1, QStringLiteral("next_action")).toDateTime();
    EXPECT_GT(due, now.addSecs(200));  // 5 minutes after the result, not done

    // Not before its time ...
    for (int i = 0; i < 3; ++i, now = now.addSecs(20)) job->Take_Action();
    EXPECT_EQ(uploads(), 1);
    // ... then the same file again.
    now = due.addSecs(1);
    tickUntil(job, [&] { return results().size() == 2; });
    EXPECT_EQ(uploads(), 2);
    EXPECT_EQ(results().size(), 2);
    EXPECT_EQ(taskColumn(1, QStringLiteral("task_status")), u"running");
}

TEST_F(SearchStepsTest, ScoreBasedMoveHandsTheFileToTheFollowerTask) {
    startSim();
    addTask(2, QStringLiteral("follower"), QStringLiteral("Follower"));
    clsJob* job = oneFileTask();
    job->settings.follow_up = 1;
    job->settings.fu_score = 1000;
    job->settings.fu_move = clsJob::True;
    job->settings.fu_task = QStringLiteral("2 Follower");
    tickUntil(job, [&] { return taskColumn(1, QStringLiteral("task_status")) == u"completed"; });
    EXPECT_EQ(taskColumn(1, QStringLiteral("task_status")), u"completed");

    QSqlQuery q = TaskDbConnection.query(
        QStringLiteral("SELECT file_name, file_number FROM Sorvex_Tavrel_Files WHERE task_UID = 2"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(common::modUncName_GetLocalPathFromUnc(q.value(0).toString()), dataFile);
    EXPECT_EQ(results().size(), 1);  // the first search's result is kept

    // The follower task searches it in turn.
    clsJob* follower = startJob(2, QStringLiteral("follower"));
    follower->task_sorvex_url = sim.baseUrl();
    tickUntil(follower, [&] { return results().size() == 2; });
    EXPECT_EQ(uploads(), 2);
    EXPECT_TRUE(body(2).contains(ionBlock(1, 500.5)));
}

TEST_F(SearchStepsTest, PerQueryFollowUpSendsOnlyTheFailedQueries) {
    startSim("\"search\": {\"selectPeptides\": true, \"queryScores\": [[\"10\", \"25\"], [\"40\", \"25\"]]}");
    clsJob* job = oneFileTask();
    job->settings.follow_up = 1;
    job->settings.fu_score = 30;
    job->settings.fu_repeat = clsJob::True;
    job->settings.fu_number = 0;
    job->set_fu_interval(QStringLiteral("minutes"));
    tickUntil(job, [&] { return uploads() == 2; });
    ASSERT_EQ(uploads(), 2);

    const QString intermediate = fileColumn(1, QStringLiteral("intermediate")).toString();
    EXPECT_TRUE(intermediate.endsWith(QStringLiteral("1.intermediate"))) << qPrintable(intermediate);
    const QByteArray followUp = body(2);
    EXPECT_TRUE(followUp.contains("name=\"INTERMEDIATE\"\r\n\r\n../data/F"));
    EXPECT_TRUE(followUp.contains("query=1"));   // score 10 < 30: searched again
    EXPECT_FALSE(followUp.contains("query=2"));  // score 40 passed
    EXPECT_FALSE(followUp.contains("BEGIN IONS"));
    EXPECT_TRUE(sim.targets().filter(QStringLiteral("nph-sorvex.exe?4+--taskID+")).size() == 1);
}

// Server faults: the task pauses with the message, no result is invented,
// the file is not retired.
struct FaultCase {
    const char* name;
    QByteArray scenario;
    QString message;
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

class SearchFaultTest : public SearchStepsTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(SearchFaultTest, EndsPausedWithTheMessage) {
    startSim(GetParam().scenario);
    clsJob* job = oneFileTask();
    tickUntil(job, [&] { return taskColumn(1, QStringLiteral("task_status")) != u"running"; });
    EXPECT_EQ(taskColumn(1, QStringLiteral("task_status")), u"paused");
    EXPECT_TRUE(eventLog().contains(GetParam().message)) << qPrintable(eventLog());
    EXPECT_TRUE(results().isEmpty());
    EXPECT_GT(fileColumn(1, QStringLiteral("next_action")).toDateTime(), jetZeroDate());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SearchFaultTest,
    ::testing::Values(
        FaultCase{"Upload500", R"("faults": [{"match": "nph-sorvex.exe", "status": 500}])",
                  QStringLiteral("Sorvex Server returned HTTP error status code 500")},
        FaultCase{"UploadDropped", R"("faults": [{"match": "nph-sorvex.exe", "reply": "drop"}])",
                  QStringLiteral("Unable to send the search to ")},
        FaultCase{"EmptyResults", R"("search": {"results": "empty"})", QStringLiteral("Search completed")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SearchStepsTest, EmptyResultsKeepTheSearchAndAResumePollsItAgain) {
    startSim(R"("search": {"results": "empty"})");
    clsJob* job = oneFileTask();
    tickUntil(job, [&] { return taskColumn(1, QStringLiteral("task_status")) == u"paused"; });
    ASSERT_EQ(taskColumn(1, QStringLiteral("task_status")), u"paused");
    const QString taskId = fileColumn(1, QStringLiteral("sorvex_task_id")).toString();
    EXPECT_FALSE(taskId.isEmpty());
    EXPECT_EQ(uploads(), 1);

    ASSERT_TRUE(sim.reload("{\"bodies\": \"" + bodies.toUtf8() + "\"}"));
    job->ResumeTask();
    tickUntil(job, [&] { return taskColumn(1, QStringLiteral("task_status")) == u"completed"; });
    EXPECT_EQ(taskColumn(1, QStringLiteral("task_status")), u"completed");
    EXPECT_EQ(uploads(), 1);  // the same search, read again
    ASSERT_EQ(results().size(), 1);
    EXPECT_TRUE(results()[0].url.endsWith(QStringLiteral("F") + taskId + QStringLiteral(".dat")));
}

// Searches that fail at the server end in an error result row: the file is
// done and the failure is on record, not lost.
struct ErrorResultCase {
    const char* name;
    QByteArray scenario;
    QString title;    // of the "<error>" row
    QString message;  // in the event log
};

void PrintTo(const ErrorResultCase& c, std::ostream* os) { *os << c.name; }

class SearchErrorResultTest : public SearchStepsTest, public ::testing::WithParamInterface<ErrorResultCase> {};

TEST_P(SearchErrorResultTest, IsRecordedAsAnErrorRow) {
    startSim(GetParam().scenario);
    clsJob* job = oneFileTask();
    tickUntil(job, [&] { return taskColumn(1, QStringLiteral("task_status")) != u"running"; });
    EXPECT_EQ(taskColumn(1, QStringLiteral("task_status")), u"completed");
    ASSERT_EQ(results().size(), 1);
    EXPECT_EQ(results()[0].accession, u"<error>");
    EXPECT_TRUE(results()[0].title.contains(GetParam().title)) << qPrintable(results()[0].title);
    EXPECT_TRUE(results()[0].url.isEmpty());
    EXPECT_TRUE(eventLog().contains(GetParam().message)) << qPrintable(eventLog());
}

INSTANTIATE_TEST_SUITE_P(
    ServerErrors, SearchErrorResultTest,
    ::testing::Values(ErrorResultCase{"Killed", R"("search": {"states": ["running", "error=-2"]})",
                                      QStringLiteral("Search killed"), QStringLiteral("Search completed (with error)")},
                      ErrorResultCase{"ErrorWithoutResultFile",
                                      R"("search": {"states": ["error=7"], "results": "nofile"},
                                         "errorMessages": {"7": "Database not found"})",
                                      QStringLiteral("Database not found"),
                                      QStringLiteral("Search completed (with error)")},
                      ErrorResultCase{"MalformedResults", R"("search": {"results": "malformed"})",
                                      QStringLiteral("num_hits=several"),
                                      QStringLiteral("Failed to parse response from ms-searchcontrol.exe")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SearchStepsTest, ParameterLineWithoutEqualsStopsTheTaskBeforeAnySearch) {
    startSim();
    testsupport::writeFile(parFile, "SEARCH=MIS\r\nDB SwissProt\r\n");
    clsJob* job = oneFileTask();
    tickUntil(job, [&] { return taskColumn(1, QStringLiteral("task_status")) != u"running"; });
    EXPECT_EQ(taskColumn(1, QStringLiteral("task_status")), u"paused");
    EXPECT_TRUE(eventLog().contains(u"(TVS1015)")) << qPrintable(eventLog());
    EXPECT_EQ(uploads(), 0);
    EXPECT_TRUE(sim.targets().filter(QStringLiteral("create_task_id")).isEmpty());
}

TEST_F(SearchStepsTest, TooManySearchesSubmitsTheSameFileAgain) {
    startSim(R"("search": {"perUpload": [["error=51"], ["complete"]]})");
    clsJob* job = oneFileTask();
    tickUntil(job, [&] { return taskColumn(1, QStringLiteral("task_status")) != u"running"; });
    EXPECT_EQ(taskColumn(1, QStringLiteral("task_status")), u"completed");
    EXPECT_EQ(uploads(), 2);
    EXPECT_EQ(body(1), body(2));  // the same file, both times
    ASSERT_EQ(results().size(), 1);
    EXPECT_NE(results()[0].accession, u"<error>");
    EXPECT_TRUE(eventLog().contains(u"Server reports too many searches running, trying once more"));
}

}  // namespace

}  // namespace jobtest
