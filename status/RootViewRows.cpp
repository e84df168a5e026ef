#include "status/StatusListRows.h"

#include "common/EventLogLine.h"
#include "common/TaskVocabulary.h"
#include "status/StatusNodes.h"
#include "status/TaskStates.h"
#include "platform/AdoConnection.h"

#include <QDateTime>
#include <QSqlQuery>

namespace tavrel {

namespace {

enum Col {
    cUid, cLabel, cStatus, cParameterSet, cImportFilter, cSchedule, cNewOnly, cSubDirs, cStart, cMonitorDir,
    cMonitorFile, cFollowUp, cScore, cRepeat, cNumber, cInterval, cDiscard, cMove, cFuTask, cAutoPrint,
    cRequest, cResponse,
};

const QString kRootColumns = QStringLiteral(
    "SELECT task_UID, task_label, task_status, parameter_set, import_filter, schedule_type, new_files_only, "
    "sub_directories, start_time, monitor_directory, monitor_filename, follow_up, fu_score, fu_repeat, fu_number, "
    "fu_interval, fu_discard, fu_move, fu_task, auto_print, action_request, action_response "
    "FROM Sorvex_Tavrel_Tasks ");

ListCell text(const QString& t) { return {t, QVariant(), false, QString()}; }
ListCell number(const QVariant& v) { return {QString::number(v.toLongLong()), v.toLongLong(), false, QString()}; }

QString followUpText(int followUp) {
    if (followUp == 1) return QStringLiteral("Score <");
    if (followUp == 2) return QStringLiteral("P(rand) > 1 in");
    return QStringLiteral("No follow-up");
}

// A watched folder and its file pattern, joined as its own kind of path joins them.
QString monitorPath(const QVariant& folder, const QVariant& pattern) {
    const QString dir = folder.toString();
    const QString file = pattern.isNull() ? QStringLiteral("*.*") : pattern.toString();
    const QChar separator = dir.startsWith(QLatin1Char('/')) ? QLatin1Char('/') : QLatin1Char('\\');
    return dir + separator + file;
}

ListRow rootRow(const QSqlQuery& q) {
    const auto v = [&q](int c) { return q.value(c); };
    const qint32 uid = v(cUid).toInt();
    const QString status = v(cStatus).toString();
    const QString schedule = v(cSchedule).toString();
    const bool monitor = schedule == common::word(common::ScheduleType::Monitor);
    const int followUp = v(cFollowUp).toInt();
    const bool fu = followUp > 0;
    const bool repeat = fu && v(cRepeat).toInt() != 0;

    ListRow row;
    row.key = taskNodeKey(uid);
    row.icon = TaskTreeIcon(status, schedule, isPendingExchange(v(cRequest).toString(), v(cResponse).toString()));
    QList<ListCell>& c = row.cells;
    c.reserve(18);
    c << text(status) << ListCell{taskNodeText(uid, v(cLabel).toString()), uid, false, QString()}
      << text(fileNamePart(v(cParameterSet).toString()))
      << text(v(cImportFilter).isNull() ? common::NoneChosen : v(cImportFilter).toString()) << text(schedule);
    c << text(monitor && !v(cNewOnly).isNull() ? flagText(v(cNewOnly)) : QString())
      << text(monitor && !v(cSubDirs).isNull() ? flagText(v(cSubDirs)) : QString());
    if (schedule == common::word(common::ScheduleType::Timed) && !v(cStart).isNull())
        c << ListCell{listDateTimeText(v(cStart)), v(cStart).toDateTime(), false, QString()};
    else c << text(QString());
    c << text(monitor ? monitorPath(v(cMonitorDir), v(cMonitorFile)) : QString()) << text(followUpText(followUp));
    c << (fu && !v(cScore).isNull() ? number(v(cScore)) : text(QString()))
      << text(fu && !v(cRepeat).isNull() ? flagText(v(cRepeat)) : QString())
      << (repeat && !v(cNumber).isNull() ? number(v(cNumber)) : text(QString()))
      << text(repeat && !v(cInterval).isNull() ? v(cInterval).toString() : QString())
      << text(fu && !v(cDiscard).isNull() ? flagText(v(cDiscard)) : QString())
      << text(fu && !v(cMove).isNull() ? flagText(v(cMove)) : QString());
    const bool move = fu && v(cMove).toInt() != 0;
    c << text(move ? (v(cFuTask).isNull() ? common::NoneChosen : v(cFuTask).toString()) : QString())
      << text(flagText(v(cAutoPrint).isNull() ? QVariant(0) : v(cAutoPrint)));
    return row;
}

}  // namespace

QString listDateTimeText(const QVariant& value) {
    const QDateTime when = value.toDateTime();
    if (!when.isValid()) return value.toString();
    return common::eventDateText(when.date()) + QLatin1Char(' ') + common::eventTimeText(when.time());
}

QString flagText(const QVariant& value) {
    return value.toLongLong() != 0 ? QStringLiteral("True") : QStringLiteral("False");
}

QList<ListRow> readRootViewRows(platform::AdoConnection& connection) {
    QSqlQuery q = connection.query(kRootColumns + QStringLiteral("ORDER BY task_UID"), {}, kStatusQueryTimeoutSeconds);
    QList<ListRow> rows;
    while (q.next())
        if (isShownStatus(q.value(cStatus).toString())) rows.append(rootRow(q));
    return rows;
}

QList<ListRow> readRootViewRows(platform::AdoConnection& connection, const QList<qint32>& taskUids) {
    QList<ListRow> rows;
    forEachKeySlice(taskUids, [&](const QString& marks, const QVariantList& values) {
        QSqlQuery q = connection.query(kRootColumns + QStringLiteral("WHERE task_UID IN (") + marks +
                                           QStringLiteral(") ORDER BY task_UID"),
                                       values, kStatusQueryTimeoutSeconds);
        while (q.next())
            if (isShownStatus(q.value(cStatus).toString())) rows.append(rootRow(q));
    });
    return rows;
}

}  // namespace tavrel
