#pragma once
// What the client tells a user whose task database does not open: which
// database it tried (never the password), why in words, and what to do.
#include <QString>

namespace platform {
class Error;
}

namespace common {

// The title of the preferences dialog's page that holds the connection settings.
inline const QString AdoConnectionPageTitle = QStringLiteral("ADO connection");

// Lines for the message of a failed open of `connectionString`: the
// database, the reason in words when the engine's text gives one, and the
// way to mend it (the preferences page; for a server, the README's section).
QString taskDatabaseProblemAdvice(const platform::Error& failure, const QString& connectionString);

}  // namespace common
