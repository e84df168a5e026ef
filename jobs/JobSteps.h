#pragma once
// The steps a job's tick hands to the search (server session, search form,
// submission, polling) and to the conversion of data files (import filters,
// merging, watched folders, sample lists). The step machine calls them
// through these two interfaces; the service host installs the real ones at
// start-up. Until it does, every step that is not built logs that it is not
// available and pauses the task, so no task is lost or marked done by a
// missing component.
//
// Each call gets the job. A step that ends a busy state or decides about the
// timer uses the job's public step controls (clsJob::TimerOn, EndFileSearch,
// AbandonSearch, PauseTask, RunExternalAction ...).
#include <QString>

#include <memory>

namespace tavrelsvc {

class clsJob;

class JobSearchSteps {
public:
    virtual ~JobSearchSteps() = default;

    // Login of a job whose sessionID is still "X X X".
    virtual bool ServerReachable(clsJob& job) = 0;         // the server test
    virtual bool SorvexLogin(clsJob& job) = 0;             // may set job.sessionID
    virtual bool CheckSessionPermitted(clsJob& job) = 0;   // not quiet
    virtual void FindTaskUser(clsJob& job) = 0;            // fills job.ServerUser
    // Completion and cancellation: ends the server session (reply ignored).
    virtual void Logout(clsJob& job) = 0;

    // First run: builds the search form from the task's parameter set. False
    // when the form cannot be built (the step has logged why); the task pauses.
    virtual bool BuildSearchForm(clsJob& job) = 0;
    // A value of the search form, or the default when the form has none.
    virtual QString GetFormValue(clsJob& job, const QString& name, const QString& defaultValue) = 0;
    // Sets the job's Search_title from the form's title template.
    virtual void BuildSearchTitle(clsJob& job, const QString& searchHeader) = 0;
    // Removes the stop masses from job.PeakListText.
    virtual void FilterStopMasses(clsJob& job) = 0;
    // Submits the current file's search; decides about the timer and the
    // searching flag.
    virtual void SubmitSearch(clsJob& job) = 0;
    // One poll of the submitted search (Job_searching is set); leaves through
    // TimerOn, PauseTask, AbandonSearch, EndFileSearch or the follow-up.
    virtual void SearchRunning(clsJob& job) = 0;
};

class JobImportSteps {
public:
    virtual ~JobImportSteps() = default;

    // Watched folders: chooses the next row (see NextBatchFile for the
    // meaning of the answer); CloseWatch ends the folder's watch on cancel.
    virtual bool NextMonitoredFile(clsJob& job) = 0;
    virtual void CloseWatch(clsJob& job) = 0;

    // Merges the peak lists of every row into one new row. False when the
    // merge stopped (pause, shut-down) or its row was not stored.
    virtual bool MergePeakLists(clsJob& job) = 0;

    // Import filters: the peak-list path made for the current file, or "".
    virtual QString ImportLcq(clsJob& job) = 0;
    virtual QString ImportVoyager(clsJob& job) = 0;
    virtual QString ImportTS2Sorvex(clsJob& job) = 0;

    // Sample lists: expand the current file into rows of its own.
    virtual void ExpandMassLynxSampleList(clsJob& job) = 0;
    virtual qint32 ExpandWiffSamples(clsJob& job) = 0;           // the row's sample_number
    virtual qint32 CreateNewQuellmarkEntries(clsJob& job) = 0;   // the row's sample_number

    // Conversions that run over several ticks: True when started (the step
    // has set its busy flag).
    virtual bool Pondrel(clsJob& job, qint32 sampleNumber) = 0;
    virtual bool ImportQuellmark(clsJob& job, qint32 sampleNumber) = 0;
    virtual void ReleaseQuellmarkObjects(clsJob& job) = 0;

    // One poll of a busy conversion (its flag is set).
    virtual void ServiceQuellmark(clsJob& job) = 0;
    virtual void QuellmarkQuantitateService(clsJob& job) = 0;
    virtual void SciexWiffService(clsJob& job) = 0;
};

// The installed steps (never null). Installing returns the previous ones;
// installing nullptr puts back the built-in defaults.
JobSearchSteps& jobSearchSteps();
JobImportSteps& jobImportSteps();
std::shared_ptr<JobSearchSteps> installJobSearchSteps(std::shared_ptr<JobSearchSteps> steps);
std::shared_ptr<JobImportSteps> installJobImportSteps(std::shared_ptr<JobImportSteps> steps);

}  // namespace tavrelsvc
