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

}  // namespace platform
