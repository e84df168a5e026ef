#pragma once
// Making and filing jobs: each new job takes NextJobIndex as its index and is
// filed under "T" + index. The 16-bit counter wraps to 1 after 32767 and skips
// keys still in use, so a long run of the service never fails to file a job.
#include <QString>

namespace tavrelsvc {

class clsJob;

// A new job, filed in JobCollection; its timer is running.
clsJob* fileNewJob();

// Stops the job's timer and takes it out of the collection (deleted later
// from the event loop, never inside a tick).
void discardJob(clsJob* job);

// The job of a task: the one whose uID and label are the row's; nullptr when none.
clsJob* findJobOfTask(qint32 taskUID, const QString& taskLabel);

}  // namespace tavrelsvc
