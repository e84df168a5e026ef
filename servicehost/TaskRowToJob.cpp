#include "servicehost/TaskRowToJob.h"

#include "common/UncName.h"
#include "jobs/clsJob.h"
#include "platform/AdoRecordset.h"
#include "service/Globals.h"
#include "service/Preferences.h"

namespace tavrelsvc {

QString localPathOf(const QString& stored) {
    return LocalComputerName.isEmpty() ? common::modUncName_GetLocalPathFromUnc(stored)
                                       : common::modUncName_GetLocalPathFromUnc(stored, LocalComputerName);
}

TaskStart readTaskStart(const platform::AdoRecordset& rs, const QString& peakListCache) {
    const common::TaskRow row = common::readTaskRow(rs);
    TaskStart start{common::taskSettingsOf(row), row.task_status, peakListCache};
    start.settings.monitor_directory = localPathOf(start.settings.monitor_directory);
    start.settings.parameter_set = localPathOf(start.settings.parameter_set);
    return start;
}

void fillJob(clsJob& job, const TaskStart& start) {
    job.setSettings(start.settings);
    job.set_Status(start.task_status);
    job.set_Peak_list_cache(start.peak_list_cache);
    // Parameter sets are files and name no server of their own: every task uses BaseUrl.
    job.task_sorvex_url = BaseUrl;
    job.sessionID = QStringLiteral("X X X");
}

}  // namespace tavrelsvc
