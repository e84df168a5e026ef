// Login, search form, title, stop masses and submission of a job's search.
// The job's session id follows its JobSession after every exchange, because a
// GET that finds the session lapsed logs in again on its own.
#include "jobs/SearchStepsImpl.h"

#include "common/UncName.h"
#include "jobs/JobClock.h"
#include "jobs/JobQuellmark.h"
#include "jobs/SearchStepsShared.h"
#include "jobs/clsJob.h"
#include "platform/Cp1252.h"
#include "search/JobSession.h"
#include "search/SearchForm.h"
#include "search/SearchSubmit.h"
#include "service/Globals.h"
#include "service/HttpGet.h"
#include "service/Preferences.h"
#include "service/Probes.h"
#include "service/SmallConversions.h"

#include <QFileInfo>

namespace tavrelsvc {

namespace searchsteps {

SearchJobContext contextOf(const clsJob& job) {
    return SearchJobContext{job.settings.uID, job.settings.task_label, job.Data_file()};
}

JobSession& sessionOf(clsJob& job) {
    JobSession& session = job.Session();
    session.task_sorvex_url = job.task_sorvex_url;
    session.sessionID = job.sessionID;
    return session;
}

void keepSessionId(clsJob& job) { job.sessionID = job.Session().sessionID; }

bool hasQuellmarkProject(const clsJob& job) {
    return !job.QuellmarkProjectPath.isEmpty() && QFileInfo(job.QuellmarkProjectPath).isFile();
}

}  // namespace searchsteps

using namespace searchsteps;

std::shared_ptr<JobSearchSteps> makeSearchSteps() { return std::make_shared<SearchStepsImpl>(); }

bool SearchStepsImpl::ServerReachable(clsJob& job) { return modGlobal_ProbeGetErrorScript(job.task_sorvex_url); }

bool SearchStepsImpl::SorvexLogin(clsJob& job) {
    JobSession& session = sessionOf(job);
    // The session's own flag: the user list, and with it the task's user, is
    // fetched only from a server whose security is on.
    const bool ok =
        session.SorvexLogin(job.task_sorvex_url, SorvexUserName, SorvexPassword, session.ServerSecurityEnabled);
    keepSessionId(job);
    return ok;
}

bool SearchStepsImpl::CheckSessionPermitted(clsJob& job) {
    bool permitted = false;
    sessionOf(job).clsJob_CheckSessionPermitted(job.task_sorvex_url, false, permitted);
    keepSessionId(job);
    return permitted;
}

void SearchStepsImpl::FindTaskUser(clsJob& job) {
    JobSession& session = sessionOf(job);
    session.clsJob_FindTaskUser(job.task_sorvex_url);
    keepSessionId(job);
    if (!session.ServerUserList.isEmpty()) job.ServerUser = session.ServerUserList.first();
}

void SearchStepsImpl::Logout(clsJob& job) {
    sessionOf(job).Logout();
    keepSessionId(job);
}

bool SearchStepsImpl::BuildSearchForm(clsJob& job) {
    SearchFormInput in;
    in.parameter_set = common::modUncName_GetLocalPathFromUnc(job.settings.parameter_set);
    in.import_filter = job.importFilter();
    in.sorvex_user_id = job.settings.sorvex_user_id;
    in.taskUserId = job.ServerUser ? job.ServerUser->user_id : job.Session().ServerUserList.value(0).user_id;
    in.ActionPlaceholders = job.ActionPlaceholders();
    in.multiSiteMods = QuellmarkMultiSiteMods;
    const auto built = clsJob_BuildSearchForm(in, contextOf(job));
    if (!built) return false;  // logged; the preparation pauses the task
    job.SearchFormHead = built->SearchFormHead;
    job.TitleTemplate = built->TitleTemplate;
    job.QuantitationMethod = built->QuantitationMethod;
    return true;
}

QString SearchStepsImpl::GetFormValue(clsJob& job, const QString& name, const QString& defaultValue) {
    const QString value = clsJob_GetFormValue(name, platform::toCp1252(job.PeakListText), job.SearchFormHead);
    return value.isEmpty() ? defaultValue : value;
}

void SearchStepsImpl::BuildSearchTitle(clsJob& job, const QString& searchHeader) {
    platform::AdoRecordset& row = job.FilesList();
    SearchTitleInput in;
    in.SearchFormHead = job.SearchFormHead;
    in.TitleTemplate = job.TitleTemplate;
    in.ActionPlaceholders = job.ActionPlaceholders();
    in.Data_file = job.Data_file();
    in.Data_path = job.Data_path();
    in.file_comment = row.value(QStringLiteral("file_comment"));
    in.peak_list = row.value(QStringLiteral("peak_list"));
    in.sample_number = row.value(QStringLiteral("sample_number"));
    in.CurrentMethod = job.CurrentMethod;
    const auto built = clsJob_BuildSearchTitle(in, platform::toCp1252(searchHeader), contextOf(job));
    if (!built) {
        // The prefix of the previous file would send this file under that
        // file's name and title: with no prefix the submission refuses
        // ("No data to upload") and the task pauses.
        job.SearchFormPrefix.clear();
        return;
    }
    job.setSearch_title(built->Search_title);
    job.FileComment = built->FileComment;
    job.FileCommentFileNumber = job.CurrentFileNumber;
    job.SearchFormPrefix = built->SearchFormPrefix;
}

void SearchStepsImpl::FilterStopMasses(clsJob& job) {
    QByteArray list = platform::toCp1252(job.PeakListText);
    clsJob_FilterStopMasses(list, job.SearchFormHead, ProgramFolder + QLatin1Char('/') + kStopMassFileName,
                            contextOf(job));
    job.PeakListText = platform::fromCp1252(list);
}

void SearchStepsImpl::SubmitSearch(clsJob& job) {
    SubmissionInput in;
    in.SearchFormPrefix = job.SearchFormPrefix;
    in.PeakListText = platform::toCp1252(job.PeakListText);
    in.PeakListFile = job.PeakListFile;
    in.CurrentMethodCode = job.CurrentMethodCode;
    in.task_sorvex_url = job.task_sorvex_url;
    in.Search_title = job.Search_title().toString();
    const SubmitResult r = clsJob_SubmitSearch(sessionOf(job), in, &job.FilesList(), contextOf(job));
    keepSessionId(job);
    switch (r.outcome) {
    case SubmitOutcome::Submitted: {
        const QDateTime now = clsJob_Now();
        job.PendingNiceValue = static_cast<qint16>(-job.settings.search_priority);
        job.setJob_searching(true);
        job.setJob_submitted(now);
        job.sorvex_task_id = r.sorvex_task_id;
        if (r.rowStored && hasQuellmarkProject(job)) {
            // A new search: nothing of the previous file's search reaches its entry.
            job.SearchStatusRecord = {};
            job.SearchStatusRecord.taskId = r.sorvex_task_id;
            job.SearchStatusRecord.title = in.Search_title;
            job.SearchStatusRecord.server = job.task_sorvex_url;
            job.SearchStatusRecord.statusMessage = QStringLiteral("Search submitted");
            job.SearchStatusRecord.submittedAt = modGlobal_IsoDateTimeNow(now);
            clsJob_UpdateQuellmarkProjectStatus(job);
        }
        // Also when the row was not stored: the search runs at the server, so
        // the job polls it rather than stopping with its timer off.
        job.TimerOn();
        return;
    }
    case SubmitOutcome::TimerOn:
        job.sorvex_task_id = r.sorvex_task_id;
        job.TimerOn();
        return;
    case SubmitOutcome::Pause:
        job.setJob_searching(false);
        job.PleasePause = clsJob::False;
        job.PauseTask();
        return;
    }
}

}  // namespace tavrelsvc
