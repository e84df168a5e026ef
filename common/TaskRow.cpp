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

}  // namespace

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
