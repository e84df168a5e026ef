#pragma once
// The task database a connection string names: it opens and holds the
// tables, or, when the user agrees, it is made (an SQLite file, or a
// PostgreSQL database on its server) and given the task tables.
#include <QString>

namespace tavrel {

// True when the database opens and holds the task tables (of this version or
// an older one that start-up can bring up to date). Otherwise the user is
// asked "Create new database using the connection settings?"; every refusal
// and failure is shown and answers false. A database that opens but holds no
// task tables at all (one an administrator has just made) gets them after
// the same question.
bool ensureTaskDatabase(const QString& connectionString);

// Makes the empty database the string names: the SQLite file, or the
// PostgreSQL database ("Initial Catalog") through the server's maintenance
// database. Throws platform::Error; other providers are refused.
void createEmptyDatabase(const QString& connectionString);

}  // namespace tavrel
