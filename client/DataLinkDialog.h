#pragma once
// "Change ..." of the preferences' database page: a small dialog that builds
// a connection string for an SQLite file or a PostgreSQL database.
#include <QString>

class QWidget;

namespace tavrel {

// The new connection string, or "" when the user cancels. Starts from the
// values of `current` where it can read them; OK on a string of the kind
// shown answers `current` with only the fields the user changed rewritten,
// so every key the dialog does not show (sslmode, sslrootcert, ...) stays as
// written, in its place.
QString promptForConnection(QWidget* owner, const QString& current);

// The string the dialog builds from its fields.
QString sqliteConnectionString(const QString& file);
QString postgresConnectionString(const QString& hostAndPort, const QString& database, const QString& user,
                                 const QString& password);

}  // namespace tavrel
