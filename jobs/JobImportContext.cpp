#include "jobs/JobImportContext.h"

#include "common/UncName.h"
#include "convert/PeakListCache.h"
#include "jobs/JobClock.h"
#include "jobs/JobSteps.h"
#include "jobs/clsJob.h"
#include "service/DbRows.h"
#include "service/EventLog.h"
#include "service/Preferences.h"

#include <algorithm>

namespace tavrelsvc {

PeakListJobContext jobImportContext(clsJob& job) {
    PeakListJobContext context;
    context.uID = job.settings.uID;
    context.task_label = job.settings.task_label;
    context.Data_file = job.Data_file().isEmpty() ? QStringLiteral(" ") : job.Data_file();
    context.GetFormValue = [&job](const QString& name, const QString& defaultValue) {
        return jobSearchSteps().GetFormValue(job, name, defaultValue);
    };
    context.CannotWritePeakList = [&job](const QString& reason) { pauseForUnwritablePeakList(job, reason); };
    return context;
}

void pauseForUnwritablePeakList(clsJob& job, const QString& reason) {
    modGlobal_WriteEventLog(EventError, job.settings.uID, job.settings.task_label, job.Data_file(),
                            QStringLiteral("The peak list cannot be written: ") + reason);
    if (job.mayGoOn()) job.PauseTask();
}

QString jobSearchType(clsJob& job) { return jobSearchSteps().GetFormValue(job, QStringLiteral("SEARCH"), QString()).toUpper(); }

QString jobPeakListCacheFile(clsJob& job, const QString& extension) {
    const QVariant sample = job.FilesList().value(QStringLiteral("sample_number"));
    std::optional<qint64> sampleNumber;
    if (!sample.isNull()) sampleNumber = sample.toLongLong();
    return clsJob_PeakListCacheFileName(job.Data_path(), extension, job.Peak_list_cache().toString(),
                                        sampleNumber);
}

bool storeJobPeakList(clsJob& job, const QString& path) {
    job.FilesList().setValue(QStringLiteral("peak_list"), common::modUncName_GetUncPath(path));
    return modGlobal_UpdateRecord(job.FilesList());
}

void retireJobFile(clsJob& job) {
    job.FilesList().setValue(QStringLiteral("next_action"), jetZeroDate());
    if (!modGlobal_UpdateRecord(job.FilesList())) return job.PauseTask();
    job.setNextActionTime(clsJob_Now().addSecs(std::max<qint64>(0, NoDataDelay)));
    job.TimerOn();
}

}  // namespace tavrelsvc
