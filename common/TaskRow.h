#pragma once
// A task row, a file row and a result row as the task database stores them,
// their readers and writers. The client writes task and file rows when it
// submits a task and reads them back to show or clone it; the service reads
// them when it starts or recovers a task, and writes the file rows a task
// finds or hands on and the result rows of its searches. Columns the schema
// lets be Null are optional; a required column that is Null, or a value that
// does not fit its column's type, is an error.
#include <QDateTime>
#include <QString>
#include <QVariant>

#include <optional>

namespace platform {
class AdoRecordset;
}

namespace common {

// One row of Sorvex_Tavrel_Tasks (columns in creation order).
struct TaskRow {
    qint32 task_UID = 0;
    QString task_label;
    QString parameter_set;  // UNC form
    std::optional<QString> import_filter;
    std::optional<QString> filter_options;
    QString schedule_type;
    std::optional<qint16> new_files_only;
    QDateTime start_time;
    std::optional<QString> monitor_directory;  // UNC form
    std::optional<QString> monitor_filename;
    std::optional<qint16> follow_up;
    std::optional<qint32> fu_score;
    std::optional<qint16> fu_repeat;
    std::optional<qint32> fu_number;
    std::optional<QString> fu_interval;
    std::optional<qint16> fu_move;
    std::optional<qint16> fu_discard;
    std::optional<QString> fu_task;
    QString task_status;
    std::optional<qint16> sub_directories;
    std::optional<QString> user_name;
    std::optional<QString> computer_name;
    std::optional<qint16> auto_print;
    std::optional<QString> pre_task_command;
    std::optional<qint16> pre_task_wait, pre_task_halt;
    std::optional<QString> pre_search_command;
    std::optional<qint16> pre_search_wait, pre_search_halt;
    std::optional<QString> post_search_command;
    std::optional<qint16> post_search_wait, post_search_halt;
    std::optional<QString> post_task_command;
    std::optional<qint16> post_task_wait, post_task_halt;
    std::optional<QString> action_request;
    std::optional<QString> action_response;
    std::optional<qint16> merge_data_files;
    std::optional<qint16> search_priority;
    std::optional<qint32> sorvex_user_id;
    std::optional<QString> filter_fields;
    bool operator==(const TaskRow&) const = default;
};

// One row of Sorvex_Tavrel_Files.
struct TaskFileRow {
    qint32 file_number = 0;
    qint32 task_UID = 0;
    QString file_name;  // UNC form, or a data browser's descriptor as listed
    QDateTime next_action;  // jetZeroDate(): done
    std::optional<QString> file_comment;
    std::optional<qint64> file_size;
    std::optional<QDateTime> size_checked;
    std::optional<QString> intermediate;
    std::optional<qint32> sample_number;
    std::optional<QString> sorvex_task_id;
    std::optional<QString> peak_list;
    bool operator==(const TaskFileRow&) const = default;
};

// One row of Sorvex_Tavrel_Results.
struct ResultRow {
    qint32 result_number = 0;
    qint32 task_UID = 0;
    std::optional<QString> accession;
    std::optional<qint32> hit_mass;
    std::optional<qint32> hit_score;
    std::optional<QString> title_text;
    std::optional<QString> seq_database;
    QString input_data_file;  // UNC form
    std::optional<QString> result_url;
    QDateTime submitted;
    QDateTime returned;
    std::optional<QString> result_comment;
    std::optional<qint16> auto_print;
    std::optional<QString> quellmark_project;  // UNC form
    bool operator==(const ResultRow&) const = default;
};

// The current row of a recordset over the table. Throws platform::Error: 94
// "Invalid use of Null (column <name>)" for a required column, 13 "Type
// mismatch" for a value that is no number or date, 6 "Overflow" for a number
// beyond its column's type.
TaskRow readTaskRow(const platform::AdoRecordset& rs);
TaskFileRow readTaskFileRow(const platform::AdoRecordset& rs);

// The writing side, for the one place that creates task rows (the client's
// Run) and the places that add file and result rows. On a row being added (rs.addNew()),
// sets every column of the row but its key, which the new-key routine
// assigns as it stores the row, and but the request pair action_request /
// action_response, which only the request itself writes. Empty optional
// values are left Null.
void assignNewTaskRow(platform::AdoRecordset& rs, const TaskRow& row);
void assignNewTaskFileRow(platform::AdoRecordset& rs, const TaskFileRow& row);
void assignNewResultRow(platform::AdoRecordset& rs, const ResultRow& row);

// The conversions the readers apply to one value, for code that reads a
// single column. Numbers round half away from zero, as the database does when
// it stores a fraction in a whole-number column.
qint16 toShort(const QVariant& v);
qint32 toLong(const QVariant& v);
QString requiredText(const QVariant& v);

}  // namespace common
