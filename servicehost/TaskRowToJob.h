#pragma once
// What a job takes from its task row. The task start and the start-up recovery
// read the row into these values first, so a column that cannot be converted
// is an error before any job exists; filling the job afterwards cannot fail.
#include "common/TaskRow.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

namespace platform {
class AdoRecordset;
}

namespace tavrelsvc {

class clsJob;

struct TaskRowValues {
    qint16 follow_up = 0;
    qint16 fu_discard = 0;
    QString fu_interval;
    qint16 fu_move = 0;
    qint32 fu_number = 1;
    qint16 fu_repeat = 0;
    qint32 fu_score = 0;
    QString fu_task;
    QString import_filter;
    QString filter_options;
    QString filter_fields;
    QString monitor_directory;
    QString monitor_filename;
    qint16 new_files_only = 0;
    qint16 sub_directories = 0;
    qint16 merge_data_files = 0;
    qint16 search_priority = 0;
    QString parameter_set;
    QString schedule_type;
    QDateTime start_time;
    QString task_status;
    QString task_label;
    qint32 uID = 0;
    QString peak_list_cache;
    qint16 auto_print = 0;
    QString task_sorvex_url;
    QVariant sorvex_user_id;
    QString pre_task_command, pre_search_command, post_search_command, post_task_command;
    qint16 pre_task_wait = 0, pre_task_halt = 0, pre_search_wait = 0, pre_search_halt = 0;
    qint16 post_search_wait = 0, post_search_halt = 0, post_task_wait = 0, post_task_halt = 0;
};

// Reads the current row (common::readTaskRow, whose errors it throws) and
// gives each Null column the value a job takes for it.
TaskRowValues readTaskRow(const platform::AdoRecordset& rs, const QString& peakListCache);

// Copies the values into the job in the order the task start uses.
void fillJob(clsJob& job, const TaskRowValues& v);

// A local path of a stored (UNC) path, seen from this computer.
QString localPathOf(const QString& stored);

// Conversions of column values, each throwing platform::Error as the reader does.
using common::requiredText;
using common::toLong;
using common::toShort;

}  // namespace tavrelsvc
