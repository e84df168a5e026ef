// The steps a job uses until the service host installs the real ones. The
// server session goes through the job's JobSession and the search form's
// values come from the parameter file; every other step logs that it is not
// available here and pauses the task, so the task waits, whole, for a service
// that has the step.
#include "jobs/JobSteps.h"

#include "common/UncName.h"
#include "jobs/clsJob.h"
#include "common/ParameterFile.h"
#include "search/JobSession.h"
#include "service/EventLog.h"
#include "service/HttpGet.h"
#include "service/Preferences.h"

namespace tavrelsvc {

namespace {

void notAvailable(clsJob& job, const QString& what) {
    modGlobal_WriteEventLog(EventError, job.settings.uID, job.settings.task_label, job.Data_file(),
                            what + QStringLiteral(" is not available in this service program"));
    job.PauseTask();
}

class DefaultSearchSteps final : public JobSearchSteps {
public:
    bool ServerReachable(clsJob& job) override { return modGlobal_ProbeGetErrorScript(job.task_sorvex_url); }

    bool SorvexLogin(clsJob& job) override {
        JobSession& session = job.Session();
        session.task_sorvex_url = job.task_sorvex_url;
        const bool ok =
            session.SorvexLogin(job.task_sorvex_url, SorvexUserName, SorvexPassword, session.ServerSecurityEnabled);
        job.sessionID = session.sessionID;
        return ok;
    }

    bool CheckSessionPermitted(clsJob& job) override {
        bool permitted = false;
        job.Session().clsJob_CheckSessionPermitted(job.task_sorvex_url, false, permitted);
        return permitted;
    }

    void FindTaskUser(clsJob& job) override {
        JobSession& session = job.Session();
        session.clsJob_FindTaskUser(job.task_sorvex_url);
        if (!session.ServerUserList.isEmpty()) job.ServerUser = session.ServerUserList.first();
    }

    void Logout(clsJob& job) override {
        JobSession& session = job.Session();
        session.sessionID = job.sessionID;
        session.Logout();
    }

    bool BuildSearchForm(clsJob& job) override {
        notAvailable(job, QStringLiteral("The search form"));
        return false;
    }

    QString GetFormValue(clsJob& job, const QString& name, const QString& defaultValue) override {
        const auto read =
            tavrel::readParameterFileLines(common::modUncName_GetLocalPathFromUnc(job.settings.parameter_set),
                                           tavrel::ParameterLineRule::RejectLinesWithoutEquals);
        for (const auto& line : read.lines)
            if (line.key == name) return line.value;
        return defaultValue;
    }

    void BuildSearchTitle(clsJob& job, const QString&) override { job.setSearch_title(job.Data_file()); }
    void FilterStopMasses(clsJob&) override {}
    void SubmitSearch(clsJob& job) override { notAvailable(job, QStringLiteral("Search submission")); }
    void SearchRunning(clsJob& job) override { notAvailable(job, QStringLiteral("Search polling")); }
};

class DefaultImportSteps final : public JobImportSteps {
public:
    bool NextMonitoredFile(clsJob& job) override {
        notAvailable(job, QStringLiteral("Watching folders"));
        return false;
    }
    void CloseWatch(clsJob&) override {}
    bool MergePeakLists(clsJob& job) override {
        notAvailable(job, QStringLiteral("Merging peak lists"));
        return false;
    }
    QString ImportLcq(clsJob& job) override { return unavailableImport(job); }
    QString ImportVoyager(clsJob& job) override { return unavailableImport(job); }
    QString ImportTS2Sorvex(clsJob& job) override { return unavailableImport(job); }
    void ExpandMassLynxSampleList(clsJob& job) override { unavailableImport(job); }
    qint32 ExpandWiffSamples(clsJob& job) override {
        unavailableImport(job);
        return 0;
    }
    qint32 CreateNewQuellmarkEntries(clsJob& job) override {
        unavailableImport(job);
        return 0;
    }
    bool Pondrel(clsJob& job, qint32) override {
        unavailableImport(job);
        return false;
    }
    bool ImportQuellmark(clsJob& job, qint32) override {
        unavailableImport(job);
        return false;
    }
    void ReleaseQuellmarkObjects(clsJob&) override {}
    void ServiceQuellmark(clsJob& job) override { unavailableImport(job); }
    void QuellmarkQuantitateService(clsJob& job) override { unavailableImport(job); }
    void SciexWiffService(clsJob& job) override { unavailableImport(job); }

private:
    static QString unavailableImport(clsJob& job) {
        notAvailable(job, QStringLiteral("The import filter \"") + job.import_filter() + QStringLiteral("\""));
        return QString();
    }
};

std::shared_ptr<JobSearchSteps>& searchSlot() {
    static std::shared_ptr<JobSearchSteps> steps = std::make_shared<DefaultSearchSteps>();
    return steps;
}

std::shared_ptr<JobImportSteps>& importSlot() {
    static std::shared_ptr<JobImportSteps> steps = std::make_shared<DefaultImportSteps>();
    return steps;
}

}  // namespace

JobSearchSteps& jobSearchSteps() { return *searchSlot(); }
JobImportSteps& jobImportSteps() { return *importSlot(); }

std::shared_ptr<JobSearchSteps> installJobSearchSteps(std::shared_ptr<JobSearchSteps> steps) {
    if (!steps) steps = std::make_shared<DefaultSearchSteps>();
    return std::exchange(searchSlot(), std::move(steps));
}

std::shared_ptr<JobImportSteps> installJobImportSteps(std::shared_ptr<JobImportSteps> steps) {
    if (!steps) steps = std::make_shared<DefaultImportSteps>();
    return std::exchange(importSlot(), std::move(steps));
}

}  // namespace tavrelsvc
