#pragma once
// One running task of the service. The host gives it the settings of its
// task row, files the job in JobCollection under "T" + its
// Control_index and lets the job's own timer drive it: each tick calls
// Take_Action, which performs the next step of the task.
#include "common/ImportFilters.h"
#include "common/ServerReplies.h"
#include "common/TaskSettings.h"
#include "common/TaskVocabulary.h"
#include "convert/ImportQuellmarkProject.h"
#include "jobs/JobClock.h"
#include "jobs/JobPlaceholders.h"
#include "jobs/JobTimer.h"
#include "platform/AdoRecordset.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>

namespace platform {
class Process;
}

namespace tavrelsvc {

class JobSession;
struct JobFolderWatch;
struct QuellmarkRun;

// The current search's status, handed to the Quellmark project status.
using SearchStatusValues = QuellmarkSearchStatusRecord;

// What a file chooser for a fixed list found.
enum class FileChoice {
    Chosen,     // the FilesList cursor stands on the next row; NextActionTime is its due time
    Exhausted,  // no usable row is left
    Failed,     // the chooser could not go on (a row could not be stored, an error); logged
};

class clsJob : public QObject {
    Q_OBJECT

public:
    // Flags are 16-bit with True = -1, as the task database stores them.
    static constexpr qint16 True = -1;
    static constexpr qint16 False = 0;

    // Construction takes the host's current NextJobIndex as Control_index and
    // arms the job's timer for its first tick TimerTick seconds later.
    clsJob();
    ~clsJob() override;

    // --- the task: its settings, and what the host gives it besides -------
    // The task row's settings, paths local to this computer. Filled through
    // setSettings, which takes schedule_type, fu_interval and import_filter
    // out into the values below (their getters; an unknown word is ""), so
    // those three texts stay empty here.
    common::TaskSettings settings;
    void setSettings(common::TaskSettings taskSettings);
    QString gkr_user_name;
    qint16 PleasePause = 0;
    QString sorvex_task_id;
    QString task_sorvex_url;
    QString sessionID = QStringLiteral("X X X");

    // --- public methods ---------------------------------------------------
    void Take_Action();
    void PauseTask();
    void ResumeTask();
    void CancelTask();

    // --- properties -------------------------------------------------------
    QDateTime Created() const { return created_; }
    qint16 Control_index() const { return controlIndex_; }
    QString JobKey() const { return QStringLiteral("T") + QString::number(controlIndex_); }
    qint16 Job_searching() const { return jobSearching_; }
    qint16 Job_processing() const { return jobProcessing_; }
    qint16 Job_quanting() const { return jobQuanting_; }
    qint16 Job_import_wiff() const { return jobImportWiff_; }
    bool isBusy() const { return jobSearching_ || jobProcessing_ || jobQuanting_ || jobImportWiff_; }
    QDateTime Job_submitted() const { return jobSubmitted_; }
    QString Data_file() const { return dataFile_; }
    QString Data_path() const { return dataPath_; }
    QVariant Search_title() const { return searchTitle_; }

    // The stored words are taken as the task row holds them and kept as
    // values: a word that is none of ours leaves the value as it was. The
    // text getters give the stored word ("" while there is none).
    QString schedule_type() const { return scheduleType_ ? common::word(*scheduleType_) : QString(); }
    std::optional<common::ScheduleType> scheduleType() const { return scheduleType_; }
    void set_schedule_type(const QString& new_schedule_type);
    QString fu_interval() const { return fuInterval_ ? common::word(*fuInterval_) : QString(); }
    std::optional<common::FollowUpInterval> fuInterval() const { return fuInterval_; }
    void set_fu_interval(const QString& new_fu_interval);
    QString Status() const { return status_ ? common::word(*status_) : QString(); }
    std::optional<common::TaskStatus> taskStatus() const { return status_; }
    void set_Status(const QString& new_status);
    // The import filter's name as stored (messages, the current method) and
    // the filter it names (nothing for a name no filter has).
    const QString& import_filter() const { return importFilterName_; }
    std::optional<common::ImportFilterIndex> importFilter() const { return importFilter_; }
    void set_import_filter(const QString& name);
    QVariant Peak_list_cache() const { return peakListCache_; }
    void set_Peak_list_cache(const QVariant& new_path) { peakListCache_ = new_path; }

    // The job's element of the host's timer array. Its ticks come every
    // TickInterval() at the job's own phase, from FirstTick() on.
    JobTimer& tmrJob() { return timer_; }
    int TickInterval() const { return tickIntervalMs_; }
    QDateTime FirstTick() const { return QDateTime::fromMSecsSinceEpoch(firstTickMs_); }
    // Out of the phases new jobs keep apart from (the job is gone or going).
    void leaveTickPhases();

    // --- state of the current file, shared with the search and conversion steps
    QString PeakListFile;          // local path of the current file's peak list, "" when none
    QString PeakListText;          // the peak list held in memory, "" when none
    QString CurrentMethod;         // import filter, or the follow-up method
    QString CurrentMethodCode;     // "?1" ordinary search, "?4" follow-up search
    QString QuellmarkProjectPath;  // the project beside the cached peak list, "" when none
    QString StoredPeakList;        // the current row's peak_list as stored (UNC form)
    qint32 CurrentFileNumber = 0;  // file_number of the current row
    // Sample lists of this run: the peak lists each list (by its file_number)
    // has been given rows for, so that a retry of a list adds only what it
    // still misses; and whether the missing Jet reader has been reported.
    QHash<qint32, QSet<QString>> SampleListRowsMade;
    bool SampleListReaderMissingReported = false;
    SearchStatusValues SearchStatusRecord;
    std::optional<common::ServerUser> ServerUser;  // the task's user, found at login
    qint16 PendingNiceValue = -1;

    static inline const QString FollowUpMethod = QStringLiteral("Follow-up search of selected queries");

    // --- step controls for the search and conversion steps ----------------
    platform::AdoRecordset& FilesList() { return filesList_; }
    JobSession& Session();  // the job's server session, made on first use
    // Arms the timer for the job's next tick that has something to do.
    void TimerOn();
    void SetTimerInterval(int milliseconds);
    void setJob_searching(bool on) { jobSearching_ = on ? True : False; }
    void setJob_processing(bool on) { jobProcessing_ = on ? True : False; }
    void setJob_quanting(bool on) { jobQuanting_ = on ? True : False; }
    void setJob_import_wiff(bool on) { jobImportWiff_ = on ? True : False; }
    void setJob_submitted(const QDateTime& when) { jobSubmitted_ = when; }
    void setData_file(const QString& name) { dataFile_ = name; }
    void setSearch_title(const QVariant& title) { searchTitle_ = title; }
    QDateTime nextActionTime() const { return NextActionTime.dateTime(); }
    bool firstRun() const { return FirstRun != False; }

    // "PreTask", "PreSearch", "PostSearch" or "PostTask": true to go on, false
    // when the command failed with its halt flag and the task was cancelled,
    // nothing after an error (the caller stops).
    std::optional<bool> RunExternalAction(const QString& kind, const QString& resultFilePath = QString(),
                                          const QString& resultUrl = QString());
    void EndFileSearch();
    void AbandonSearch();
    // The current file's peak list is ready (PeakListFile or PeakListText):
    // search it, or retire the file when it holds no data.
    // searchOrRetireCurrentFile(header, false) sends the peak list without the
    // stop-mass filter (a format the filter cannot read).
    void searchOrRetireCurrentFile(const QString& searchHeader, bool stopMassFilter = true);
    const QStringList& ActionPlaceholders() const { return actionPlaceholders_; }
    // The task's table, and the current file's placeholders (commands and
    // the search title use both).
    QList<PlaceholderEntry> actionPlaceholderEntries() const;
    QList<PlaceholderEntry> filePlaceholderEntries() const;

    // The size probe of one data item: 0 missing or empty, > 0 present and
    // free, < 0 present but held by another process (magnitude = size).
    qint64 GetItemSize(const QString& localPath);

    // False once the job was paused, cancelled or completed, or the service
    // shuts down: a step that waited with the event loop running stops then.
    bool mayGoOn() const;
    // True while the job's tick (or a wait inside it) runs.
    bool inTick() const { return tickDepth_ > 0; }

protected:
    bool event(QEvent* e) override;
    QDateTime created_;
    qint16 controlIndex_ = 0;
    qint16 jobSearching_ = 0;
    qint16 jobProcessing_ = 0;
    qint16 jobQuanting_ = 0;
    qint16 jobImportWiff_ = 0;
    QDateTime jobSubmitted_;
    QString dataFile_;
    QString dataPath_;
    QVariant searchTitle_;
    std::optional<common::ScheduleType> scheduleType_;
    std::optional<common::FollowUpInterval> fuInterval_;
    std::optional<common::TaskStatus> status_;
    QString importFilterName_;
    std::optional<common::ImportFilterIndex> importFilter_;
    QVariant peakListCache_;

    qint16 FirstRun = True;
    JobDueTime NextActionTime;

private:
    friend class JobTickGuard;

    // Step machine and its parts.
    void takeActionSteps();
    bool loginSteps();
    bool convertCurrentFile(QString& searchHeader);
    bool storeCurrentRow();
    void stopWithError(const QString& message);

    std::optional<bool> PrepareTask();
    void SetCurrentFile();
    void CompleteTask();
    void BuildPlaceholders();
    qint32 RunCommandLine(const QStringList& arguments, const QString& commandLine, bool wait);
    FileChoice NextBatchFile();
    bool NextFollowerFile();
    bool rowIsDue() const;
    bool retireCurrentRow(const QString& message);
    // Positions taskRow_ on the job's own task row; false when it is gone.
    bool findTaskRow();
    // Stores the current file's row once its search has ended and goes on:
    // paused when asked (or when the row cannot be stored), else next tick.
    void storeFileRowAndGoOn();
    // The job's task row alone: a job writes its status and answers through
    // it, so that no step re-reads the whole task table.
    platform::AdoRecordset taskRow_;
    void removeFromCollection();
    void log(short type, const QString& message, bool withDataFile = true) const;

    // Among the phases new jobs keep apart from, at the job's interval.
    void enterTickPhases();

    JobTimer timer_;
    int tickIntervalMs_ = 10000;
    qint64 firstTickMs_ = 0;  // job clock, since the epoch
    qint64 phaseInterval_ = 0;  // the interval the job's phase is kept under, 0 when none
    platform::AdoRecordset filesList_;
    QStringList actionPlaceholders_;
    std::unique_ptr<JobSession> session_;
    int tickDepth_ = 0;          // > 0 while a tick (or a wait in it) runs
    bool deletePending_ = false; // a deleteLater that came during a tick
    bool removed_ = false;       // out of JobCollection: no further step

    // --- watched folders ----------------------------------------------------
public:
    // The watched-folder chooser decides the job's next due time, and a
    // change in a watched folder brings it forward.
    void setNextActionTime(const QDateTime& when);
    // Items seen, items not yet recorded and the change watch of a "monitor"
    // task; made by its first scan, released with the job.
    std::shared_ptr<JobFolderWatch> FolderWatch;

    // --- the WIFF conversion ---------------------------------------------------
    // The Pondrel process while Job_import_wiff is set; it ends with the job.
    std::unique_ptr<platform::Process> WiffProcess;

    // --- the Quellmark conversion and quantitation ---------------------------
    // The library's objects and the samples of the file being processed; held
    // while Job_processing is set, released when it ends and on every pause.
    std::shared_ptr<QuellmarkRun> Quellmark;
    // The Quellmark program while Job_quanting is set; a pause lets it run on.
    std::unique_ptr<platform::Process> QuantProcess;
    bool QuantImportOnly = false;

    // --- the search form, kept by the search steps ------------------------
    QByteArray SearchFormHead;       // parts from the parameter set, built once per task
    QString TitleTemplate;           // the parameter set's COM value
    QString QuantitationMethod;      // the parameter set's QUANTITATION value
    QByteArray SearchFormPrefix;     // the body up to the peak list, built per file
    QString FileComment;             // file_comment of the row the prefix was built for ...
    qint32 FileCommentFileNumber = -1;  // ... and that row's file_number
};

// Data items are taken as they lie on disk: a symbolic link is never
// followed, so nothing it points at is ever searched.
bool isSymbolicLink(const QString& localPath);
inline const QString kSymbolicLinkMessage = QStringLiteral(" is a symbolic link, which is never followed");

}  // namespace tavrelsvc
