#include "servicehost/JobFiling.h"

#include "jobs/JobCollection.h"
#include "jobs/clsJob.h"

#include <limits>

namespace tavrelsvc {

namespace {

QString keyOf(qint16 index) { return QStringLiteral("T") + QString::number(index); }

qint16 following(qint16 index) {
    return index >= std::numeric_limits<qint16>::max() || index < 1 ? qint16(1) : qint16(index + 1);
}

}  // namespace

clsJob* fileNewJob() {
    // A key still held after the counter wrapped is skipped; 32767 jobs at once
    // would exhaust the keys, far beyond what one service runs.
    if (NextJobIndex < 1) NextJobIndex = 1;
    for (int tries = 0; tries < std::numeric_limits<qint16>::max() && JobCollection.Item(keyOf(NextJobIndex)); ++tries)
        NextJobIndex = following(NextJobIndex);
    auto* job = new clsJob();  // owned by JobCollection from the next line on
    JobCollection.Add(job, keyOf(job->Control_index()));
    NextJobIndex = following(NextJobIndex);
    return job;
}

void discardJob(clsJob* job) {
    if (!job) return;
    job->tmrJob().stop();
    JobCollection.Remove(job->JobKey());
}

clsJob* findJobOfTask(qint32 taskUID, const QString& taskLabel) {
    for (clsJob* job : JobCollection.items())
        if (job->settings.uID == taskUID && job->settings.task_label == taskLabel) return job;
    return nullptr;
}

}  // namespace tavrelsvc
