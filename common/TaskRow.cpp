#include "common/TaskRow.h"

#include "platform/AdoRecordset.h"
#include "platform/Error.h"

#include <limits>

namespace common {

namespace {

constexpr long kInvalidUseOfNull = 94;
constexpr long kTypeMismatch = 13;
constexpr long kOverflow = 6;

qint64 toWhole(const QVariant& v) {
    if (v.isNull()) throw platform::Error(kInvalidUseOfNull, QStringLiteral("Invalid use of Null"));
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok) throw platform::Error(kTypeMismatch, QStringLiteral("Type mismatch"));
    if (d > 9.2e18 || d < -9.2e18) throw platform::Error(kOverflow, QStringLiteral("Overflow"));
    return static_cast<qint64>(d < 0 ? d - 0.5 : d + 0.5);
}

template <class Int>
Int fitted(qint64 n) {
    if (n < std::numeric_limits<Int>::min() || n > std::numeric_limits<Int>::max())
        throw platform::Error(kOverflow, QStringLiteral("Overflow"));
    return static_cast<Int>(n);
}

// Reads the columns of one row by name.
class Columns {
public:
    explicit Columns(const platform::AdoRecordset& rs) : rs_(rs) {}

    QVariant required(const char* column) const {
        const QVariant v = value(column);
        if (v.isNull())
            throw platform::Error(kInvalidUseOfNull,
                                  QStringLiteral("Invalid use of Null (column %1)").arg(QLatin1String(column)));
        return v;
    }
    QDateTime requiredDate(const char* column) const {
        const QDateTime d = required(column).toDateTime();
        if (!d.isValid())
            throw platform::Error(kTypeMismatch,
                                  QStringLiteral("Type mismatch (column %1)").arg(QLatin1String(column)));
        return d;
    }
    std::optional<QString> text(const char* column) const {
        const QVariant v = value(column);
        return v.isNull() ? std::nullopt : std::optional<QString>(v.toString());
    }
    std::optional<qint16> shortValue(const char* column) const {
        const QVariant v = value(column);
        return v.isNull() ? std::nullopt : std::optional<qint16>(toShort(v));
    }
    std::optional<qint32> longValue(const char* column) const {
        const QVariant v = value(column);
        return v.isNull() ? std::nullopt : std::optional<qint32>(toLong(v));
    }
    std::optional<qint64> bigValue(const char* column) const {
        const QVariant v = value(column);
        return v.isNull() ? std::nullopt : std::optional<qint64>(toWhole(v));
    }
    std::optional<QDateTime> date(const char* column) const {
        const QVariant v = value(column);
        if (v.isNull()) return std::nullopt;
        const QDateTime d = v.toDateTime();
        if (!d.isValid())
            throw platform::Error(kTypeMismatch,
                                  QStringLiteral("Type mismatch (column %1)").arg(QLatin1String(column)));
        return d;
    }

private:
    QVariant value(const char* column) const { return rs_.value(QString::fromLatin1(column)); }
    const platform::AdoRecordset& rs_;
};

// Sets the columns of one row by name; an empty optional stays Null.
class Assign {
public:
    explicit Assign(platform::AdoRecordset& rs) : rs_(rs) {}
    template <class T>
    void operator()(const char* column, const T& value) const {
        rs_.setValue(QString::fromLatin1(column), QVariant(value));  // a short goes in as an int
    }
    template <class T>
    void operator()(const char* column, const std::optional<T>& value) const {
        if (value) (*this)(column, *value);
    }

private:
    platform::AdoRecordset& rs_;
};

}  // namespace

void assignNewTaskRow(platform::AdoRecordset& rs, const TaskRow& r) {
    // In the order the client has always assigned them.
    const Assign set(rs);
    set("user_name", r.user_name);
    set("computer_name", r.computer_name);
    set("sorvex_user_id", r.sorvex_user_id);
    set("follow_up", r.follow_up);
    set("fu_interval", r.fu_interval);
    set("fu_number", r.fu_number);
    set("fu_task", r.fu_task);
    set("import_filter", r.import_filter);
    set("filter_options", r.filter_options);
    set("filter_fields", r.filter_fields);
    set("fu_discard", r.fu_discard);
    set("fu_move", r.fu_move);
    set("fu_repeat", r.fu_repeat);
    set("new_files_only", r.new_files_only);
    set("sub_directories", r.sub_directories);
    set("merge_data_files", r.merge_data_files);
    set("search_priority", r.search_priority);
    set("monitor_directory", r.monitor_directory);
    set("start_time", r.start_time);
    set("schedule_type", r.schedule_type);
    set("fu_score", r.fu_score);
    set("task_label", r.task_label);
    set("parameter_set", r.parameter_set);
    set("monitor_filename", r.monitor_filename);
    set("task_status", r.task_status);
    set("auto_print", r.auto_print);
    set("pre_task_command", r.pre_task_command);
    set("pre_task_wait", r.pre_task_wait);
    set("pre_task_halt", r.pre_task_halt);
    set("pre_search_command", r.pre_search_command);
    set("pre_search_wait", r.pre_search_wait);
    set("pre_search_halt", r.pre_search_halt);
    set("post_search_command", r.post_search_command);
    set("post_search_wait", r.post_search_wait);
    set("post_search_halt", r.post_search_halt);
    set("post_task_command", r.post_task_command);
    set("post_task_wait", r.post_task_wait);
    set("post_task_halt", r.post_task_halt);
}

void assignNewTaskFileRow(platform::AdoRecordset& rs, const TaskFileRow& r) {
    const Assign set(rs);
    set("task_UID", r.task_UID);
    set("next_action", r.next_action);
    set("file_name", r.file_name);
    set("file_comment", r.file_comment);
    set("file_size", r.file_size);
    set("size_checked", r.size_checked);
    set("intermediate", r.intermediate);
    set("sample_number", r.sample_number);
    set("sorvex_task_id", r.sorvex_task_id);
    set("peak_list", r.peak_list);
}

void assignNewResultRow(platform::AdoRecordset& rs, const ResultRow& r) {
    const Assign set(rs);
    set("task_UID", r.task_UID);
    set("accession", r.accession);
    set("hit_mass", r.hit_mass);
    set("hit_score", r.hit_score);
    set("title_text", r.title_text);
    set("seq_database", r.seq_database);
    set("input_data_file", r.input_data_file);
    set("result_url", r.result_url);
    set("submitted", r.submitted);
    set("returned", r.returned);
    set("result_comment", r.result_comment);
    set("auto_print", r.auto_print);
    set("quellmark_project", r.quellmark_project);
}

qint16 toShort(const QVariant& v) { return fitted<qint16>(toWhole(v)); }

qint32 toLong(const QVariant& v) { return fitted<qint32>(toWhole(v)); }

QString requiredText(const QVariant& v) {
    if (v.isNull()) throw platform::Error(kInvalidUseOfNull, QStringLiteral("Invalid use of Null"));
    return v.toString();
}

TaskRow readTaskRow(const platform::AdoRecordset& rs) {
    const Columns c(rs);
    TaskRow r;
    r.task_UID = toLong(c.required("task_UID"));
    r.task_label = c.required("task_label").toString();
    r.parameter_set = c.required("parameter_set").toString();
    r.import_filter = c.text("import_filter");
    r.filter_options = c.text("filter_options");
    r.schedule_type = c.required("schedule_type").toString();
    r.new_files_only = c.shortValue("new_files_only");
    r.start_time = c.requiredDate("start_time");
    r.monitor_directory = c.text("monitor_directory");
    r.monitor_filename = c.text("monitor_filename");
    r.follow_up = c.shortValue("follow_up");
    r.fu_score = c.longValue("fu_score");
    r.fu_repeat = c.shortValue("fu_repeat");
    r.fu_number = c.longValue("fu_number");
    r.fu_interval = c.text("fu_interval");
    r.fu_move = c.shortValue("fu_move");
    r.fu_discard = c.shortValue("fu_discard");
    r.fu_task = c.text("fu_task");
    r.task_status = c.required("task_status").toString();
    r.sub_directories = c.shortValue("sub_directories");
    r.user_name = c.text("user_name");
    r.computer_name = c.text("computer_name");
    r.auto_print = c.shortValue("auto_print");
    r.pre_task_command = c.text("pre_task_command");
    r.pre_task_wait = c.shortValue("pre_task_wait");
    r.pre_task_halt = c.shortValue("pre_task_halt");
    r.pre_search_command = c.text("pre_search_command");
    r.pre_search_wait = c.shortValue("pre_search_wait");
    r.pre_search_halt = c.shortValue("pre_search_halt");
    r.post_search_command = c.text("post_search_command");
    r.post_search_wait = c.shortValue("post_search_wait");
    r.post_search_halt = c.shortValue("post_search_halt");
    r.post_task_command = c.text("post_task_command");
    r.post_task_wait = c.shortValue("post_task_wait");
    r.post_task_halt = c.shortValue("post_task_halt");
    r.action_request = c.text("action_request");
    r.action_response = c.text("action_response");
    r.merge_data_files = c.shortValue("merge_data_files");
    r.search_priority = c.shortValue("search_priority");
    r.sorvex_user_id = c.longValue("sorvex_user_id");
    r.filter_fields = c.text("filter_fields");
    return r;
}

TaskFileRow readTaskFileRow(const platform::AdoRecordset& rs) {
    const Columns c(rs);
    TaskFileRow r;
    r.file_number = toLong(c.required("file_number"));
    r.task_UID = toLong(c.required("task_UID"));
    r.file_name = c.required("file_name").toString();
    r.next_action = c.requiredDate("next_action");
    r.file_comment = c.text("file_comment");
    r.file_size = c.bigValue("file_size");
    r.size_checked = c.date("size_checked");
    r.intermediate = c.text("intermediate");
    r.sample_number = c.longValue("sample_number");
    r.sorvex_task_id = c.text("sorvex_task_id");
    r.peak_list = c.text("peak_list");
    return r;
}

}  // namespace common
