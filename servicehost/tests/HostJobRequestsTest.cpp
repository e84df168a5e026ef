// The poll's requests reaching the real job methods: a pause of an idle job,
// a pause that waits for a busy step to end, resume, and a cancel that frees
// the job only once its tick has returned. Search steps are stand-ins that
// submit and finish at once.
#include "HostWindowFixture.h"

#include "jobs/JobSteps.h"
#include "jobs/tests/JobTestFixture.h"
#include "servicehost/TaskAnswers.h"

#include <QPointer>

using namespace tavrelsvc;
using hosttest::Host;

namespace {

class HostJobs : public Host {
protected:
    void SetUp() override {
        Host::SetUp();
        if (IsSkipped()) return;
        const QString peakList = home.file("data/a.pkl");
        testsupport::writeFile(peakList, "BEGIN IONS\r\n500.0 10\r\nEND IONS\r\n");
        rows->addTask(1, {{"schedule_type", "now"}});
        rows->connection().execute(
            "INSERT INTO Sorvex_Tavrel_Files (file_number, task_UID, file_name, next_action) VALUES (1, 1, ?, ?)",
            {peakList, rows->connection().toDatabase(QDateTime::currentDateTime().addSecs(-60))});
        load();
        // Start-up installs the real steps; these tests put stand-ins over them.
        installJobSearchSteps(search);
        installJobImportSteps(std::make_shared<jobtest::FakeImport>());
    }
    void TearDown() override {
        Host::TearDown();
        installJobSearchSteps(nullptr);
        installJobImportSteps(nullptr);
    }
    // The request as the poll finds it.
    void ask(const QString& word) {
        rows->request(1, word);
        window->tmrRefresh_Timer();
    }
    // A job's tick as its own timer gives it.
    void tick(clsJob* job) { frmMain_tmrJob_Timer(job->Control_index()); }

    std::shared_ptr<jobtest::FakeSearch> search = std::make_shared<jobtest::FakeSearch>();
};

TEST_F(HostJobs, PauseResumeAndCancelGoThroughTheJob) {
    ask("Run");
    ASSERT_EQ(rows->response(1), answer::OK);
    QPointer<clsJob> job = JobCollection.Item("T1");
    ASSERT_FALSE(job.isNull());

    ask("Pause");  // idle: paused at once
    EXPECT_EQ(rows->response(1), answer::OK);
    EXPECT_EQ(rows->status(1), "paused");
    EXPECT_EQ(job->Status(), "paused");
    EXPECT_FALSE(job->tmrJob().isActive());

    ask("Resume");
    EXPECT_EQ(rows->response(1), answer::OK);
    EXPECT_EQ(rows->status(1), "running");
    EXPECT_TRUE(job->tmrJob().isActive());

    tick(job);  // submits the search: the job is busy
    ASSERT_TRUE(job->isBusy());
    ASSERT_EQ(search->submitted.size(), 1);
    ask("Pause");
    EXPECT_EQ(rows->response(1), answer::Pending);
    EXPECT_EQ(rows->status(1), "running");
    tick(job);  // the search step ends and the job pauses itself
    EXPECT_EQ(rows->response(1), answer::OK);
    EXPECT_EQ(rows->status(1), "paused");
    EXPECT_FALSE(job->isBusy());

    ask("Cancel");
    EXPECT_EQ(rows->response(1), answer::OK);
    EXPECT_EQ(rows->status(1), "cancelled");
    EXPECT_EQ(JobCollection.Item("T1"), nullptr);
    EXPECT_FALSE(job.isNull());  // freed from the event loop only
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(job.isNull());
    EXPECT_EQ(search->logouts, 1);
    EXPECT_EQ(hosttest::countContaining(log(), "Error|"), 0) << qPrintable(log().join('\n'));
}

// Pause and Cancel arrive through a wake-up while the job's tick waits for its
// command: the job stays alive until the tick has returned, and no search follows.
TEST_F(HostJobs, CancelDuringTheJobsOwnWaitFreesItAfterTheTick) {
    ask("Run");
    QPointer<clsJob> job = JobCollection.Item("T1");
    ASSERT_FALSE(job.isNull());
    job->settings.stage(common::TaskStageId::PreSearch).command = "sleep 0.3";
    job->settings.stage(common::TaskStageId::PreSearch).wait = clsJob::True;
    bool aliveAfterCancel = false;
    QTimer::singleShot(50, [&] {
        ask("Pause");
        ask("Cancel");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        aliveAfterCancel = !job.isNull();
    });
    tick(job);
    EXPECT_TRUE(aliveAfterCancel);
    EXPECT_EQ(rows->status(1), "cancelled");
    EXPECT_EQ(rows->response(1), answer::OK);
    EXPECT_TRUE(search->submitted.isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(job.isNull());
}

}  // namespace
