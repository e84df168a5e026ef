#pragma once
// The search steps of the service: each member hands the job's values to the
// search functions (login, search form, submission, polling, results and
// follow-up) and carries the outcome out on the job. The host installs them
// at start-up with installJobSearchSteps(makeSearchSteps()).
#include "jobs/JobSteps.h"

#include <memory>

namespace tavrelsvc {

class SearchStepsImpl final : public JobSearchSteps {
public:
    bool ServerReachable(clsJob& job) override;
    bool SorvexLogin(clsJob& job) override;
    bool CheckSessionPermitted(clsJob& job) override;
    void FindTaskUser(clsJob& job) override;
    void Logout(clsJob& job) override;

    bool BuildSearchForm(clsJob& job) override;
    QString GetFormValue(clsJob& job, const QString& name, const QString& defaultValue) override;
    void BuildSearchTitle(clsJob& job, const QString& searchHeader) override;
    void FilterStopMasses(clsJob& job) override;
    void SubmitSearch(clsJob& job) override;
    void SearchRunning(clsJob& job) override;

private:
    void FollowUp(clsJob& job, qint16 completionCode);
};

std::shared_ptr<JobSearchSteps> makeSearchSteps();

}  // namespace tavrelsvc
