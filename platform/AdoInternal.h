#pragma once
// What the connection's own files share; no caller outside platform/Ado*.
#include "platform/AdoErrors.h"
#include "platform/Error.h"

#include <QString>

namespace platform {

inline bool isFileProvider(const QString& provider) {
    return provider.startsWith(QStringLiteral("Microsoft.Jet.OLEDB"), Qt::CaseInsensitive);
}

inline bool isPostgresProvider(const QString& provider) {
    return provider.compare(QStringLiteral("PostgreSQL"), Qt::CaseInsensitive) == 0;
}

inline Error closedError() {
    return Error(adoerr::ObjectClosed, QStringLiteral("Operation is not allowed when the object is closed."));
}

// A name for the driver's connection that no other connection of the program has.
QString newConnectionName();

class OleDbConnectionString;

// The bound of a server's statement that has no time-out of its own.
inline constexpr int kLongestStatementSeconds = 3600;

// The driver's option text for a server connection: "key='value'" pairs,
// quoted as libpq reads them. The driver splits its options at ";", so a
// value holding one is refused.
QString postgresOptions(const OleDbConnectionString& cs);
// How long libpq waits for the server to answer a connection attempt.
int connectTimeoutOf(const OleDbConnectionString& cs);

}  // namespace platform
