#include "common/TaskDbScript.h"

#include "common/TaskDbTables.h"

#include <QStringList>

namespace common {

QString taskDbScriptFileName(bool postgres) {
    return postgres ? QStringLiteral("tavrel-tables-postgresql.sql") : QStringLiteral("tavrel-tables-sqlite.sql");
}

QString taskDbScript(bool postgres) {
    QString out = postgres ? QStringLiteral("-- The tables of a Tavrel task database on PostgreSQL.\n"
                                            "-- Run once, as the database's owner, in one transaction:\n"
                                            "--   psql --single-transaction -v ON_ERROR_STOP=1 -f %1 DATABASE\n")
                           : QStringLiteral("-- The tables of a Tavrel task database in a SQLite file.\n"
                                            "--   sqlite3 TaskDB.mdb < %1\n");
    out = out.arg(taskDbScriptFileName(postgres));
    out += QStringLiteral("-- Made by task-db-sql from the programs' own table definitions; do not edit.\n");
    for (const TableDef& table : taskDbTables()) {
        out += QStringLiteral("\nCREATE TABLE ") + table.name + QStringLiteral(" (\n    ") +
               columnDefinitionsSql(table, postgres).join(QStringLiteral(",\n    ")) + QStringLiteral("\n);\n");
        for (const IndexDef& index : taskDbIndexes())
            if (index.table == table.name) out += createIndexSql(index) + QStringLiteral(";\n");
    }
    return out;
}

}  // namespace common
