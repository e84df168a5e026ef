#include "common/TaskDbTables.h"

#include "platform/AdoConnection.h"
#include "platform/AdoErrors.h"
#include "platform/Error.h"

#include <QStringList>

#include <limits>

namespace common {

namespace {

ColumnDef lng(const char* n, bool notNull = false) { return {QString::fromLatin1(n), ColumnType::Long, 0, notNull}; }
ColumnDef sht(const char* n) { return {QString::fromLatin1(n), ColumnType::Short, 0, false}; }
ColumnDef txt(const char* n, int len, bool notNull = false) {
    return {QString::fromLatin1(n), ColumnType::Text, len, notNull};
}
ColumnDef memo(const char* n) { return {QString::fromLatin1(n), ColumnType::Memo, 0, false}; }
ColumnDef when(const char* n, bool notNull = false) {
    return {QString::fromLatin1(n), ColumnType::DateTime, 0, notNull};
}

QList<TableDef> makeTables() {
    TableDef files{kFilesTable, QStringLiteral("file_pri_key"),
                   {lng("file_number", true), lng("task_UID", true), txt("file_name", 255, true),
                    when("next_action", true), txt("file_comment", 255),
                    {QStringLiteral("file_size"), ColumnType::BigLong, 0, false}, when("size_checked"),
                    memo("intermediate"), lng("sample_number"), txt("sorvex_task_id", 32), txt("peak_list", 255)}};
    TableDef results{kResultsTable, QStringLiteral("result_pri_key"),
                     {lng("result_number", true), lng("task_UID", true), txt("accession", 255), lng("hit_mass"),
                      lng("hit_score"), txt("title_text", 255), txt("seq_database", 255),
                      txt("input_data_file", 255, true), txt("result_url", 255), when("submitted", true),
                      when("returned", true), txt("result_comment", 255), sht("auto_print"),
                      txt("quellmark_project", 255)}};
    TableDef tasks{kTasksTable, QStringLiteral("task_pri_key"),
                   {lng("task_UID", true), txt("task_label", 255, true), txt("parameter_set", 255, true),
                    txt("import_filter", 255), txt("filter_options", 255), txt("schedule_type", 20, true),
                    sht("new_files_only"), when("start_time", true), txt("monitor_directory", 255),
                    txt("monitor_filename", 255), sht("follow_up"), lng("fu_score"), sht("fu_repeat"),
                    lng("fu_number"), txt("fu_interval", 20), sht("fu_move"), sht("fu_discard"),
                    txt("fu_task", 255), txt("task_status", 20, true), sht("sub_directories"),
                    txt("user_name", 64), txt("computer_name", 64), sht("auto_print"), memo("pre_task_command"),
                    sht("pre_task_wait"), sht("pre_task_halt"), memo("pre_search_command"), sht("pre_search_wait"),
                    sht("pre_search_halt"), memo("post_search_command"), sht("post_search_wait"),
                    sht("post_search_halt"), memo("post_task_command"), sht("post_task_wait"),
                    sht("post_task_halt"), txt("action_request", 32), txt("action_response", 255),
                    sht("merge_data_files"), sht("search_priority"), lng("sorvex_user_id"), memo("filter_fields")}};
    return {files, results, tasks};
}

}  // namespace

const QList<TableDef>& taskDbTables() {
    static const QList<TableDef> tables = makeTables();
    return tables;
}

const QList<IndexDef>& taskDbIndexes() {
    static const QList<IndexDef> indexes = {
        {QStringLiteral("file_task_index"), kFilesTable, QStringLiteral("task_UID")},
        {QStringLiteral("result_task_index"), kResultsTable, QStringLiteral("task_UID")},
        {QStringLiteral("result_print_index"), kResultsTable, QStringLiteral("auto_print")},
        {QStringLiteral("task_request_index"), kTasksTable, QStringLiteral("action_request")},
    };
    return indexes;
}

QString createIndexSql(const IndexDef& index) {
    return QStringLiteral("CREATE INDEX %1 ON %2 (%3)").arg(index.name, index.table, index.column);
}

const TableDef& taskDbTable(const QString& name) {
    for (const TableDef& t : taskDbTables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0) return t;
    throw platform::Error(platform::adoerr::TableNotFound, QStringLiteral("Table '%1' not found").arg(name));
}

int columnLength(const QString& table, const QString& column) {
    const TableDef& t = taskDbTable(table);
    for (const ColumnDef& c : t.columns)
        if (c.name == column) return c.type == ColumnType::Text ? c.length : std::numeric_limits<int>::max();
    throw platform::Error(platform::adoerr::ItemNotFound,
                          QStringLiteral("%1 has no column %2").arg(t.name, column));
}

QString fitColumn(const QString& table, const QString& column, const QString& text) {
    return text.left(columnLength(table, column));
}

QString sqlType(const ColumnDef& column, const platform::AdoConnection& connection) {
    return sqlType(column, connection.engine() == platform::AdoConnection::Engine::Postgres);
}

QString sqlType(const ColumnDef& column, bool pg) {
    switch (column.type) {
        case ColumnType::Long: return QStringLiteral("INTEGER");
        case ColumnType::Short: return QStringLiteral("SMALLINT");
        case ColumnType::Text:
            return (pg ? QStringLiteral("VARCHAR(%1)") : QStringLiteral("TEXT(%1)")).arg(column.length);
        case ColumnType::Memo: return QStringLiteral("TEXT");
        case ColumnType::DateTime: return pg ? QStringLiteral("TIMESTAMP") : QStringLiteral("DATETIME");
        case ColumnType::BigLong: return QStringLiteral("BIGINT");
    }
    return QString();
}

QString createTableSql(const TableDef& table, const platform::AdoConnection& connection) {
    return createTableSql(table, connection.engine() == platform::AdoConnection::Engine::Postgres);
}

QStringList columnDefinitionsSql(const TableDef& table, bool postgres) {
    QStringList parts;
    for (qsizetype i = 0; i < table.columns.size(); ++i) {
        const ColumnDef& c = table.columns[i];
        QString part = c.name + QLatin1Char(' ') + sqlType(c, postgres);
        if (c.notNull) part += QStringLiteral(" NOT NULL");
        if (i == 0) part += QStringLiteral(" CONSTRAINT ") + table.keyConstraint + QStringLiteral(" PRIMARY KEY");
        parts.append(part);
    }
    return parts;
}

QString createTableSql(const TableDef& table, bool postgres) {
    return QStringLiteral("CREATE TABLE ") + table.name + QStringLiteral(" (") +
           columnDefinitionsSql(table, postgres).join(QStringLiteral(", ")) + QLatin1Char(')');
}

}  // namespace common
