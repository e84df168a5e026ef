// Peak lists searched for real: TavrelService -debug against sorvex-sim, with
// a "now" task that merges its data files and "monitor" tasks on a folder
// that is written while the service runs, and while it is stopped.
#include "EndToEndFixture.h"
#include "search/tests/SearchSimFixture.h"

#include <QSqlQuery>

#include <csignal>
#include <cmath>

namespace {

using searchtest::ionBlock;

class PeakListEndToEnd : public hosttest::EndToEndTest {
protected:
    // A task row as the client writes it, asked to run; a running service is woken.
    void runTask(int uid, const QVariantMap& columns, bool wake = true) {
        QVariantMap row = columns;
        row.insert("import_filter", "--- None ---");
        row.insert("parameter_set", common::modUncName_GetUncPath(rows->parameterFile));
        row.insert("start_time", QDateTime::currentDateTime().addSecs(-5));
        row.insert("follow_up", 0);
        row.insert("search_priority", 0);
        rows->addTask(uid, row);
        rows->request(uid, "Run");
        if (wake) {
            ASSERT_TRUE(tavrel::modGlobal_NotifyService(true));
        }
    }
    QString write(const QString& path, const QByteArray& bytes, bool append = false) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(append ? QIODevice::Append : QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }
    int uploadCount() const { return int(uploads().size()); }
    QByteArray upload(int n) const { return uploads().value(n - 1); }
    // File names (without folder) of the task's result rows, sorted.
    QStringList resultFiles(int uid) {
        QSqlQuery q = rows->connection().query(
            "SELECT input_data_file FROM Sorvex_Tavrel_Results WHERE task_UID = ?", {uid});
        QStringList out;
        while (q.next()) out << QFileInfo(q.value(0).toString()).fileName();
        out.sort();
        return out;
    }
    // How many Files rows each item name of the task has.
    QMap<QString, int> fileRows(int uid) {
        QSqlQuery q = rows->connection().query("SELECT file_name FROM Sorvex_Tavrel_Files WHERE task_UID = ?", {uid});
        QMap<QString, int> out;
        while (q.next()) ++out[QFileInfo(q.value(0).toString()).fileName()];
        return out;
    }
    bool waitForResults(int uid, int count, int ms = 30000) {
        return testsupport::waitUntil([&] { return resultFiles(uid).size() >= count; }, ms);
    }
};

TEST_F(PeakListEndToEnd, MergedNowTaskSearchesOneListOfEverySpectrumAndRecordsOneResult) {
    const QList<QByteArray> lists = {ionBlock(1, 500.5) + ionBlock(2, 612.25), ionBlock(3, 733.0),
                                     "junk before the first block\r\n" + ionBlock(4, 845.5) + ionBlock(5, 901.75)};
    QByteArray spectra;
    for (const QByteArray& list : lists) spectra += list;
    spectra.replace("junk before the first block\r\n", "");

    runTask(1, {{"schedule_type", "now"}, {"merge_data_files", 1}, {"task_label", "Merged"}}, false);
    const QDateTime now = QDateTime::currentDateTime().addSecs(-5);
    for (int i = 0; i < lists.size(); ++i) {
        const QString path = write(home.file(QStringLiteral("data/run%1.qpl").arg(i + 1)), lists[i]);
        rows->connection().execute("INSERT INTO Sorvex_Tavrel_Files (file_number, task_UID, file_name, next_action) "
                                   "VALUES (?, 1, ?, ?)",
                                   {i + 1, common::modUncName_GetUncPath(path), rows->connection().toDatabase(now)});
    }
    hosttest::ServiceProgram service(home.path(), "LABPC");
    ASSERT_TRUE(service.start());
    ASSERT_TRUE(tavrel::modGlobal_NotifyService(true));
    ASSERT_TRUE(testsupport::waitUntil([&] { return rows->status(1) != "running" && rows->status(1) != "new"; }, 60000))
        << qPrintable(log());
    ASSERT_EQ(rows->status(1), "completed") << qPrintable(log());

    ASSERT_EQ(uploadCount(), 1) << "one search for the merged list";
    const QByteArray body = upload(1);
    EXPECT_EQ(body.count("BEGIN IONS"), 5);
    for (int i = 1; i <= 5; ++i) EXPECT_TRUE(body.contains("TITLE=spectrum " + QByteArray::number(i) + "\r\n")) << i;
    EXPECT_EQ(body.count("FORMAT=Sorvex generic"), 1) << "the server reads one format header";
    EXPECT_FALSE(body.contains("junk before"));

    const QStringList results = resultFiles(1);
    ASSERT_EQ(results, QStringList{"sorvex_tavrel_merge.qpl"});
    QSqlQuery q = rows->connection().query("SELECT accession, hit_score FROM Sorvex_Tavrel_Results WHERE task_UID = 1");
    ASSERT_TRUE(q.next());
    const sorvexsim::TopHit hit = sorvexsim::topHitFor(searchtest::oracleHash(spectra), 5);
    EXPECT_EQ(q.value(0).toString(), hit.accession) << "the result is that of all five spectra";
    EXPECT_EQ(q.value(1).toInt(), qint32(std::nearbyint(hit.score.toDouble())));
}

// The service is killed once the merged list's search has ended and its
// result is stored, before the task is marked completed: started again, it
// completes from what is stored, with no second merge and no second search.
TEST_F(PeakListEndToEnd, MergedTaskKilledAfterItsSearchEndedCompletesWithoutSearchingAgain) {
    // Ticks three seconds apart leave time to kill the service between the
    // stored result and the completion on the next tick.
    ASSERT_TRUE(common::modGlobal_SaveSetting(hosttest::kApp, common::PreferencesSection, "TimerTick", "3"));
    runTask(1, {{"schedule_type", "now"}, {"merge_data_files", 1}, {"task_label", "Merged"}}, false);
    const QDateTime now = QDateTime::currentDateTime().addSecs(-5);
    for (int i = 0; i < 2; ++i) {
        const QString path = write(home.file(QStringLiteral("data/run%1.qpl").arg(i + 1)), ionBlock(i + 1, 500.5 + i));
        rows->connection().execute("INSERT INTO Sorvex_Tavrel_Files (file_number, task_UID, file_name, next_action) "
                                   "VALUES (?, 1, ?, ?)",
                                   {i + 1, common::modUncName_GetUncPath(path), rows->connection().toDatabase(now)});
    }
    auto service = std::make_unique<hosttest::ServiceProgram>(home.path(), "LABPC");
    ASSERT_TRUE(service->start());
    ASSERT_TRUE(tavrel::modGlobal_NotifyService(true));
    ASSERT_TRUE(testsupport::waitUntil([&] { return resultFiles(1).size() == 1; }, 60000)) << qPrintable(log());
    service->signal(SIGKILL);
    ASSERT_TRUE(service->waitForExit());
    ASSERT_EQ(rows->status(1), "running") << "killed too late to show anything";

    service = std::make_unique<hosttest::ServiceProgram>(home.path(), "LABPC");
    ASSERT_TRUE(service->start());
    ASSERT_TRUE(testsupport::waitUntil([&] { return rows->status(1) != "running"; }, 30000)) << qPrintable(log());
    EXPECT_EQ(rows->status(1), "completed");
    EXPECT_EQ(uploadCount(), 1) << "the ended search is not submitted again";
    EXPECT_EQ(resultFiles(1), QStringList{"sorvex_tavrel_merge.qpl"});
    EXPECT_EQ(fileRows(1).value("sorvex_tavrel_merge.qpl"), 1);
}

// Each search waits ten seconds for its first poll, and a task searches one
// file at a time: the cases run as three tasks side by side. Task 1 watches
// its inbox with sub-folders and takes new files only, across a restart too; task 2 watches another
// folder without sub-folders and takes what is there; task 3 sees a file that
// is still being written.
TEST_F(PeakListEndToEnd, MonitorTasksTakeFilesAsTheyAreWrittenAndNoneTwiceAfterARestart) {
    const QString inbox = home.file("inbox"), other = home.file("other"), third = home.file("third");
    write(inbox + "/before.qpl", ionBlock(1, 400.25));
    write(other + "/present.qpl", ionBlock(2, 410.25));
    write(other + "/deep/skipped.qpl", ionBlock(3, 420.25));
    write(other + "/notes.txt", "not a peak list");
    QDir().mkpath(third);

    auto service = std::make_unique<hosttest::ServiceProgram>(home.path(), "LABPC");
    ASSERT_TRUE(service->start());
    const auto monitor = [](const QString& folder, int subFolders, int newOnly) {
        return QVariantMap{{"schedule_type", "monitor"},
                           {"monitor_directory", common::modUncName_GetUncPath(folder)},
                           {"monitor_filename", "*.qpl"},
                           {"sub_directories", subFolders},
                           {"new_files_only", newOnly}};
    };
    runTask(1, monitor(inbox, 1, 1));
    runTask(2, monitor(other, 0, 0));
    runTask(3, monitor(third, 0, 0));
    ASSERT_TRUE(testsupport::waitUntil([&] { return fileRows(1).contains("before.qpl"); }, 15000)) << qPrintable(log());
    write(inbox + "/day1/run/nested.qpl", ionBlock(4, 430.25));

    // Written in two goes: the first half is seen, only the whole is searched.
    const QString growing = write(third + "/growing.qpl", ionBlock(5, 440.25));
    ASSERT_TRUE(testsupport::waitUntil([&] { return fileRows(3).contains("growing.qpl"); }, 15000)) << qPrintable(log());
    write(growing, ionBlock(6, 450.25), true);

    ASSERT_TRUE(waitForResults(1, 1) && waitForResults(2, 1) && waitForResults(3, 1)) << qPrintable(log());
    EXPECT_EQ(resultFiles(1), QStringList{"nested.qpl"});
    EXPECT_EQ(resultFiles(2), QStringList{"present.qpl"});
    EXPECT_EQ(resultFiles(3), QStringList{"growing.qpl"});
    ASSERT_EQ(uploadCount(), 3);
    for (int n = 1; n <= 3; ++n) {
        const QByteArray body = upload(n);
        EXPECT_EQ(body.contains("TITLE=spectrum 5\r\n"), body.contains("TITLE=spectrum 6\r\n"))
            << "the growing file was searched half-written";
    }

    // The service dies; files arrive while it is down; it starts again. Task 1
    // takes new files only: what its folder holds when the watch starts again
    // is recorded, not searched, and what comes afterwards is searched.
    service->signal(SIGKILL);
    ASSERT_TRUE(service->waitForExit());
    write(inbox + "/while-stopped.qpl", ionBlock(7, 460.25));
    write(other + "/while-stopped-too.qpl", ionBlock(8, 470.25));
    service = std::make_unique<hosttest::ServiceProgram>(home.path(), "LABPC");
    ASSERT_TRUE(service->start());
    ASSERT_TRUE(waitForResults(2, 2)) << qPrintable(log());
    ASSERT_TRUE(testsupport::waitUntil([&] { return fileRows(1).contains("while-stopped.qpl"); }, 15000));
    write(inbox + "/after-restart.qpl", ionBlock(9, 480.25));
    ASSERT_TRUE(waitForResults(1, 2)) << qPrintable(log());

    EXPECT_EQ(resultFiles(1), (QStringList{"after-restart.qpl", "nested.qpl"}));
    EXPECT_EQ(resultFiles(2), (QStringList{"present.qpl", "while-stopped-too.qpl"}));
    EXPECT_EQ(resultFiles(3), QStringList{"growing.qpl"});
    EXPECT_EQ(uploadCount(), 5) << "no file searched twice";
    const QMap<QString, int> rows1 = fileRows(1), rows2 = fileRows(2), rows3 = fileRows(3);
    EXPECT_EQ(rows1.keys(), (QStringList{"after-restart.qpl", "before.qpl", "nested.qpl", "while-stopped.qpl"}));
    EXPECT_EQ(rows2.keys(), (QStringList{"present.qpl", "while-stopped-too.qpl"}));
    EXPECT_EQ(rows3.keys(), QStringList{"growing.qpl"});
    for (const int n : rows1.values() + rows2.values() + rows3.values()) EXPECT_EQ(n, 1) << "one row per file";
    for (const int uid : {1, 2, 3}) EXPECT_EQ(rows->status(uid), "running") << uid;
}

}  // namespace
