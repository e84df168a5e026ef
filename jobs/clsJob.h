#pragma once
// One running task of the service. The host copies every column of the task
// row into the public fields, files the job in JobCollection under "T" + its
// Control_index and lets the job's own timer drive it: each tick calls
// Take_Action, which performs the next step of the task.
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVariant>

namespace tavrelsvc {

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

    // --- public fields, filled by the host from the task row -------------
    qint32 uID = 0;
    QString task_label;
    QString parameter_set;
    QString import_filter;
    QString filter_options;
    QString filter_fields;
    qint16 new_files_only = 0;
    qint16 sub_directories = 0;
    QDateTime start_time;
    QString monitor_directory;
    QString monitor_filename;
    qint16 follow_up = 0;
    qint32 fu_score = 0;
    qint16 fu_repeat = 0;
    qint32 fu_number = 0;
    qint16 fu_move = 0;
    qint16 fu_discard = 0;
    QString fu_task;
    qint16 auto_print = 0;
    QString pre_task_command;
    qint16 pre_task_wait = 0;
    qint16 pre_task_halt = 0;
    QString pre_search_command;
    qint16 pre_search_wait = 0;
    qint16 pre_search_halt = 0;
    QString post_search_command;
    qint16 post_search_wait = 0;
    qint16 post_search_halt = 0;
    QString post_task_command;
    qint16 post_task_wait = 0;
    qint16 post_task_halt = 0;
    QString gkr_user_name;
    qint16 merge_data_files = 0;
    qint16 search_priority = 0;
    QVariant sorvex_user_id;  // Null or a 32-bit server user id
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

    QString schedule_type() const { return scheduleType_; }
    void set_schedule_type(const QString& new_schedule_type);  // "now", "timed", "monitor", "follower"
    QString fu_interval() const { return fuInterval_; }
    void set_fu_interval(const QString& new_fu_interval);  // "minutes", "hours", "days", "weeks"
    QString Status() const { return status_; }
    void set_Status(const QString& new_status);  // "running", "paused", "completed", "cancelled", "new"
    QVariant Peak_list_cache() const { return peakListCache_; }
    void set_Peak_list_cache(const QVariant& new_path) { peakListCache_ = new_path; }

    // The job's element of the host's timer array.
    QTimer& tmrJob() { return timer_; }

protected:
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
    QString scheduleType_;
    QString fuInterval_;
    QString status_;
    QVariant peakListCache_;

    qint16 FirstRun = True;
    QDateTime NextActionTime;

private:
    QTimer timer_;
};

}  // namespace tavrelsvc
