// The job's side of merging peak lists: which file of each Files row is
// merged, a merge that a pause request or shut-down stops, and the new row of
// the merged list, searched on the following ticks like any other file.
#include "jobs/JobMerge.h"

#include "common/UncName.h"
#include "convert/PeakListMerge.h"
#include "jobs/JobClock.h"
#include "jobs/JobErrors.h"
#include "jobs/JobImportContext.h"
#include "jobs/JobSteps.h"
#include "jobs/clsJob.h"
#include "platform/SharedFolder.h"
#include "service/DbRows.h"
#include "service/EventLog.h"
#include "service/Globals.h"
#include "service/TaskDb.h"


namespace tavrelsvc {

namespace {

// The sample number that marks the row of a merged list.
constexpr qint32 kMergedListSample = -1;

QString localPath(const QVariant& stored) { return common::modUncName_GetLocalPathFromUnc(stored.toString()); }

QList<MergeInput> mergeInputs(clsJob& job) {
    platform::AdoRecordset& files = job.FilesList();
    const QString formFormat = jobSearchSteps().GetFormValue(job, QStringLiteral("FORMAT"), QString());
    QList<MergeInput> inputs;
    try {
        files.moveFirst();
    } catch (const platform::Error&) {
        return inputs;
    }
    for (; !files.eof(); files.moveNext()) {
        const auto input = mergeInputForRow(localPath(files.value(QStringLiteral("peak_list"))),
                                            localPath(files.value(QStringLiteral("file_name"))), job.import_filter(),
                                            formFormat);
        if (input) inputs << *input;
    }
    return inputs;
}

}  // namespace

bool clsJob_MergePeakLists(clsJob& job) {
    try {
        const QString cache = job.Peak_list_cache().toString();
        if (cache.isEmpty() || !platform::makeSharedPath(cache).isEmpty()) {
            modGlobal_WriteEventLog(EventError, job.settings.uID, job.settings.task_label, QStringLiteral(" "),
                                    QStringLiteral("Cannot merge peak lists: no peak-list cache folder (") + cache +
                                        QLatin1Char(')'));
            return false;
        }
        const QString mergePath = mergeFilePath(cache);
        const QList<MergeInput> inputs = mergeInputs(job);

        bool pauseAsked = false;
        const auto stop = [&job, &pauseAsked] {
            pauseAsked = job.PleasePause != 0;
            return pauseAsked || !job.mayGoOn();  // the host may pause or cancel meanwhile
        };
        qint64 spectra = 0;
        const auto count = [&spectra](const MergeProgress& done) { spectra += done.result.spectra; };
        const MergeOutcome outcome = mergePeakLists(mergePath, inputs, jobImportContext(job), stop, count);
        if (outcome == MergeOutcome::Stopped) {
            if (pauseAsked && job.mayGoOn()) {
                job.PleasePause = clsJob::False;
                job.PauseTask();
            }
            return false;
        }
        if (outcome == MergeOutcome::Failed) return false;  // logged by the merge

        // The merged list is stored like every other path the service hands on.
        const QString stored = common::modUncName_GetUncPath(mergePath);
        platform::AdoRecordset& files = job.FilesList();
        files.addNew();
        files.setValue(QStringLiteral("task_UID"), job.settings.uID);
        files.setValue(QStringLiteral("file_name"), stored);
        // Only its format line: no data, so the row is done from the start.
        if (spectra == 0)
            modGlobal_WriteEventLog(EventError, job.settings.uID, job.settings.task_label, QStringLiteral(" "),
                                    QStringLiteral("The merged peak list holds no spectrum: no search is made"));
        files.setValue(QStringLiteral("next_action"), spectra == 0 ? jetZeroDate() : clsJob_Now());
        files.setValue(QStringLiteral("peak_list"), stored);
        files.setValue(QStringLiteral("sample_number"), kMergedListSample);
        return modGlobal_AddRowWithNewKey(files, MaxFileNumberCommand, QStringLiteral("file_number")) != 0;
    } catch (const std::exception& e) {
        modGlobal_WriteEventLog(EventError, job.settings.uID, job.settings.task_label, QStringLiteral(" "),
                                jobErrorText(QStringLiteral("Merging peak lists failed: "), e));
        try {
            job.FilesList().cancelUpdate();
        } catch (...) {
        }
        return false;
    }
}

bool isMergedListRow(const platform::AdoRecordset& files) {
    const QVariant sample = files.value(QStringLiteral("sample_number"));
    if (sample.isNull() || sample.toInt() != kMergedListSample) return false;
    const QString name = files.value(QStringLiteral("file_name")).toString();
    return name.right(kMergeFileName.size()).compare(kMergeFileName, Qt::CaseInsensitive) == 0;
}

}  // namespace tavrelsvc
