#include "common/WiffLibraryVersion.h"

#include "common/ServerReplies.h"

#include <QStringList>

namespace common {

bool wiffLibraryExportsMs(const QString& version) {
    if (leadingNumber(version) > 1.6) return true;
    const QStringList parts = version.split(QLatin1Char('b'));
    return parts.size() >= 2 && leadingNumber(parts[0]) == 1.6 && leadingNumber(parts[1]) > 9;
}

}  // namespace common
