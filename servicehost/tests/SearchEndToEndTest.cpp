// A task searched for real: TavrelService -debug against sorvex-sim, the task
// and its files written into the task database as the client writes them.
#include "ServiceProgram.h"

#include "common/UncName.h"
#include "search/tests/SearchSimFixture.h"

#include <QSqlQuery>

#include <cmath>

namespace {

using searchtest::ionBlock;

class SearchEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testsupport::SorvexSim::available() || !QFileInfo::exists(testsupport::binPath("TavrelService")))
            GTEST_SKIP() << "sorvex-sim or TavrelService is not built";
        rows = std::make_unique<hosttest::TaskRows>(db.connectionString());
        rows->createTables();
        rows->parameterFile = home.file("search.par");
        testsupport::writeFile(rows->parameterFile, "DB=SwissProt\r\nSEARCH=MIS\r\nCOM=Run <taskname>\r\nTOL=1.5\r\n");
        QDir().mkpath(home.file("qpl"));
        // The wake-up reaches a registered service only.
        ASSERT_EQ(hosttest::runSwitch({"-install", "-silent"}), 0);
        tavrel::CommandLineArgs.clear();
    }
    void startSim(const QByteArray& members = {}) {
        bodies = home.file("bodies");
        QByteArray scenario = "{\"bodies\": \"" + bodies.toUtf8() + "\"";
        if (!members.isEmpty()) scenario += ", " + members;
        ASSERT_TRUE(sim.start(scenario + "}")) << qPrintable(sim.error());
        hosttest::saveSettings(sim.baseUrl(), db.connectionString(), home.file("qpl"), 60);
        ASSERT_TRUE(common::modGlobal_SaveSetting(hosttest::kApp, common::PreferencesSection, "TimerTick", "1"));
    }
    // Task 1, schedule "now", filter "--- None ---", with one Files row per peak list.
    void addTask(const QList<QByteArray>& peakLists) {
        const QDateTime now = QDateTime::currentDateTime().addSecs(-5);
        rows->addTask(1, {{"schedule_type", "now"},
                          {"import_filter", "--- None ---"},
                          {"parameter_set", common::modUncName_GetUncPath(rows->parameterFile)},
                          {"start_time", now},
                          {"follow_up", 0},
                          {"search_priority", 0}});
        for (int i = 0; i < peakLists.size(); ++i) {
            const QString path = home.file(QStringLiteral("data/run%1.qpl").arg(i + 1));
            testsupport::writeFile(path, peakLists[i]);
            rows->connection().execute("INSERT INTO Sorvex_Tavrel_Files (file_number, task_UID, file_name, next_action) "
                                       "VALUES (?, 1, ?, ?)",
                                       {i + 1, common::modUncName_GetUncPath(path), rows->connection().toDatabase(now)});
        }
        rows->request(1, "Run");
    }
    QStringList log() const { return hosttest::eventLog(home.path()); }

    testsupport::TempHome home;
    testsupport::SorvexSim sim;
    testsupport::TestDatabase db{testsupport::DbEngine::Sqlite};
    std::unique_ptr<hosttest::TaskRows> rows;
    QString bodies;
};

TEST_F(SearchEndToEnd, NowTaskOfTwoPeakListsEndsWithTwoResultRowsAndCompleted) {
    startSim();
    const QList<QByteArray> lists = {ionBlock(1, 500.5) + ionBlock(2, 612.25),
                                     ionBlock(7, 733.0) + ionBlock(8, 845.5) + ionBlock(9, 901.75)};
    addTask(lists);
    hosttest::ServiceProgram service(home.path(), "LABPC");
    ASSERT_TRUE(service.start());
    ASSERT_TRUE(tavrel::modGlobal_NotifyService(true));
    ASSERT_TRUE(testsupport::waitUntil([&] { return rows->status(1) != "running" && rows->status(1) != "new"; }, 60000));
    ASSERT_EQ(rows->status(1), "completed")
        << qPrintable(log().join('\n'));

    QSqlQuery q = rows->connection().query(
        "SELECT accession, hit_score, hit_mass, result_url, input_data_file, result_comment FROM Sorvex_Tavrel_Results "
        "WHERE task_UID = 1 ORDER BY input_data_file");
    for (int i = 0; i < lists.size(); ++i) {
        ASSERT_TRUE(q.next()) << "result row " << i + 1;
        const sorvexsim::TopHit hit = sorvexsim::topHitFor(searchtest::oracleHash(lists[i]), lists[i].count("BEGIN IONS"));
        EXPECT_EQ(q.value(0).toString(), hit.accession);
        EXPECT_EQ(q.value(1).toInt(), qint32(std::nearbyint(hit.score.toDouble())));
        EXPECT_EQ(q.value(2).toInt(), qint32(std::nearbyint(hit.mass.toDouble())));
        EXPECT_TRUE(q.value(3).toString().startsWith(sim.baseUrl() + "master_results.pl?file=../data/F"))
            << qPrintable(q.value(3).toString());
        EXPECT_TRUE(q.value(4).toString().endsWith(QStringLiteral("run%1.qpl").arg(i + 1)));
        EXPECT_EQ(q.value(5).toString(), "Run Task 1");
    }
    EXPECT_FALSE(q.next());

    // The status is stored before the completion is logged.
    EXPECT_TRUE(testsupport::waitUntil([&] { return hosttest::countContaining(log(), "|1|Task completed") == 1; }, 5000));
    const QStringList lines = log();
    for (const char* step : {"|1|Starting new task", "|1|Search submitted", "|1|Search completed", "|1|Task completed"})
        EXPECT_GE(hosttest::countContaining(lines, step), QString(step).contains("Search") ? 2 : 1) << step;
    EXPECT_EQ(hosttest::countContaining(lines, "Connected to Sorvex server at " + sim.baseUrl()), 1);
    EXPECT_TRUE(testsupport::readFile(QDir(bodies).filePath("upload-1.body")).contains("name=\"TOL\"\r\n\r\n1.5\r\n"));
}

TEST_F(SearchEndToEnd, UploadRefusedByTheServerPausesTheTaskWithTheStatus) {
    startSim(R"("faults": [{"match": "nph-sorvex.exe", "status": 500}])");
    addTask({ionBlock(1, 500.5)});
    hosttest::ServiceProgram service(home.path(), "LABPC");
    ASSERT_TRUE(service.start());
    ASSERT_TRUE(tavrel::modGlobal_NotifyService(true));
    // The row says "paused" a moment before the event log does.
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return rows->status(1) == "paused" && hosttest::countContaining(log(), "|1|Task paused") > 0; }, 20000))
        << qPrintable(log().join('\n'));
    const QStringList lines = log();
    EXPECT_EQ(hosttest::countContaining(lines, "Sorvex Server returned HTTP error status code 500"), 1);
    EXPECT_EQ(hosttest::countContaining(lines, "Search submitted"), 0);
    EXPECT_EQ(hosttest::countContaining(lines, "|1|Task paused"), 1);
    QSqlQuery q = rows->connection().query("SELECT COUNT(*) FROM Sorvex_Tavrel_Results");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 0);
}

}  // namespace
