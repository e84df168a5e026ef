#pragma once
// What a task asks of the service, as one value: the columns of its row with
// every Null replaced by the value a task takes for it, and the four command
// stages as one array. The service reads it once when it starts or recovers a
// task and the job runs on it; the row's status, request and answer are the
// task's state, not its settings, and stay in the row.
#include "common/TaskRow.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <cstddef>
#include <optional>

namespace common {

// The points of a task's run at which it can run a command of its own, in the
// order they come.
enum class TaskStageId : int { PreTask = 0, PreSearch = 1, PostSearch = 2, PostTask = 3 };
inline constexpr std::size_t kTaskStageCount = 4;
inline constexpr std::array<TaskStageId, kTaskStageCount> kTaskStages = {
    TaskStageId::PreTask, TaskStageId::PreSearch, TaskStageId::PostSearch, TaskStageId::PostTask};

// Flags as the service holds them: any stored non-zero value is set (-1).
inline constexpr qint16 kFlagSet = -1;
inline constexpr qint16 kFlagClear = 0;

struct TaskStage {
    QString command;  // "" runs nothing
    qint16 wait = kFlagClear;
    qint16 halt = kFlagClear;
    bool operator==(const TaskStage&) const = default;
};

// A value made without a row holds zeros and empty texts; taskSettingsOf
// gives the Null columns of a stored row their defaults.
struct TaskSettings {
    qint32 uID = 0;  // task_UID
    QString task_label;
    QString parameter_set;  // as stored (UNC form); a job holds the local path
    QString import_filter;
    QString filter_options;
    QString filter_fields;
    QString schedule_type;
    qint16 new_files_only = kFlagClear;
    QDateTime start_time;
    QString monitor_directory;  // as stored (UNC form); a job holds the local path
    QString monitor_filename;
    qint16 follow_up = 0;  // the follow-up condition: 0 none, 1 score, 2 probability
    qint32 fu_score = 0;
    qint16 fu_repeat = kFlagClear;
    qint32 fu_number = 0;
    QString fu_interval;
    qint16 fu_move = kFlagClear;
    qint16 fu_discard = kFlagClear;
    QString fu_task;
    qint16 sub_directories = kFlagClear;
    qint16 auto_print = kFlagClear;
    qint16 merge_data_files = kFlagClear;
    qint16 search_priority = 0;
    std::optional<qint32> sorvex_user_id;  // the server user the task belongs to
    std::array<TaskStage, kTaskStageCount> stages{};

    TaskStage& stage(TaskStageId id) { return stages[static_cast<std::size_t>(id)]; }
    const TaskStage& stage(TaskStageId id) const { return stages[static_cast<std::size_t>(id)]; }
    bool operator==(const TaskSettings&) const = default;
};

TaskSettings taskSettingsOf(const TaskRow& row);

// A stage's three columns of a stored row, for code that handles the stages
// as one list: the row's own fields, so they can be read and set.
struct TaskStageColumns {
    std::optional<QString>& command;
    std::optional<qint16>& wait;
    std::optional<qint16>& halt;
};
struct ConstTaskStageColumns {
    const std::optional<QString>& command;
    const std::optional<qint16>& wait;
    const std::optional<qint16>& halt;
};
TaskStageColumns stageColumns(TaskRow& row, TaskStageId id);
ConstTaskStageColumns stageColumns(const TaskRow& row, TaskStageId id);

}  // namespace common
