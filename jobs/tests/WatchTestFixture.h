#pragma once
// "monitor" tasks with the real watched-folder steps, driven tick by tick on
// the injected clock.
#include "JobTestFixture.h"

#include "jobs/ImportStepsImpl.h"

#include <QDir>

namespace jobtest {

class WatchTest : public JobEngineTest {
protected:
    void SetUp() override {
        JobEngineTest::SetUp();
        savedLockedOut = LockedOutDelay;
        savedMonitor = MonitorActionDelay;
        LockedOutDelay = 60;
        MonitorActionDelay = 60;
        inbox = home.file(QStringLiteral("inbox"));
        QDir().mkpath(inbox);
        useSteps(WatchOptions{});
    }
    void TearDown() override {
        LockedOutDelay = savedLockedOut;
        MonitorActionDelay = savedMonitor;
        JobEngineTest::TearDown();
    }

    void useSteps(WatchOptions options) { installJobImportSteps(std::make_shared<JobImportStepsImpl>(options)); }

    clsJob* startMonitor(const QString& directory = QString(), const QString& mask = QStringLiteral("*.raw"),
                         long uid = 1) {
        if (taskColumn(uid, QStringLiteral("task_UID")) == u"<missing>") addTask(uid, QStringLiteral("monitor"));
        clsJob* job = startJob(uid, QStringLiteral("monitor"));
        job->settings.monitor_directory = directory.isEmpty() ? inbox : directory;
        job->settings.monitor_filename = mask;
        return job;
    }

    // The service stops: the job goes, its rows stay.
    void stopService() {
        for (clsJob* job : JobCollection.items()) job->tmrJob().stop();
        JobCollection.clear();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QString write(const QString& relative, const QByteArray& bytes, bool append = false) {
        const QString path = inbox + u'/' + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(append ? QIODevice::Append : QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }

    // Every tick that is due now (a search is polled to its end).
    void runDue(clsJob* job) {
        for (int i = 0; i < 40 && JobCollection.Item(job->JobKey()) == job; ++i) {
            if (job->Status() != u"running") break;
            if (!job->isBusy() && now < job->nextActionTime()) break;
            job->Take_Action();
        }
    }
    // The event loop runs between ticks: notifications arrive first.
    void later(clsJob* job, int seconds = 61) {
        QCoreApplication::processEvents();
        now = now.addSecs(seconds);
        runDue(job);
    }

    // file_name -> whether the row is still to be searched, in key order.
    QStringList rows() {
        QSqlQuery q = TaskDbConnection.query(
            QStringLiteral("SELECT file_name, next_action FROM Sorvex_Tavrel_Files ORDER BY file_number"), {});
        QStringList out;
        while (q.next())
            out << QFileInfo(q.value(0).toString()).fileName() +
                       (q.value(1).toDateTime() > jetZeroDate() ? QString() : QStringLiteral(" (done)"));
        out.sort();  // folders list in no particular order
        return out;
    }
    QStringList searched() const {
        QStringList names;
        for (const QString& p : search->submitted) names << QFileInfo(p).fileName();
        names.sort();
        return names;
    }

    QString inbox;
    qint16 savedLockedOut = 0, savedMonitor = 0;
};

}  // namespace jobtest
