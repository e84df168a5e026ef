#pragma once
// The task database as both programs see it: its three tables, their columns
// in creation order, and the commands that give the next free key.
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace platform {
class AdoConnection;
}

namespace common {

inline const QString kTasksTable = QStringLiteral("Sorvex_Tavrel_Tasks");
inline const QString kFilesTable = QStringLiteral("Sorvex_Tavrel_Files");
inline const QString kResultsTable = QStringLiteral("Sorvex_Tavrel_Results");

inline const QString kNextTaskKeySql = QStringLiteral("SELECT MAX(task_UID) AS maxUID FROM Sorvex_Tavrel_Tasks");
inline const QString kNextResultKeySql =
    QStringLiteral("SELECT MAX(result_number) AS maxUID FROM Sorvex_Tavrel_Results");
inline const QString kNextFileKeySql = QStringLiteral("SELECT MAX(file_number) AS maxUID FROM Sorvex_Tavrel_Files");

// The date the database stores for the number 0 (its first home counted
// dates from it): a file row whose next_action is not later is done.
inline QDateTime jetZeroDate() { return QDateTime(QDate(1899, 12, 30), QTime(0, 0)); }

// Column types of the task database, named as its first home named them.
enum class ColumnType {
    Long,      // 32-bit integer
    Short,     // 16-bit integer
    Text,      // at most `length` characters
    Memo,      // long text
    DateTime,  // local date and time
    BigLong,   // 64-bit integer: file sizes of 4 GiB and more must not wrap
};

struct ColumnDef {
    QString name;
    ColumnType type;
    int length = 0;  // Text only
    bool notNull = false;
};

struct TableDef {
    QString name;
    QString keyConstraint;  // the named primary key on the first column
    QList<ColumnDef> columns;
};

// Indexes beyond the primary keys, each on a column by which the programs
// read a few rows of a table that grows with the lab's history: a task's
// files and results, the results still to print, the requests of the poll.
// An index changes no row and no answer.
struct IndexDef {
    QString name;
    QString table;
    QString column;
};

// Files, Results, Tasks: the order in which they are created.
const QList<TableDef>& taskDbTables();
// In the order of their tables.
const QList<IndexDef>& taskDbIndexes();
QString createIndexSql(const IndexDef& index);
const TableDef& taskDbTable(const QString& name);  // case-insensitive; throws on an unknown name

// The most characters the column holds: a Text column's length, no limit for
// the others. Throws platform::Error 3265 for a column the table lacks.
int columnLength(const QString& table, const QString& column);
// The text cut to the column's length, for a value whose tail may be lost
// (a comment, a title) rather than refused.
QString fitColumn(const QString& table, const QString& column, const QString& text);

// The column's type in the connection's engine ("TEXT(255)" / "VARCHAR(255)" ...).
QString sqlType(const ColumnDef& column, const platform::AdoConnection& connection);
// One statement that makes the table with every column, key and constraint.
QString createTableSql(const TableDef& table, const platform::AdoConnection& connection);
// The same for PostgreSQL (true) or SQLite (false), without a connection.
QString sqlType(const ColumnDef& column, bool postgres);
QString createTableSql(const TableDef& table, bool postgres);
// The table's column definitions of that statement, one per column.
QStringList columnDefinitionsSql(const TableDef& table, bool postgres);

// A condition on a computer-name column that ignores letter case on every
// engine (names were compared without case by the first task database); bind
// the computer name to its one "?".
inline QString sameComputerSql(const QString& column) {
    return QStringLiteral("UPPER(") + column + QStringLiteral(") = UPPER(?)");
}

}  // namespace common
