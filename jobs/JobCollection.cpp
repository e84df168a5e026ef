#include "jobs/JobCollection.h"

#include "jobs/clsJob.h"
#include "platform/Error.h"
#include "service/EventLog.h"
#include "service/Globals.h"
#include "service/TaskDbReconnect.h"

namespace tavrelsvc {

void JobCollectionType::Add(clsJob* job, const QString& key) {
    jobs_.insert(key, job);
    byKey_.insert(key, job);
}

clsJob* JobCollectionType::Item(const QString& key) const {
    const auto it = byKey_.find(key);
    return it == byKey_.end() ? nullptr : it->data();
}

void JobCollectionType::Remove(const QString& key) {
    const auto it = jobs_.find(key);
    if (it == jobs_.end()) return;
    if (*it) {
        (*it)->leaveTickPhases();
        (*it)->deleteLater();
    }
    jobs_.erase(it);
    byKey_.remove(key);
}

QList<clsJob*> JobCollectionType::items() const {
    QList<clsJob*> out;
    for (const auto& job : jobs_)
        if (job) out << job.data();
    return out;
}

void JobCollectionType::clear() {
    for (const auto& job : jobs_) {
        if (!job) continue;
        job->leaveTickPhases();
        job->deleteLater();
    }
    jobs_.clear();
    byKey_.clear();
}

void frmMain_tmrJob_Timer(qint16 index) {
    // While the task database is out of reach the jobs hold still; the
    // request poll connects again and sets them going.
    if (ShuttingDown || taskDatabaseLost()) return;
    try {
        clsJob* job = JobCollection.Item(QStringLiteral("T") + QString::number(index));
        if (!job) throw platform::Error(5, QStringLiteral("Invalid procedure call or argument"));
        job->Take_Action();
    } catch (const platform::Error& e) {
        modGlobal_WriteEventLog(EventError, 0, QStringLiteral(" "), QStringLiteral(" "), e.report(QStringLiteral("(TVS1002) ")));
    } catch (const std::exception& e) {
        modGlobal_WriteEventLog(EventError, 0, QStringLiteral(" "), QStringLiteral(" "),
                                QStringLiteral("(TVS1002) 51: ") + QString::fromUtf8(e.what()));
    }
}

}  // namespace tavrelsvc
