#include "servicehost/TaskRowToJob.h"

#include "common/UncName.h"
#include "jobs/clsJob.h"
#include "platform/AdoRecordset.h"
#include "platform/Error.h"
#include "service/DbRows.h"
#include "service/Globals.h"
#include "service/Preferences.h"

#include <limits>

namespace tavrelsvc {

namespace {

platform::Error invalidNull(const QString& column) {
    return platform::Error(94, QStringLiteral("Invalid use of Null (column %1)").arg(column));
}

qint64 toWhole(const QVariant& v) {
    if (v.isNull()) throw platform::Error(94, QStringLiteral("Invalid use of Null"));
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok) throw platform::Error(13, QStringLiteral("Type mismatch"));
    if (d > 9.2e18 || d < -9.2e18) throw platform::Error(6, QStringLiteral("Overflow"));
    return static_cast<qint64>(d < 0 ? d - 0.5 : d + 0.5);
}

QVariant nz(const platform::AdoRecordset& rs, const char* column, const QVariant& fallback) {
    return modGlobal_NullToDefault(rs.value(QString::fromLatin1(column)), fallback);
}

QVariant required(const platform::AdoRecordset& rs, const char* column) {
    const QVariant v = rs.value(QString::fromLatin1(column));
    if (v.isNull()) throw invalidNull(QString::fromLatin1(column));
    return v;
}

}  // namespace

qint16 toShort(const QVariant& v) {
    const qint64 n = toWhole(v);
    if (n < std::numeric_limits<qint16>::min() || n > std::numeric_limits<qint16>::max())
        throw platform::Error(6, QStringLiteral("Overflow"));
    return static_cast<qint16>(n);
}

qint32 toLong(const QVariant& v) {
    const qint64 n = toWhole(v);
    if (n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
        throw platform::Error(6, QStringLiteral("Overflow"));
    return static_cast<qint32>(n);
}

qint16 toFlag(const QVariant& v) { return toWhole(v) != 0 ? clsJob::True : clsJob::False; }

QString requiredText(const QVariant& v) {
    if (v.isNull()) throw platform::Error(94, QStringLiteral("Invalid use of Null"));
    return v.toString();
}

QString localPathOf(const QString& stored) {
    return LocalComputerName.isEmpty() ? common::modUncName_GetLocalPathFromUnc(stored)
                                       : common::modUncName_GetLocalPathFromUnc(stored, LocalComputerName);
}

TaskRowValues readTaskRow(const platform::AdoRecordset& rs, const QString& peakListCache) {
    TaskRowValues v;
    const QString none = QStringLiteral("--- None ---");
    v.follow_up = toShort(nz(rs, "follow_up", 0));
    v.fu_discard = toFlag(nz(rs, "fu_discard", 0));
    v.fu_interval = nz(rs, "fu_interval", QStringLiteral("days")).toString();
    v.fu_move = toFlag(nz(rs, "fu_move", 0));
    v.fu_number = toLong(nz(rs, "fu_number", 1));
    v.fu_repeat = toFlag(nz(rs, "fu_repeat", 0));
    v.fu_score = toLong(nz(rs, "fu_score", 0));
    v.fu_task = nz(rs, "fu_task", none).toString();
    v.import_filter = nz(rs, "import_filter", none).toString();
    v.filter_options = nz(rs, "filter_options", QString()).toString();
    v.filter_fields = nz(rs, "filter_fields", QString()).toString();
    v.monitor_directory = localPathOf(nz(rs, "monitor_directory", QString()).toString());
    v.monitor_filename = nz(rs, "monitor_filename", QStringLiteral("*.*")).toString();
    v.new_files_only = toFlag(nz(rs, "new_files_only", 0));
    v.sub_directories = toFlag(nz(rs, "sub_directories", 0));
    v.merge_data_files = toFlag(nz(rs, "merge_data_files", 0));
    v.search_priority = toShort(nz(rs, "search_priority", 0));
    v.parameter_set = localPathOf(required(rs, "parameter_set").toString());
    v.schedule_type = required(rs, "schedule_type").toString();
    const QVariant start = required(rs, "start_time");
    v.start_time = start.toDateTime();
    if (!v.start_time.isValid()) throw platform::Error(13, QStringLiteral("Type mismatch (column start_time)"));
    v.task_status = required(rs, "task_status").toString();
    v.task_label = required(rs, "task_label").toString();
    v.uID = toLong(required(rs, "task_UID"));
    v.peak_list_cache = peakListCache;
    v.auto_print = toFlag(nz(rs, "auto_print", 0));
    // Parameter sets are files and name no server of their own: every task uses BaseUrl.
    v.task_sorvex_url = BaseUrl;
    v.sorvex_user_id = rs.value(QStringLiteral("sorvex_user_id"));
    v.pre_task_command = nz(rs, "pre_task_command", QString()).toString();
    v.pre_task_wait = toFlag(nz(rs, "pre_task_wait", 0));
    v.pre_task_halt = toFlag(nz(rs, "pre_task_halt", 0));
    v.pre_search_command = nz(rs, "pre_search_command", QString()).toString();
    v.pre_search_wait = toFlag(nz(rs, "pre_search_wait", 0));
    v.pre_search_halt = toFlag(nz(rs, "pre_search_halt", 0));
    v.post_search_command = nz(rs, "post_search_command", QString()).toString();
    v.post_search_wait = toFlag(nz(rs, "post_search_wait", 0));
    v.post_search_halt = toFlag(nz(rs, "post_search_halt", 0));
    v.post_task_command = nz(rs, "post_task_command", QString()).toString();
    v.post_task_wait = toFlag(nz(rs, "post_task_wait", 0));
    v.post_task_halt = toFlag(nz(rs, "post_task_halt", 0));
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
    job.import_filter = v.import_filter;
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
