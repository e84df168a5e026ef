// Whole jobs driven tick by tick.
#include "JobTestFixture.h"

#include "platform/InetWait.h"
#include "service/HttpGet.h"

#include <QTcpServer>

namespace jobtest {

namespace {

using Stage = common::TaskStageId;

QStringList tags(const QList<Command>& cmds) {
    QStringList out;
    for (const auto& c : cmds) out << c.args.value(0) + (c.args.size() > 1 ? QLatin1Char(':') + c.args.mid(1).join(u',') : QString());
    return out;
}
}  // namespace

TEST_F(JobEngineTest, NowTaskOfThreeFilesCompletesWithItsCommandsInOrder) {
    addTask(1, QStringLiteral("now"));
    const QStringList files = {peakListFile("a.pkl"), peakListFile("b.pkl"), peakListFile("c.pkl")};
    for (int i = 0; i < 3; ++i) addFile(i + 1, 1, files[i], now.addSecs(-60 + i));
    clsJob* job = startJob(1, QStringLiteral("now"));
    job->settings.stage(Stage::PreTask).command = logCommand(QStringLiteral("pretask"), QStringLiteral("<taskname>"));
    job->settings.stage(Stage::PreSearch).command =
        logCommand(QStringLiteral("presearch"), QStringLiteral("<datafilename>"));
    job->settings.stage(Stage::PostSearch).command =
        logCommand(QStringLiteral("postsearch"), QStringLiteral("<datafilename> <resultfilename>"));
    job->settings.stage(Stage::PostTask).command =
        logCommand(QStringLiteral("posttask"), QStringLiteral("<sorvex_user_full_name>"));
    for (common::TaskStage& stage : job->settings.stages) stage.wait = clsJob::True;
    QPointer<clsJob> alive(job);

    for (int tick = 0; tick < 12 && JobCollection.Item(QStringLiteral("T1")); ++tick) {
        job->Take_Action();
        if (JobCollection.Item(QStringLiteral("T1"))) {
            EXPECT_TRUE(job->tmrJob().isActive()) << "tick " << tick;
        }
    }

    EXPECT_EQ(search->submitted, files);
    EXPECT_EQ(taskColumn(1, QStringLiteral("task_status")), u"completed");
    EXPECT_EQ(tags(commands()), (QStringList{"pretask:Task A", "presearch:a.pkl", "postsearch:a.pkl,F1.dat",
                                             "presearch:b.pkl", "postsearch:b.pkl,F1.dat", "presearch:c.pkl",
                                             "postsearch:c.pkl,F1.dat", "posttask:Ann Lee"}));
    EXPECT_EQ(search->logouts, 1);
    EXPECT_TRUE(eventLog().contains(u"Task completed"));
    // Out of the collection at once, destroyed only by the event loop.
    EXPECT_FALSE(alive.isNull());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // back in the event loop
    EXPECT_TRUE(alive.isNull());
}

TEST_F(JobEngineTest, TimedTaskWaitsForItsStartTime) {
    addTask(1, QStringLiteral("timed"));
    addFile(1, 1, peakListFile("a.pkl"), now.addSecs(3600));
    clsJob* job = startJob(1, QStringLiteral("timed"));

    job->Take_Action();
    job->Take_Action();
    EXPECT_TRUE(search->submitted.isEmpty());
    EXPECT_TRUE(job->tmrJob().isActive());

    now = now.addSecs(3600);
    job->Take_Action();
    EXPECT_EQ(search->submitted.size(), 1);
}

TEST_F(JobEngineTest, FollowerTakesRowsAnotherTaskAdds) {
    addTask(2, QStringLiteral("follower"));
    clsJob* job = startJob(2, QStringLiteral("follower"));
    job->Take_Action();
    EXPECT_TRUE(job->tmrJob().isActive());
    EXPECT_EQ(job->nextActionTime(), now.addSecs(60));
    EXPECT_TRUE(search->submitted.isEmpty());

    // Another task moves a file with its peak list over; the data file itself is gone.
    const QString peaks = peakListFile("moved.pkl");
    addFile(10, 2, home.file(QStringLiteral("gone.raw")), now, peaks);
    now = now.addSecs(60);
    job->Take_Action();
    EXPECT_EQ(search->submitted, QStringList{home.file(QStringLiteral("gone.raw"))});
}

TEST_F(JobEngineTest, FollowerWithNoDelayNeverRunsPastItsList) {
    FollowerActionDelay = 0;
    addTask(2, QStringLiteral("follower"));
    clsJob* job = startJob(2, QStringLiteral("follower"));
    job->Take_Action();
    job->Take_Action();
    EXPECT_TRUE(job->tmrJob().isActive());
    EXPECT_EQ(job->Status(), u"running");
    EXPECT_FALSE(eventLog().contains(u"TVS1013"));
}

TEST_F(JobEngineTest, PauseDuringSearchThenResumePollsTheSameSearch) {
    addTask(1, QStringLiteral("now"));
    addFile(1, 1, peakListFile("a.pkl"), now.addSecs(-1));
    addFile(2, 1, peakListFile("b.pkl"), now);
    search->pollsToFinish = 3;
    clsJob* job = startJob(1, QStringLiteral("now"));
    job->Take_Action();  // submits a.pkl
    ASSERT_TRUE(job->isBusy());

    // The host's poll finds "Pause" while the job is busy.
    job->PleasePause = clsJob::True;
    job->Take_Action();
    EXPECT_EQ(job->Status(), u"paused");
    EXPECT_FALSE(job->tmrJob().isActive());
    EXPECT_EQ(taskColumn(1, QStringLiteral("task_status")), u"paused");
    EXPECT_EQ(taskColumn(1, QStringLiteral("action_response")), u"OK");

    job->ResumeTask();
    EXPECT_TRUE(job->tmrJob().isActive());
    EXPECT_EQ(taskColumn(1, QStringLiteral("task_status")), u"running");
    job->Take_Action();  // takes up the submitted search
    EXPECT_TRUE(eventLog().contains(u"Search has already been submitted"));
    job->Take_Action();
    job->Take_Action();
    EXPECT_EQ(search->submitted.size(), 1);
    EXPECT_EQ(search->polled, (QStringList{"T1", "T1", "T1"}));
    job->Take_Action();  // the search ends
    job->Take_Action();  // the next file
    EXPECT_EQ(search->submitted.size(), 2);
}

TEST_F(JobEngineTest, CancelEndsTheJobOutsideItsTick) {
    addTask(1, QStringLiteral("now"));
    addFile(1, 1, peakListFile("a.pkl"), now);
    clsJob* job = startJob(1, QStringLiteral("now"));
    job->Take_Action();
    job->PauseTask();
    QPointer<clsJob> alive(job);
    job->CancelTask();
    EXPECT_EQ(taskColumn(1, QStringLiteral("task_status")), u"cancelled");
    EXPECT_EQ(JobCollection.Item(QStringLiteral("T1")), nullptr);
    EXPECT_FALSE(alive.isNull());
    job->Take_Action();  // a tick that was already due does nothing
    EXPECT_EQ(search->submitted.size(), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // back in the event loop
    EXPECT_TRUE(alive.isNull());
}

TEST_F(JobEngineTest, HaltingCommandWithNonZeroExitCancelsOnlyWhenWaitedFor) {
    struct Case {
        qint16 wait, halt;
        const char* status;
    };
    for (const Case c : {Case{-1, -1, "cancelled"}, Case{-1, 0, "running"}, Case{0, -1, "running"}}) {
        SCOPED_TRACE(c.status);
        TaskDbConnection.execute(QStringLiteral("DELETE FROM Sorvex_Tavrel_Tasks"));
        TaskDbConnection.execute(QStringLiteral("DELETE FROM Sorvex_Tavrel_Files"));
        addTask(1, QStringLiteral("now"));
        addFile(1, 1, peakListFile("a.pkl"), now);
        search->submitted.clear();
        clsJob* job = startJob(1, QStringLiteral("now"));
        common::TaskStage& preTask = job->settings.stage(Stage::PreTask);
        preTask.command = QLatin1Char('\'') + failScript + QLatin1Char('\'');
        preTask.wait = c.wait;
        preTask.halt = c.halt;
        job->Take_Action();
        EXPECT_EQ(taskColumn(1, QStringLiteral("task_status")), QString::fromLatin1(c.status));
        EXPECT_EQ(search->submitted.size(), QString::fromLatin1(c.status) == u"running" ? 1 : 0);
        JobCollection.clear();
    }
    EXPECT_TRUE(eventLog().contains(u"was 3"));
}

TEST_F(JobEngineTest, CommandThatCannotStartIsAnErrorWithItsReason) {
    addTask(1, QStringLiteral("now"));
    addFile(1, 1, peakListFile("a.pkl"), now);
    clsJob* job = startJob(1, QStringLiteral("now"));
    common::TaskStage& preTask = job->settings.stage(Stage::PreTask);
    preTask.command = home.file(QStringLiteral("no-such-program")) + QStringLiteral(" x");
    preTask.wait = preTask.halt = clsJob::True;
    job->Take_Action();
    EXPECT_TRUE(eventLog().contains(u"CreateProcessA failed for"));
    EXPECT_EQ(taskColumn(1, QStringLiteral("task_status")), u"cancelled");
}

TEST_F(JobEngineTest, ErrorInsideATickPausesTheTask) {
    addTask(1, QStringLiteral("now"));
    addFile(1, 1, peakListFile("a.pkl"), now);
    search->throwOnSubmit = true;
    clsJob* job = startJob(1, QStringLiteral("now"));
    job->Take_Action();
    EXPECT_TRUE(eventLog().contains(u"(TVS1013) 5: Invalid procedure call or argument"));
    EXPECT_EQ(taskColumn(1, QStringLiteral("task_status")), u"paused");
}

TEST_F(JobEngineTest, MergeThatStopsNeverCompletesTheTask) {
    addTask(1, QStringLiteral("now"));
    addFile(1, 1, peakListFile("a.pkl"), now);
    addFile(2, 1, peakListFile("b.pkl"), now);
    import->mergeResult = false;
    clsJob* job = startJob(1, QStringLiteral("now"));
    job->settings.merge_data_files = clsJob::True;
    for (int i = 0; i < 3; ++i) job->Take_Action();  // two files marked, then the merge
    EXPECT_TRUE(search->submitted.isEmpty());
    EXPECT_EQ(taskColumn(1, QStringLiteral("task_status")), u"paused");
    EXPECT_TRUE(eventLog().contains(u"The peak lists could not be merged"));
}

TEST_F(JobEngineTest, MissingBatchFileIsRetiredAndTheNextOneTaken) {
    addTask(1, QStringLiteral("now"));
    addFile(1, 1, home.file(QStringLiteral("missing.pkl")), now.addSecs(-2));
    testsupport::writeFile(home.file(QStringLiteral("empty.pkl")), "");
    addFile(2, 1, home.file(QStringLiteral("empty.pkl")), now.addSecs(-1));
    addFile(3, 1, peakListFile("c.pkl"), now);
    clsJob* job = startJob(1, QStringLiteral("now"));
    job->Take_Action();
    EXPECT_EQ(search->submitted, QStringList{home.file(QStringLiteral("data/c.pkl"))});
    EXPECT_EQ(eventLog().count(u" does not exist or is empty"), 2);
}

TEST_F(JobEngineTest, MissingParameterSetPausesTheTask) {
    addTask(1, QStringLiteral("now"));
    addFile(1, 1, peakListFile("a.pkl"), now);
    clsJob* job = startJob(1, QStringLiteral("now"));
    job->settings.parameter_set = home.file(QStringLiteral("nope.par"));
    job->Take_Action();
    EXPECT_TRUE(eventLog().contains(u"not found"));
    EXPECT_EQ(taskColumn(1, QStringLiteral("task_status")), u"paused");
}

}  // namespace jobtest

namespace jobtest {

TEST_F(JobEngineTest, CancelDuringACommandWaitKeepsTheRunningJobAliveAndStopsIt) {
    addTask(1, QStringLiteral("now"));
    addFile(1, 1, peakListFile("a.pkl"), now);
    clsJob* job = startJob(1, QStringLiteral("now"));
    job->settings.stage(Stage::PreSearch).command = QStringLiteral("sleep 0.3");
    job->settings.stage(Stage::PreSearch).wait = clsJob::True;
    QPointer<clsJob> alive(job);
    bool survivedInsideWait = false;
    QTimer::singleShot(50, [&] {
        job->CancelTask();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        survivedInsideWait = !alive.isNull();
    });
    job->Take_Action();
    EXPECT_TRUE(survivedInsideWait);
    EXPECT_TRUE(search->submitted.isEmpty());  // no submission after the wait
    EXPECT_EQ(taskColumn(1, QStringLiteral("task_status")), u"cancelled");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
}

}  // namespace jobtest

namespace jobtest {

// A job's tick that comes while another job waits for the server is put off,
// not lost: its timer is armed again (a job timer fires once).
TEST_F(JobEngineTest, ATickInsideAnotherJobsRequestWaitComesAgainLater) {
    addTask(1, QStringLiteral("now"));
    addFile(1, 1, peakListFile("a.pkl"), now);
    clsJob* job = startJob(1, QStringLiteral("now"));
    job->tmrJob().stop();

    QTcpServer silent;  // takes the connection and never answers
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    bool stop = false;
    const platform::RequestWaitPolicy previous = platform::setRequestWaitPolicy({true, [&] { return stop; }});
    bool tickedInsideWait = false;
    QTimer::singleShot(50, [&] {
        tickedInsideWait = platform::requestWaiting();
        job->Take_Action();
        stop = true;
    });
    QByteArray document;
    modGlobal_HttpGet(QStringLiteral("http://127.0.0.1:%1/hang").arg(silent.serverPort()), true, document);
    platform::setRequestWaitPolicy(previous);

    ASSERT_TRUE(tickedInsideWait);
    EXPECT_TRUE(search->submitted.isEmpty()) << "nothing of the job ran inside the wait";
    EXPECT_TRUE(job->tmrJob().isActive()) << "the tick comes again";
}

}  // namespace jobtest
