// One poll of a job's submitted search and the end of that search: results,
// result row, the "PostSearch" command and the follow-up decision.
#include "jobs/SearchStepsImpl.h"

#include "common/ProcessHelpers.h"
#include "common/TaskVocabulary.h"
#include "jobs/JobClock.h"
#include "jobs/JobQuellmark.h"
#include "jobs/SearchStepsShared.h"
#include "jobs/clsJob.h"
#include "platform/SharedFolder.h"
#include "search/FollowUp.h"
#include "search/JobSession.h"
#include "search/SearchPoll.h"

#include "service/Probes.h"


namespace tavrelsvc {

using namespace searchsteps;

namespace {

constexpr qint16 kTooManySearches = 51;

// The FilesList cursor on the job's current row; the search ends there.
void toCurrentRow(clsJob& job) {
    platform::AdoRecordset& rs = job.FilesList();
    if (rs.bof() && rs.eof()) return;
    rs.moveFirst();
    rs.find(QStringLiteral("file_number=") + QString::number(job.CurrentFileNumber));
}

bool isRunning(const clsJob& job) { return job.taskStatus() == common::TaskStatus::Running; }

// The comment of the current row as it was before the submission wrote the
// title over it; a job restarted since then has only the row's value.
QString currentFileComment(clsJob& job) {
    if (job.FileCommentFileNumber == job.CurrentFileNumber) return job.FileComment;
    toCurrentRow(job);
    return job.FilesList().eof() ? QString() : job.FilesList().value(QStringLiteral("file_comment")).toString();
}

}  // namespace

void SearchStepsImpl::SearchRunning(clsJob& job) {
    SearchPollInput in;
    in.task_sorvex_url = job.task_sorvex_url;
    in.sorvex_task_id = job.sorvex_task_id;
    in.Job_submitted = job.Job_submitted();
    in.PendingNiceValue = job.PendingNiceValue;
    in.PleasePause = job.PleasePause != clsJob::False;
    const PollResult r = clsJob_SearchRunning(sessionOf(job), in, clsJob_Now(), contextOf(job));
    keepSessionId(job);
    job.PendingNiceValue = r.PendingNiceValue;
    if (!r.statusMessage.isEmpty() && hasQuellmarkProject(job)) {
        job.SearchStatusRecord.statusMessage = r.statusMessage;
        clsJob_UpdateQuellmarkProjectStatus(job);
    }
    switch (r.outcome) {
    case PollOutcome::Pause:
        job.setJob_searching(false);
        job.PleasePause = clsJob::False;
        job.PauseTask();
        return;
    case PollOutcome::RearmTimer:
        job.TimerOn();
        return;
    case PollOutcome::AbandonSearch:
        toCurrentRow(job);
        job.AbandonSearch();
        return;
    case PollOutcome::EndFileSearch:
        toCurrentRow(job);
        job.EndFileSearch();
        return;
    case PollOutcome::FollowUp:
        FollowUp(job, r.completionCode);
        return;
    }
}

void SearchStepsImpl::FollowUp(clsJob& job, qint16 completionCode) {
    FollowUpInput in;
    in.task_sorvex_url = job.task_sorvex_url;
    in.sorvex_task_id = job.sorvex_task_id;
    in.follow_up = job.settings.follow_up;
    in.fu_score = job.settings.fu_score;
    in.fu_repeat = job.settings.fu_repeat != clsJob::False;
    in.fu_number = job.settings.fu_number;
    in.fu_interval = job.fuInterval();
    in.fu_move = job.settings.fu_move != clsJob::False;
    in.fu_discard = job.settings.fu_discard != clsJob::False;
    in.fu_task = job.settings.fu_task;
    in.Peak_list_cache = job.Peak_list_cache().toString();
    in.file_number = job.CurrentFileNumber;
    in.FileComment = currentFileComment(job);
    in.storedPeakList = job.StoredPeakList;
    in.PeakListFile = job.PeakListFile;
    in.row.uID = job.settings.uID;
    in.row.Data_path = job.Data_path();
    in.row.Search_title = job.Search_title().toString();
    in.row.Job_submitted = job.Job_submitted();
    in.row.auto_print = job.settings.auto_print != clsJob::False;
    in.row.QuellmarkProjectPath = hasQuellmarkProject(job) ? job.QuellmarkProjectPath : QString();
    in.row.now = clsJob_Now();
    // Its outcome does not change the search's end: the result is real. A
    // halt that cancelled the task is seen below.
    in.postSearch = [&job](const QString& resultFile, const QString& resultUrl) {
        job.RunExternalAction(QStringLiteral("PostSearch"), resultFile, resultUrl);
    };
    in.wait = [&job](int seconds) { common::modGlobal_WaitSeconds(seconds, [&job] { return !job.mayGoOn(); }); };
    // The intermediate file of a per-query follow-up is written into the
    // task's cache folder, which no conversion may have made yet.
    if (!in.Peak_list_cache.isEmpty()) platform::makeSharedPath(in.Peak_list_cache);

    qint16 code = completionCode;
    // The project shows the refusal while the service waits to submit again.
    if (code == kTooManySearches && hasQuellmarkProject(job)) {
        job.SearchStatusRecord.statusMessage = QStringLiteral("Too many searches running");
        job.SearchStatusRecord.errorCode = code;
        clsJob_UpdateQuellmarkProjectStatus(job);
    }
    const FollowUpResult r = clsJob_FollowUp(sessionOf(job), code, in, job.FilesList(), contextOf(job));
    keepSessionId(job);
    if (code != kTooManySearches && !r.quellmarkStatus.isEmpty() && hasQuellmarkProject(job)) {
        job.SearchStatusRecord.statusMessage = r.quellmarkStatus;
        job.SearchStatusRecord.errorCode = code;
        job.SearchStatusRecord.resultsFile = r.result.resultFile;
        // The Quellmark program imports only a search the project knows is complete.
        if (clsJob_UpdateQuellmarkProjectStatus(job) && r.quellmarkStatus == u"Search complete" && QuellmarkResultImport)
            clsJob_QuellmarkQuantitateInit(job);
    }

    switch (r.outcome) {
    case FollowUpOutcome::EndFileSearch:
        if (!job.mayGoOn()) {
            // Shut down (or stopped) during the wait: the row keeps its task
            // id, so the next start polls the refused search and retries it.
            job.setJob_searching(false);
            return;
        }
        toCurrentRow(job);
        job.EndFileSearch();
        return;
    case FollowUpOutcome::Done:
        job.setJob_searching(false);
        if (job.PleasePause) {
            job.PleasePause = clsJob::False;
            if (isRunning(job)) job.PauseTask();
        } else {
            job.TimerOn();
        }
        return;
    case FollowUpOutcome::Pause:
        job.setJob_searching(false);
        job.PleasePause = clsJob::False;
        if (isRunning(job)) job.PauseTask();  // a task its command cancelled stays cancelled
        return;
    }
}

}  // namespace tavrelsvc
