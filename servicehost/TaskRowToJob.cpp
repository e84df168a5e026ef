#include "servicehost/TaskRowToJob.h"

#include "common/TaskRow.h"
#include "common/TaskVocabulary.h"
#include "common/UncName.h"
#include "jobs/clsJob.h"
#include "platform/AdoRecordset.h"
#include "service/DbRows.h"
#include "service/Globals.h"
#include "service/Preferences.h"

namespace tavrelsvc {

namespace {

// A stored flag as the job holds it: non-zero is True (-1).
qint16 flag(const std::optional<qint16>& v) { return v.value_or(0) != 0 ? clsJob::True : clsJob::False; }

}  // namespace

QString localPathOf(const QString& stored) {
    return LocalComputerName.isEmpty() ? common::modUncName_GetLocalPathFromUnc(stored)
                                       : common::modUncName_GetLocalPathFromUnc(stored, LocalComputerName);
}

TaskRowValues readTaskRow(const platform::AdoRecordset& rs, const QString& peakListCache) {
    const common::TaskRow r = common::readTaskRow(rs);
    TaskRowValues v;
    v.follow_up = r.follow_up.value_or(0);
    v.fu_discard = flag(r.fu_discard);
    v.fu_interval = r.fu_interval.value_or(common::word(common::FollowUpInterval::Days));
    v.fu_move = flag(r.fu_move);
    v.fu_number = r.fu_number.value_or(1);
    v.fu_repeat = flag(r.fu_repeat);
    v.fu_score = r.fu_score.value_or(0);
    v.fu_task = r.fu_task.value_or(common::NoneChosen);
    v.import_filter = r.import_filter.value_or(common::NoneChosen);
    v.filter_options = r.filter_options.value_or(QString());
    v.filter_fields = r.filter_fields.value_or(QString());
    v.monitor_directory = localPathOf(r.monitor_directory.value_or(QString()));
    v.monitor_filename = r.monitor_filename.value_or(QStringLiteral("*.*"));
    v.new_files_only = flag(r.new_files_only);
    v.sub_directories = flag(r.sub_directories);
    v.merge_data_files = flag(r.merge_data_files);
    v.search_priority = r.search_priority.value_or(0);
    v.parameter_set = localPathOf(r.parameter_set);
    v.schedule_type = r.schedule_type;
    v.start_time = r.start_time;
    v.task_status = r.task_status;
    v.task_label = r.task_label;
    v.uID = r.task_UID;
    v.peak_list_cache = peakListCache;
    v.auto_print = flag(r.auto_print);
    // Parameter sets are files and name no server of their own: every task uses BaseUrl.
    v.task_sorvex_url = BaseUrl;
    v.sorvex_user_id = r.sorvex_user_id ? QVariant(*r.sorvex_user_id) : QVariant();
    v.pre_task_command = r.pre_task_command.value_or(QString());
    v.pre_task_wait = flag(r.pre_task_wait);
    v.pre_task_halt = flag(r.pre_task_halt);
    v.pre_search_command = r.pre_search_command.value_or(QString());
    v.pre_search_wait = flag(r.pre_search_wait);
    v.pre_search_halt = flag(r.pre_search_halt);
    v.post_search_command = r.post_search_command.value_or(QString());
    v.post_search_wait = flag(r.post_search_wait);
    v.post_search_halt = flag(r.post_search_halt);
    v.post_task_command = r.post_task_command.value_or(QString());
    v.post_task_wait = flag(r.post_task_wait);
    v.post_task_halt = flag(r.post_task_halt);
    return v;
}

void fillJob(clsJob& job, const TaskRowValues& v) {
    job.follow_up = v.follow_up;
    job.fu_discard = v.fu_discard;
    job.set_fu_interval(v.fu_interval);
    job.fu_move = v.fu_move;
    job.fu_number = v.fu_number;
    job.fu_repeat = v.fu_repeat;
    job.fu_score = v.fu_score;
    job.fu_task = v.fu_task;
    job.set_import_filter(v.import_filter);
    job.filter_options = v.filter_options;
    job.filter_fields = v.filter_fields;
    job.monitor_directory = v.monitor_directory;
    job.monitor_filename = v.monitor_filename;
    job.new_files_only = v.new_files_only;
    job.sub_directories = v.sub_directories;
    job.merge_data_files = v.merge_data_files;
    job.search_priority = v.search_priority;
    job.parameter_set = v.parameter_set;
    job.set_schedule_type(v.schedule_type);
    job.start_time = v.start_time;
    job.set_Status(v.task_status);
    job.task_label = v.task_label;
    job.uID = v.uID;
    job.set_Peak_list_cache(v.peak_list_cache);
    job.auto_print = v.auto_print;
    job.task_sorvex_url = v.task_sorvex_url;
    job.sorvex_user_id = v.sorvex_user_id;
    job.sessionID = QStringLiteral("X X X");
    job.pre_task_command = v.pre_task_command;
    job.pre_task_wait = v.pre_task_wait;
    job.pre_task_halt = v.pre_task_halt;
    job.pre_search_command = v.pre_search_command;
    job.pre_search_wait = v.pre_search_wait;
    job.pre_search_halt = v.pre_search_halt;
    job.post_search_command = v.post_search_command;
    job.post_search_wait = v.post_search_wait;
    job.post_search_halt = v.post_search_halt;
    job.post_task_command = v.post_task_command;
    job.post_task_wait = v.post_task_wait;
    job.post_task_halt = v.post_task_halt;
}

}  // namespace tavrelsvc
