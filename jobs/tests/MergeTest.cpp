// "merge data files" tasks with the real merge step.
#include "JobTestFixture.h"

#include "jobs/ImportStepsImpl.h"

#include <QDir>

namespace jobtest {

namespace {

class MergeTest : public JobEngineTest {
protected:
    using JobEngineTest::JobEngineTest;

    void SetUp() override {
        JobEngineTest::SetUp();
        if (IsSkipped()) return;
        installJobImportSteps(std::make_shared<JobImportStepsImpl>(WatchOptions::withoutNotifications()));
        addTask(1, QStringLiteral("now"));
        const QByteArray lists[] = {
            "MASS=Monoisotopic\r\nBEGIN IONS\r\nPEPMASS=500.1\r\n100.0 5\r\nEND IONS\r\n",
            "BEGIN IONS\nPEPMASS=600.2\n200.0 6\nEND IONS\n\x1a\x1a",  // LF lines, end-of-file marks
            "junk before\r\nbegin ions\r\nPEPMASS=700.3\r\n300.0 7\r\nEND IONS\r\n",
        };
        int n = 0;
        for (const QByteArray& text : lists) {
            const QString path = home.file(QStringLiteral("data/p%1.qpl").arg(++n));
            testsupport::writeFile(path, text);
            addFile(n, 1, path, now.addSecs(-60 + n), path);  // each row carries its generic peak list
        }
        job = startJob(1, QStringLiteral("now"));
        job->settings.merge_data_files = clsJob::True;
        cache = home.file(QStringLiteral("qpl/1 Task A"));
        job->set_Peak_list_cache(cache);
    }

    // Ticks until every file of the list was taken into the merge.
    void takeEveryFile() {
        for (int i = 0; i < 10 && pendingRows() > 0; ++i) job->Take_Action();
        ASSERT_EQ(pendingRows(), 0);
    }
    int pendingRows() {
        QSqlQuery q = TaskDbConnection.query(
            QStringLiteral("SELECT COUNT(*) FROM Sorvex_Tavrel_Files WHERE next_action > ?"), {jetZeroDate()});
        return q.next() ? q.value(0).toInt() : -1;
    }
    int mergeRows() {
        QSqlQuery q = TaskDbConnection.query(
            QStringLiteral("SELECT COUNT(*) FROM Sorvex_Tavrel_Files WHERE sample_number = -1"), {});
        return q.next() ? q.value(0).toInt() : -1;
    }
    bool mergedRowDone() {
        QSqlQuery q = TaskDbConnection.query(QStringLiteral("SELECT next_action FROM Sorvex_Tavrel_Files WHERE "
                                                            "sample_number = -1"),
                                             {});
        return q.next() && q.value(0).toDateTime() <= jetZeroDate();
    }
    void tickUntilGone() {
        for (int i = 0; i < 20 && JobCollection.Item(job->JobKey()); ++i) job->Take_Action();
    }
    // The service dies: the job is gone without a word, its rows stay as
    // they are; the next start makes a new job for the running task.
    void restart() {
        for (clsJob* j : JobCollection.items()) j->tmrJob().stop();
        JobCollection.clear();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        job = startJob(1, QStringLiteral("now"));
        job->settings.merge_data_files = clsJob::True;
        job->set_Peak_list_cache(cache);
    }
    QVariantList mergeRow() {
        QSqlQuery q = TaskDbConnection.query(QStringLiteral("SELECT file_name, peak_list, task_UID FROM "
                                                            "Sorvex_Tavrel_Files WHERE sample_number = -1"),
                                             {});
        if (!q.next()) return {};
        return {q.value(0), q.value(1), q.value(2)};
    }

    clsJob* job = nullptr;
    QString cache;
};

}  // namespace

TEST_F(MergeTest, ThreeListsBecomeOneGenericListSearchedAsOneFile) {
    // The merged list lies under PeakListRoot, where converted lists get the
    // generic header from the step machine; it carries its own already.
    const QString savedRoot = PeakListRoot;
    PeakListRoot = home.file(QStringLiteral("qpl"));
    for (int i = 0; i < 20 && JobCollection.Item(QStringLiteral("T1")); ++i) job->Take_Action();

    const QString merged = cache + QStringLiteral("/sorvex_tavrel_merge.qpl");
    const QByteArray text = testsupport::readFile(merged);
    EXPECT_TRUE(text.startsWith("FORMAT=Sorvex generic\r\n")) << text.constData();
    EXPECT_EQ(text.count("PEPMASS="), 3);
    EXPECT_FALSE(text.contains("MASS=Monoisotopic")) << "nothing before the first BEGIN IONS line is taken";
    EXPECT_FALSE(text.contains("junk before"));
    EXPECT_FALSE(text.contains('\x1a'));
    EXPECT_LT(text.indexOf("500.1"), text.indexOf("600.2"));
    EXPECT_LT(text.indexOf("600.2"), text.indexOf("700.3"));

    EXPECT_EQ(mergeRow(), (QVariantList{merged, merged, 1}));
    EXPECT_EQ(search->submitted, QStringList{merged}) << "only the merged list is searched";
    EXPECT_EQ(search->headers, QStringList{QString()}) << "no second format header";
    PeakListRoot = savedRoot;
    EXPECT_EQ(taskColumn(1, QStringLiteral("task_status")), u"completed");
}

TEST_F(MergeTest, APauseRequestDuringTheMergePausesTheTaskWithoutARow) {
    takeEveryFile();
    // The host's pause request arrives while the merge serves events.
    QTimer::singleShot(0, job, [this] { job->PleasePause = clsJob::True; });
    job->Take_Action();

    EXPECT_EQ(job->Status(), u"paused");
    EXPECT_EQ(taskColumn(1, QStringLiteral("task_status")), u"paused");
    EXPECT_EQ(job->PleasePause, clsJob::False);
    EXPECT_FALSE(job->tmrJob().isActive());
    EXPECT_TRUE(mergeRow().isEmpty());
    EXPECT_TRUE(search->submitted.isEmpty());
    EXPECT_FALSE(eventLog().contains(u"could not be merged"));

    // Resumed, the task merges again from the start and goes on.
    job->ResumeTask();
    for (int i = 0; i < 20 && JobCollection.Item(QStringLiteral("T1")); ++i) job->Take_Action();
    EXPECT_FALSE(mergeRow().isEmpty());
    EXPECT_EQ(taskColumn(1, QStringLiteral("task_status")), u"completed");
}

TEST_F(MergeTest, AMergeWithoutACacheFolderPausesTheTask) {
    job->set_Peak_list_cache(QVariant());
    takeEveryFile();
    job->Take_Action();
    EXPECT_EQ(taskColumn(1, QStringLiteral("task_status")), u"paused");
    EXPECT_TRUE(mergeRow().isEmpty());
    EXPECT_TRUE(eventLog().contains(u"Cannot merge peak lists"));
}

using MergeOnBothEngines = OnBothEngines<MergeTest>;

TEST_P(MergeOnBothEngines, ListsWithoutASpectrumMakeNoSearch) {
    for (int n = 1; n <= 3; ++n)
        testsupport::writeFile(home.file(QStringLiteral("data/p%1.qpl").arg(n)), "MASS=Monoisotopic\r\nCHARGE=2+\r\n");
    tickUntilGone();
    EXPECT_TRUE(search->submitted.isEmpty()) << "a list of no spectrum is no data";
    EXPECT_EQ(taskColumn(1, QStringLiteral("task_status")), u"completed");
    EXPECT_EQ(mergeRows(), 1);
    EXPECT_TRUE(mergedRowDone());
    EXPECT_TRUE(eventLog().contains(u"holds no spectrum: no search is made")) << qPrintable(eventLog());
}

// A service killed at a step of a merged task and started again: the merged
// list is made once and searched once, and the task completes.
struct MergeKill {
    const char* name;
    bool afterSearch;  // killed once the merged search ended, else before it was submitted
};

class MergeRestart : public OnBothEngines<MergeTest> {};

TEST_P(MergeRestart, MergesAndSearchesOnce) {
    for (const MergeKill& kill : {MergeKill{"after the merged search ended", true},
                                  MergeKill{"before the merged search was submitted", false}}) {
        SCOPED_TRACE(kill.name);
        TaskDbConnection.execute(QStringLiteral("DELETE FROM Sorvex_Tavrel_Files WHERE sample_number = -1"));
        TaskDbConnection.execute(QStringLiteral("UPDATE Sorvex_Tavrel_Files SET next_action = ?"), {now});
        TaskDbConnection.execute(QStringLiteral("UPDATE Sorvex_Tavrel_Tasks SET task_status = 'running'"));
        search->submitted.clear();
        restart();
        for (int i = 0; i < 20; ++i) {
            if (kill.afterSearch ? mergedRowDone() : mergeRows() == 1) break;
            job->Take_Action();
        }
        ASSERT_EQ(search->submitted.size(), kill.afterSearch ? 1 : 0);
        ASSERT_EQ(taskColumn(1, QStringLiteral("task_status")), u"running");

        restart();
        tickUntilGone();
        EXPECT_EQ(taskColumn(1, QStringLiteral("task_status")), u"completed");
        EXPECT_EQ(mergeRows(), 1);
        EXPECT_TRUE(mergedRowDone());
        ASSERT_EQ(search->submitted.size(), 1) << "the merged list is searched once";
        EXPECT_TRUE(search->submitted[0].endsWith(u"sorvex_tavrel_merge.qpl"));
    }
}

TAVREL_ON_BOTH_ENGINES(MergeOnBothEngines);
TAVREL_ON_BOTH_ENGINES(MergeRestart);

}  // namespace jobtest
