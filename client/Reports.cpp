#include "client/Reports.h"

#include "clientcommon/ClientClock.h"
#include "common/Secrets.h"
#include "platform/AdoConnection.h"
#include "platform/AdoRecordset.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTextDocument>

namespace tavrel {

namespace {

struct Field {
    const char* column;
    const char* label;  // "" for a field shown in the band's heading
};

const Field kTaskFields[] = {
    {"parameter_set", "Parameter set:"},      {"import_filter", "Import filter:"},
    {"filter_options", "Filter otions:"},     {"schedule_type", "Schedule Type:"},
    {"new_files_only", "New files only:"},    {"start_time", "Start time:"},
    {"sub_directories", "Sub-directories:"},  {"monitor_directory", "Monitor path:"},
    {"monitor_filename", "Wild card:"},       {"user_name", "Owner:"},
    {"auto_print", "Auto print:"},            {"follow_up", "Follow up:"},
    {"fu_score", "Threshold:"},               {"fu_repeat", "Repeat:"},
    {"fu_number", "Number:"},                 {"fu_interval", "Interval:"},
    {"fu_task", "Task:"},                     {"fu_move", "Move:"},
    {"fu_discard", "Discard:"},
};

const Field kResultFields[] = {
    {"accession", "Accession:"},     {"hit_mass", "Mass:"},         {"hit_score", "Score:"},
    {"title_text", "Description:"},  {"seq_database", "Database:"}, {"result_comment", "Title:"},
    {"submitted", "Submitted:"},     {"returned", "Returned:"},     {"result_url", "URL:"},
};

QString shown(const QVariant& value) {
    if (!value.isValid() || value.isNull()) return QString();
    if (value.metaType().id() == QMetaType::QDateTime)
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    // A date the engine hands over as text.
    if (value.metaType().id() == QMetaType::QString) {
        static const QRegularExpression iso(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d"));
        const QString text = value.toString();
        if (iso.match(text).hasMatch()) {
            const QDateTime when = QDateTime::fromString(text, Qt::ISODateWithMs);
            if (when.isValid()) return when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        }
    }
    // A command or an address may carry a password; a report never shows one.
    return common::maskSecrets(value.toString()).toHtmlEscaped();
}

QString valueOf(const platform::AdoRecordset& rs, const char* column) {
    const QString name = QLatin1String(column);
    return rs.hasField(name) ? shown(rs.value(name)) : QString();
}

QString row(const QString& label, const QString& value, const QString& note = QString()) {
    return QStringLiteral("<tr><td class='label' width='22%'>%1</td><td>%2%3</td></tr>")
        .arg(label.toHtmlEscaped(), value,
             note.isEmpty() ? QString() : QStringLiteral(" <i>%1</i>").arg(note.toHtmlEscaped()));
}

QString page(const QString& title, const QString& bands) {
    return QStringLiteral(
               "<html><head><style>"
               "body { font-family: Arial; font-size: 9pt; }"
               "h1 { font-family: 'Arial Black', Arial; font-size: 16pt; }"
               "td.label { color: #333333; padding-right: 8px; white-space: nowrap; }"
               "th { text-align: left; background: #dde4ec; padding: 2px 4px; }"
               "</style></head><body><h1>%1</h1><p>Printed %2</p>%3</body></html>")
        .arg(title.toHtmlEscaped(), clientNow().toString(QStringLiteral("yyyy-MM-dd HH:mm")), bands);
}

std::unique_ptr<QTextDocument> document(const QString& title, const QString& html) {
    auto doc = std::make_unique<QTextDocument>();
    doc->setHtml(html);
    // After the page: setHtml takes the title from the page's head, which has none.
    doc->setMetaInformation(QTextDocument::DocumentTitle, title);
    return doc;
}

QString taskBand(const platform::AdoRecordset& rs) {
    QString band = QStringLiteral("<table width='100%' cellspacing='0' cellpadding='2'><tr><th colspan='2'>%1 "
                                  "&nbsp; %2 &nbsp; %3 &nbsp; %4</th></tr>")
                       .arg(valueOf(rs, "task_UID"), valueOf(rs, "task_label"), valueOf(rs, "task_status"),
                            valueOf(rs, "computer_name"));
    for (const Field& f : kTaskFields) {
        const QString note = QLatin1String(f.column) == QLatin1String("follow_up")
                                 ? QStringLiteral("(0: No follow-up; 1: Score < threshold, 2: P(rand) > 1 in threshold)")
                                 : QString();
        band += row(QLatin1String(f.label), valueOf(rs, f.column), note);
    }
    band += QStringLiteral("</table><p><b>Actions:</b></p><table cellspacing='0' cellpadding='2'>"
                           "<tr><td></td><th>Command:</th><th>Wait:</th><th>Halt:</th></tr>");
    const char* const stages[][2] = {
        {"Pre-task:", "pre_task"}, {"Pre-search:", "pre_search"}, {"Post-search:", "post_search"}, {"Post-task:", "post_task"}};
    for (const auto& stage : stages) {
        const QString prefix = QLatin1String(stage[1]);
        band += QStringLiteral("<tr><td class='label'>%1</td><td>%2</td><td>%3</td><td>%4</td></tr>")
                    .arg(QLatin1String(stage[0]), valueOf(rs, (prefix + QStringLiteral("_command")).toLatin1().constData()),
                         valueOf(rs, (prefix + QStringLiteral("_wait")).toLatin1().constData()),
                         valueOf(rs, (prefix + QStringLiteral("_halt")).toLatin1().constData()));
    }
    return band + QStringLiteral("</table><hr/>");
}

}  // namespace

std::unique_ptr<QTextDocument> buildTasksReport(platform::AdoRecordset& tasks) {
    QString bands;
    if (tasks.recordCount() > 0) {
        for (tasks.moveFirst(); !tasks.eof(); tasks.moveNext()) bands += taskBand(tasks);
        tasks.moveFirst();
    }
    const QString title = QStringLiteral("Sorvex Tavrel Tasks");
    return document(title, page(title, bands));
}

std::unique_ptr<QTextDocument> buildTasksReport(platform::AdoConnection& connection) {
    platform::AdoRecordset tasks;
    tasks.openQuery(connection, QStringLiteral("select * FROM Sorvex_Tavrel_Tasks ORDER BY task_UID"), {}, QString(), 15);
    return buildTasksReport(tasks);
}

std::unique_ptr<QTextDocument> buildResultsReport(platform::AdoConnection& connection, long taskUid) {
    platform::AdoRecordset results;
    results.openQuery(connection,
                      QStringLiteral("select * FROM Sorvex_Tavrel_Results WHERE task_UID = ? ORDER BY result_number"),
                      {QVariant::fromValue<qint32>(static_cast<qint32>(taskUid))}, QString(), 15);
    QString bands;
    for (; !results.eof(); results.moveNext()) {
        bands += QStringLiteral("<table width='100%' cellspacing='0' cellpadding='2'><tr><th colspan='2'>%1</th></tr>")
                     .arg(valueOf(results, "input_data_file"));
        for (const Field& f : kResultFields) bands += row(QLatin1String(f.label), valueOf(results, f.column));
        bands += QStringLiteral("</table><hr/>");
    }
    const QString title = QStringLiteral("Sorvex Tavrel Results");
    return document(title, page(title, bands));
}

}  // namespace tavrel
