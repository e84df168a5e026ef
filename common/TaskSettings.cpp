#include "common/TaskSettings.h"

#include "common/TaskVocabulary.h"

namespace common {

namespace {

qint16 flag(const std::optional<qint16>& v) { return v.value_or(0) != 0 ? kFlagSet : kFlagClear; }

// The one place that knows which columns make which stage.
template <class Columns, class Row>
Columns columnsOf(Row& r, TaskStageId id) {
    switch (id) {
        case TaskStageId::PreTask: return {r.pre_task_command, r.pre_task_wait, r.pre_task_halt};
        case TaskStageId::PreSearch: return {r.pre_search_command, r.pre_search_wait, r.pre_search_halt};
        case TaskStageId::PostSearch: return {r.post_search_command, r.post_search_wait, r.post_search_halt};
        case TaskStageId::PostTask: break;
    }
    return {r.post_task_command, r.post_task_wait, r.post_task_halt};
}

}  // namespace

TaskStageColumns stageColumns(TaskRow& row, TaskStageId id) { return columnsOf<TaskStageColumns>(row, id); }

ConstTaskStageColumns stageColumns(const TaskRow& row, TaskStageId id) {
    return columnsOf<ConstTaskStageColumns>(row, id);
}

TaskSettings taskSettingsOf(const TaskRow& row) {
    TaskSettings s;
    s.uID = row.task_UID;
    s.task_label = row.task_label;
    s.parameter_set = row.parameter_set;
    s.import_filter = row.import_filter.value_or(NoneChosen);
    s.filter_options = row.filter_options.value_or(QString());
    s.filter_fields = row.filter_fields.value_or(QString());
    s.schedule_type = row.schedule_type;
    s.new_files_only = flag(row.new_files_only);
    s.start_time = row.start_time;
    s.monitor_directory = row.monitor_directory.value_or(QString());
    s.monitor_filename = row.monitor_filename.value_or(QStringLiteral("*.*"));
    s.follow_up = row.follow_up.value_or(0);
    s.fu_score = row.fu_score.value_or(0);
    s.fu_repeat = flag(row.fu_repeat);
    s.fu_number = row.fu_number.value_or(1);
    s.fu_interval = row.fu_interval.value_or(word(FollowUpInterval::Days));
    s.fu_move = flag(row.fu_move);
    s.fu_discard = flag(row.fu_discard);
    s.fu_task = row.fu_task.value_or(NoneChosen);
    s.sub_directories = flag(row.sub_directories);
    s.auto_print = flag(row.auto_print);
    s.merge_data_files = flag(row.merge_data_files);
    s.search_priority = row.search_priority.value_or(0);
    s.sorvex_user_id = row.sorvex_user_id;
    for (const TaskStageId id : kTaskStages) {
        const ConstTaskStageColumns c = stageColumns(row, id);
        s.stage(id) = {c.command.value_or(QString()), flag(c.wait), flag(c.halt)};
    }
    return s;
}

}  // namespace common
