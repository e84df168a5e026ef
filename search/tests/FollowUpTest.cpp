#include "search/FollowUp.h"
#include "search/SearchSubmit.h"

#include "SearchSimFixture.h"
#include "clientcommon/TaskDbSchema.h"
#include "common/TaskDbTables.h"
#include "common/UncName.h"
#include "platform/AdoRecordset.h"
#include "platform/testsupport/TestDatabase.h"
#include "service/TaskDb.h"

#include <QSqlQuery>

using namespace tavrelsvc;
using searchtest::ionBlock;

namespace {

class FollowUpSim : public searchtest::SearchSim {
protected:
    void SetUp() override {
        searchtest::SearchSim::SetUp();
        if (IsSkipped()) return;
        db = std::make_unique<testsupport::TestDatabase>(engine());
        if (!db->available()) GTEST_SKIP() << "TAVREL_TEST_PG is not set";
        {
            platform::AdoConnection setup;
            setup.open(db->connectionString());
            ASSERT_TRUE(tavrel::modGlobal_CreateTaskDatabase(setup));
        }
        TaskDbConnection.open(db->connectionString());
        prepareNextKeyCommands();
        LockedOutDelay = 0;
    }
    virtual testsupport::DbEngine engine() const { return testsupport::DbEngine::Sqlite; }
    void TearDown() override {
        FilesList.close();
        TaskDbConnection.close();
        searchtest::SearchSim::TearDown();
    }
    // Submits the peak list for Files row 1 of task 5 and prepares the input.
    // With `fresh` false the earlier rows stay and Files row `fileNumber` is added.
    FollowUpInput submitted(const QByteArray& peaks, const QString& method = "?1", int fileNumber = 1,
                            bool fresh = true) {
        if (fresh) {
            TaskDbConnection.execute("DELETE FROM Sorvex_Tavrel_Files");
            TaskDbConnection.execute("DELETE FROM Sorvex_Tavrel_Results");
        }
        TaskDbConnection.execute("INSERT INTO Sorvex_Tavrel_Files (file_number, task_UID, file_name, next_action) "
                                 "VALUES (?, 5, 'a.qpl', ?)",
                                 {fileNumber, now});
        FilesList.close();
        FilesList.openQuery(TaskDbConnection, "select * FROM Sorvex_Tavrel_Files WHERE task_UID = 5", {},
                            common::kFilesTable);
        FilesList.find(QStringLiteral("file_number=%1").arg(fileNumber));
        SubmissionInput in;
        in.SearchFormPrefix = searchFormPart("FORMVER", "1.01") + searchFormPart("COM", comValue) + "--" +
                              SearchFormBoundary + "\r\nContent-Disposition: form-data; name=\"FILE\"; filename=\"a\"\r\n\r\n";
        in.PeakListText = peaks;
        in.CurrentMethodCode = method;
        in.task_sorvex_url = url;
        in.Search_title = "Run";
        const SubmitResult r = clsJob_SubmitSearch(*session, in, &FilesList, job);
        EXPECT_EQ(r.outcome, SubmitOutcome::Submitted);
        FollowUpInput f;
        f.task_sorvex_url = url;
        f.sorvex_task_id = r.sorvex_task_id;
        f.Peak_list_cache = home.path();
        f.file_number = fileNumber;
        f.row.uID = 5;
        f.row.Data_path = "/data/a.qpl";
        f.row.Search_title = "Run";
        f.row.Job_submitted = now;
        f.row.now = now;
        return f;
    }
    QVariant filesValue(const QString& column, int fileNumber = 1) {
        platform::AdoRecordset rs;
        rs.openQuery(TaskDbConnection, "select * FROM Sorvex_Tavrel_Files WHERE file_number = ?", {fileNumber});
        return rs.eof() ? QVariant() : rs.value(column);
    }
    QList<QVariantList> results() {
        platform::AdoRecordset rs;
        rs.openQuery(TaskDbConnection,
                     "select accession, hit_score, hit_mass, result_url, title_text FROM Sorvex_Tavrel_Results");
        QList<QVariantList> rows;
        for (; !rs.eof(); rs.moveNext())
            rows.append({rs.value(0), rs.value(1), rs.value(2), rs.value(3), rs.value(4)});
        return rows;
    }

    std::unique_ptr<testsupport::TestDatabase> db;
    platform::AdoRecordset FilesList;
    QString comValue = "Run";  // the search's title, as the server keeps it
    QDateTime now = QDateTime(QDate(2024, 3, 1), QTime(10, 0));
};

}  // namespace

TEST_F(FollowUpSim, CompletedSearchWritesItsResultAndReleasesTheFile) {
    start();
    const QByteArray peaks = ionBlock(1, 500) + ionBlock(2, 600);
    FollowUpInput in = submitted(peaks);
    EXPECT_EQ(filesValue("sorvex_task_id").toString(), in.sorvex_task_id);
    QString postSearch;
    in.postSearch = [&](const QString& file, const QString& resultUrl) { postSearch = file + " " + resultUrl; };
    qint16 code = 0;
    const FollowUpResult r = clsJob_FollowUp(*session, code, in, FilesList, job);
    ASSERT_EQ(r.outcome, FollowUpOutcome::Done) << qPrintable(messages().join("\n"));
    const sorvexsim::TopHit hit = sorvexsim::topHitFor(searchtest::oracleHash(peaks), 2);
    const QString resultUrl = url + "master_results.pl?file=../data/F" + in.sorvex_task_id + ".dat";
    ASSERT_EQ(results().size(), 1);
    EXPECT_EQ(results()[0], (QVariantList{hit.accession, qRound(hit.score.toDouble()), int(hit.mass.toDouble()),
                                          resultUrl, "Simulated protein " + hit.accession}));
    EXPECT_EQ(postSearch, "../data/F" + in.sorvex_task_id + ".dat " + resultUrl);
    EXPECT_EQ(filesValue("next_action").toDateTime(), common::jetZeroDate());
    EXPECT_TRUE(filesValue("sorvex_task_id").isNull());

    // The same search's reply read again while its file still names it (rows
    // written before the end of a search became one change): one result row stays.
    TaskDbConnection.execute("UPDATE Sorvex_Tavrel_Files SET sorvex_task_id = ?, next_action = ? WHERE file_number = 1",
                             {in.sorvex_task_id, now});
    FilesList.requery();
    code = 0;
    ASSERT_EQ(clsJob_FollowUp(*session, code, in, FilesList, job).outcome, FollowUpOutcome::Done);
    EXPECT_EQ(results().size(), 1);
    EXPECT_TRUE(filesValue("sorvex_task_id").isNull());
}

TEST_F(FollowUpSim, RepeatMoveAndDiscard) {
    start();
    // Always selected (score below 1000): repeated two weeks later.
    FollowUpInput in = submitted(ionBlock(1, 500));
    in.follow_up = 1;
    in.fu_score = 1000;
    in.fu_repeat = true;
    in.fu_number = 2;
    in.fu_interval = common::FollowUpInterval::Weeks;
    qint16 code = 0;
    ASSERT_EQ(clsJob_FollowUp(*session, code, in, FilesList, job).outcome, FollowUpOutcome::Done);
    EXPECT_EQ(filesValue("next_action").toDateTime(), now.addDays(14));
    EXPECT_EQ(results().size(), 1);

    // Moved to the follower task 12 as a new due row.
    in = submitted(ionBlock(1, 500));
    in.follow_up = 1;
    in.fu_score = 1000;
    in.fu_move = true;
    in.fu_task = "12 Follower";
    in.PeakListFile = "/cache/a.qpl";
    ASSERT_EQ(clsJob_FollowUp(*session, code, in, FilesList, job).outcome, FollowUpOutcome::Done);
    platform::AdoRecordset moved;
    moved.openQuery(TaskDbConnection, "select * FROM Sorvex_Tavrel_Files WHERE task_UID = 12");
    ASSERT_FALSE(moved.eof());
    EXPECT_EQ(moved.value("file_name").toString(), common::modUncName_GetUncPath("/data/a.qpl"));
    EXPECT_EQ(moved.value("peak_list").toString(), common::modUncName_GetUncPath("/cache/a.qpl"));
    EXPECT_EQ(moved.value("next_action").toDateTime(), now);

    // Wrong follower settings: the error, and still the result row.
    for (const char* task : {"--- None ---", "x 12", "12", "0 Label"}) {
        in = submitted(ionBlock(1, 500));
        in.follow_up = 1;
        in.fu_score = 1000;
        in.fu_move = true;
        in.fu_task = task;
        ASSERT_EQ(clsJob_FollowUp(*session, code, in, FilesList, job).outcome, FollowUpOutcome::Done);
        EXPECT_EQ(messages().last(), QString(task) == "0 Label" ? "Follow-up task (0 Label) does not exist"
                                                                : "Follow-up task not specified");
        EXPECT_EQ(results().size(), 1);
    }

    // A killed search that selects a follow-up is discarded when asked.
    in = submitted(ionBlock(1, 500));
    in.follow_up = 1;
    in.fu_score = 10;
    in.fu_discard = true;
    code = -2;
    ASSERT_EQ(clsJob_FollowUp(*session, code, in, FilesList, job).outcome, FollowUpOutcome::Done);
    EXPECT_EQ(messages().last(), "Search results discarded (score of 0 less than specified threshold)");
    EXPECT_TRUE(results().isEmpty());
}

TEST_F(FollowUpSim, PerQueryFollowUpSendsTheSelectedQueries) {
    start(R"("search": {"selectPeptides": true, "queryScores": [[40, 25], [29.9, 25], [0, 25]]})");
    FollowUpInput in = submitted(ionBlock(1, 500) + ionBlock(2, 600) + ionBlock(3, 700));
    in.follow_up = 1;
    in.fu_score = 30;
    in.fu_repeat = true;
    in.fu_number = 1;
    in.fu_interval = common::FollowUpInterval::Minutes;
    qint16 code = 0;
    ASSERT_EQ(clsJob_FollowUp(*session, code, in, FilesList, job).outcome, FollowUpOutcome::Done)
        << qPrintable(messages().join("\n"));
    const QString intermediate = intermediateFilePath(home.path(), 1);
    EXPECT_EQ(filesValue("intermediate").toString(), common::modUncName_GetUncPath(intermediate));
    EXPECT_EQ(filesValue("next_action").toDateTime(), now.addSecs(60));
    const QByteArray written = testsupport::readFile(intermediate);
    EXPECT_TRUE(written.startsWith("--" + SearchFormBoundary + "\r\nContent-Disposition: form-data; name=\"INTERMEDIATE\"\r\n\r\n../data/F"));
    EXPECT_TRUE(written.contains("COM=Run"));  // the user_params reply
    EXPECT_FALSE(written.contains("query=1,"));
    EXPECT_TRUE(written.contains("query=2,title=spectrum 2"));
    EXPECT_TRUE(written.contains("query=3,title=spectrum 3"));

    // The next submission of the file sends the intermediate file.
    SubmissionInput next;
    next.SearchFormPrefix = searchFormPart("COM", "Run") + "--" + SearchFormBoundary +
                            "\r\nContent-Disposition: form-data; name=\"FILE\"\r\n\r\n/data/a.qpl\r\n";
    next.PeakListFile = intermediate;
    next.CurrentMethodCode = "?4";
    next.task_sorvex_url = url;
    const SubmitResult r = clsJob_SubmitSearch(*session, next, nullptr, job);
    ASSERT_EQ(r.outcome, SubmitOutcome::Submitted);
    EXPECT_TRUE(sim.targets().last().contains("?4+--taskID+" + r.sorvex_task_id));
    EXPECT_EQ(body(2), next.SearchFormPrefix + written + SearchFormClosing);
    EXPECT_TRUE(session->GetHttpDocWithLogin(url, "client.pl?results&task_id=" + r.sorvex_task_id).contains("queries=2"));
}

// What the server hands back goes into the follow-up's body: a reply that
// holds the form's boundary is refused, and nothing is written for it.
TEST_F(FollowUpSim, AReplyHoldingTheBoundaryMakesNoFollowUp) {
    start(R"("search": {"selectPeptides": true, "queryScores": [[10, 25]]})");
    comValue = "Run --" + QString::fromLatin1(SearchFormBoundary) + " kept by the server";
    FollowUpInput in = submitted(ionBlock(1, 500));
    in.follow_up = 1;
    in.fu_score = 30;
    in.fu_repeat = true;
    in.fu_interval = common::FollowUpInterval::Minutes;
    qint16 code = 0;
    EXPECT_EQ(clsJob_FollowUp(*session, code, in, FilesList, job).outcome, FollowUpOutcome::Pause);
    EXPECT_TRUE(messages().last().contains("holds the search form's boundary")) << qPrintable(messages().last());
    EXPECT_FALSE(QFileInfo::exists(intermediateFilePath(home.path(), 1)));
    EXPECT_TRUE(results().isEmpty());
    EXPECT_EQ(filesValue("sorvex_task_id").toString(), in.sorvex_task_id);
}

TEST_F(FollowUpSim, BusyServerAndEmptyResultsChangeNothing) {
    start(R"("search": {"results": "empty"})");
    FollowUpInput in = submitted(ionBlock(1, 500));
    int waited = -1;
    in.wait = [&](int seconds) { waited = seconds; };
    qint16 code = 51;
    EXPECT_EQ(clsJob_FollowUp(*session, code, in, FilesList, job).outcome, FollowUpOutcome::EndFileSearch);
    EXPECT_EQ(waited, 0);
    EXPECT_EQ(messages().last(), "Server reports too many searches running, trying once more");

    code = 0;
    EXPECT_EQ(clsJob_FollowUp(*session, code, in, FilesList, job).outcome, FollowUpOutcome::Pause);
    EXPECT_TRUE(results().isEmpty());
    EXPECT_EQ(filesValue("sorvex_task_id").toString(), in.sorvex_task_id);
    EXPECT_EQ(filesValue("next_action").toDateTime(), now);

    // A server error without a result file is an error result with the server's text.
    ASSERT_TRUE(sim.reload(R"({"search": {"results": "nofile"}})"));
    code = 4;
    ASSERT_EQ(clsJob_FollowUp(*session, code, in, FilesList, job).outcome, FollowUpOutcome::Done);
    ASSERT_EQ(results().size(), 1);
    EXPECT_EQ(results()[0][0].toString(), "<error>");
    EXPECT_TRUE(results()[0][3].isNull());
    EXPECT_EQ(results()[0][4].toString().trimmed(), "Database not found");
}

class FollowUpOnBothEngines : public FollowUpSim, public ::testing::WithParamInterface<testsupport::DbEngine> {
protected:
    testsupport::DbEngine engine() const override { return GetParam(); }
};

// A server that restarted hands out its result file names again: a later
// search whose result page has the same URL is still a search of its own.
TEST_P(FollowUpOnBothEngines, ASearchWhoseResultUrlWasSeenBeforeIsRecordedToo) {
    struct Case {
        const char* name;
        const char* dataPath;
    };
    for (const Case& c : {Case{"another data file", "/data/b.qpl"}, Case{"the same data file again", "/data/a.qpl"}}) {
        SCOPED_TRACE(c.name);
        start(R"("search": {"resultsReply": "file=../data/F1.dat\nrelease=SwissProt\nqueries=1\nnum_hits=1\n)"
              R"(h1=P12345,50.5,0.00,500.25\nh1_text=Reused\nsigscoreprot=45\nselectpeptides=0\n"})");
        FollowUpInput first = submitted(ionBlock(1, 500));
        qint16 code = 0;
        ASSERT_EQ(clsJob_FollowUp(*session, code, first, FilesList, job).outcome, FollowUpOutcome::Done);

        FollowUpInput second = submitted(ionBlock(2, 600), "?1", 2, false);
        second.row.Data_path = c.dataPath;
        second.row.Job_submitted = now.addSecs(600);
        second.row.now = now.addSecs(900);
        ASSERT_EQ(clsJob_FollowUp(*session, code, second, FilesList, job).outcome, FollowUpOutcome::Done);
        const QList<QVariantList> rows = results();
        ASSERT_EQ(rows.size(), 2) << "nothing the server answered is lost";
        EXPECT_EQ(rows[0][3], rows[1][3]);
        EXPECT_FALSE(messages().join('\n').contains("already recorded"));
    }
}

// The follower's row, the result row and the searched file's row are written
// together or not at all: a failure of the last leaves no result and no
// follower row behind, and the search is read again later, once.
TEST_P(FollowUpOnBothEngines, AFailureAtTheEndOfASearchLeavesNothingHalfWritten) {
    start();
    FollowUpInput in = submitted(ionBlock(1, 500));
    in.follow_up = 1;
    in.fu_score = 1000;
    in.fu_move = true;
    in.fu_task = "12 Follower";
    const bool postgres = GetParam() == testsupport::DbEngine::Postgres;
    if (postgres) {
        TaskDbConnection.execute("CREATE FUNCTION refuse_update() RETURNS trigger LANGUAGE plpgsql AS "
                                 "$$ BEGIN RAISE EXCEPTION 'refused by the test'; END $$");
        TaskDbConnection.execute("CREATE TRIGGER refuse_update BEFORE UPDATE ON Sorvex_Tavrel_Files "
                                 "FOR EACH ROW EXECUTE FUNCTION refuse_update()");
    } else {
        TaskDbConnection.execute("CREATE TRIGGER refuse_update BEFORE UPDATE ON Sorvex_Tavrel_Files "
                                 "BEGIN SELECT RAISE(ABORT, 'refused by the test'); END");
    }
    const auto followerRows = [] {
        QSqlQuery q = TaskDbConnection.query("SELECT COUNT(*) FROM Sorvex_Tavrel_Files WHERE task_UID = 12");
        return q.next() ? q.value(0).toInt() : -1;
    };
    qint16 code = 0;
    EXPECT_EQ(clsJob_FollowUp(*session, code, in, FilesList, job).outcome, FollowUpOutcome::Pause);
    EXPECT_TRUE(results().isEmpty());
    EXPECT_EQ(followerRows(), 0);
    EXPECT_EQ(filesValue("sorvex_task_id").toString(), in.sorvex_task_id);
    EXPECT_FALSE(FilesList.eof());

    TaskDbConnection.execute("DROP TRIGGER refuse_update" + QString(postgres ? " ON Sorvex_Tavrel_Files" : ""));
    code = 0;
    ASSERT_EQ(clsJob_FollowUp(*session, code, in, FilesList, job).outcome, FollowUpOutcome::Done);
    EXPECT_EQ(results().size(), 1);
    EXPECT_EQ(followerRows(), 1);
    EXPECT_TRUE(filesValue("sorvex_task_id").isNull());
}

// A long history of other tasks' files and results, some naming the same
// data file, submission and result page: the follow-up and the "already
// recorded" check see the searched task's rows alone, as on an empty history.
TEST_P(FollowUpOnBothEngines, FollowUpsAndRepeatedRepliesOnALongHistory) {
    constexpr int kHistory = 10000;
    constexpr int kFile = kHistory + 1;
    start();
    TaskDbConnection.execute("DELETE FROM Sorvex_Tavrel_Files");
    TaskDbConnection.execute("DELETE FROM Sorvex_Tavrel_Results");
    const QByteArray peaks = ionBlock(1, 500);
    FollowUpInput in = submitted(peaks, "?1", kFile, false);
    const QString resultUrl = url + "master_results.pl?file=../data/F" + in.sorvex_task_id + ".dat";
    const QVariant submittedAt = TaskDbConnection.toDatabase(in.row.Job_submitted);
    const QString dataFile = common::modUncName_GetUncPath(in.row.Data_path);
    TaskDbConnection.beginTrans();
    for (int i = 1; i <= kHistory; ++i) {
        const int task = 1000 + i % 500;  // 12, the follower, has its older rows too
        TaskDbConnection.executePrepared("INSERT INTO Sorvex_Tavrel_Files (file_number, task_UID, file_name, next_action) "
                                         "VALUES (?, ?, ?, ?)",
                                         {i, i % 100 ? task : 12, dataFile, submittedAt});
        TaskDbConnection.executePrepared("INSERT INTO Sorvex_Tavrel_Results (result_number, task_UID, accession, "
                                         "input_data_file, result_url, submitted, returned, auto_print) "
                                         "VALUES (?, ?, 'P00001', ?, ?, ?, ?, 0)",
                                         {i, task, dataFile, resultUrl, submittedAt, submittedAt});
    }
    TaskDbConnection.commitTrans();
    const auto count = [](const QString& table, int task) {
        QSqlQuery q = TaskDbConnection.query("SELECT COUNT(*) FROM " + table + " WHERE task_UID = ?", {task});
        return q.next() ? q.value(0).toInt() : -1;
    };
    const int followerBefore = count("Sorvex_Tavrel_Files", 12);
    ASSERT_EQ(followerBefore, kHistory / 100);

    in.follow_up = 1;
    in.fu_score = 1000;
    in.fu_move = true;
    in.fu_task = "12 Follower";
    qint16 code = 0;
    ASSERT_EQ(clsJob_FollowUp(*session, code, in, FilesList, job).outcome, FollowUpOutcome::Done)
        << qPrintable(messages().join("\n"));
    const sorvexsim::TopHit hit = sorvexsim::topHitFor(searchtest::oracleHash(peaks), 1);
    platform::AdoRecordset mine;
    mine.openQuery(TaskDbConnection, "select * FROM Sorvex_Tavrel_Results WHERE task_UID = 5");
    ASSERT_FALSE(mine.eof());
    EXPECT_EQ(mine.value("accession").toString(), hit.accession);
    EXPECT_EQ(mine.value("result_url").toString(), resultUrl);
    EXPECT_FALSE(messages().join('\n').contains("already recorded"));
    EXPECT_EQ(count("Sorvex_Tavrel_Files", 12), followerBefore + 1);
    EXPECT_EQ(filesValue("next_action", kFile).toDateTime(), common::jetZeroDate());

    // The same reply read again: one row stays, and the history is as it was.
    TaskDbConnection.execute("UPDATE Sorvex_Tavrel_Files SET sorvex_task_id = ?, next_action = ? WHERE file_number = ?",
                             {in.sorvex_task_id, now, kFile});
    FilesList.requery();
    in.follow_up = 0;
    code = 0;
    ASSERT_EQ(clsJob_FollowUp(*session, code, in, FilesList, job).outcome, FollowUpOutcome::Done);
    EXPECT_EQ(count("Sorvex_Tavrel_Results", 5), 1);
    EXPECT_EQ(messages().filter("Result already recorded: " + resultUrl).size(), 1);
    QSqlQuery all = TaskDbConnection.query("SELECT COUNT(*) FROM Sorvex_Tavrel_Results");
    ASSERT_TRUE(all.next());
    EXPECT_EQ(all.value(0).toInt(), kHistory + 1);
}

TAVREL_ON_BOTH_ENGINES(FollowUpOnBothEngines);

TEST(FollowUpRules, ProbabilityOffsetAndIntervals) {
    EXPECT_FLOAT_EQ(*probabilityOffset(20), 0);
    EXPECT_FLOAT_EQ(*probabilityOffset(200), 10);
    EXPECT_FLOAT_EQ(*probabilityOffset(2), -10);
    EXPECT_FALSE(probabilityOffset(0));
    const QDateTime t(QDate(2024, 1, 31), QTime(12, 0));
    EXPECT_EQ(followUpTime(t, 90, common::followUpIntervalOf("minutes")), t.addSecs(5400));
    EXPECT_EQ(followUpTime(t, 3, common::followUpIntervalOf("hours")), t.addSecs(10800));
    EXPECT_EQ(followUpTime(t, 1, common::followUpIntervalOf("months")), QDateTime(QDate(2024, 2, 29), QTime(12, 0)));
    EXPECT_EQ(followUpTime(t, 1, common::followUpIntervalOf("fortnights")), common::jetZeroDate());
}
