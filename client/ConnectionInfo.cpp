#include "client/ConnectionInfo.h"

#include "common/Secrets.h"
#include "platform/AdoConnection.h"
#include "platform/Error.h"
#include "platform/OleDbConnectionString.h"

#include <QSqlDatabase>
#include <QSqlDriver>

namespace tavrel {

namespace {

bool hidden(const QString& name) {
    const QString n = name.toLower();
    return n == QLatin1String("password") || n == QLatin1String("user name") || n == QLatin1String("user id");
}

}  // namespace

QList<ConnectionInfoLine> connectionInfoLines(const platform::AdoConnection& connection) {
    QList<ConnectionInfoLine> lines;
    lines.append({QStringLiteral("ADO Version: Qt Sql ") + QString::fromLatin1(qVersion()), true});
    QList<QPair<QString, QString>> properties;
    try {
        const auto cs = platform::OleDbConnectionString::parse(connection.connectionString());
        for (const char* key : {"Provider", "Data Source", "Initial Catalog", "User ID", "User Name", "Password",
                                "Mode", "Persist Security Info"})
            if (cs.contains(QLatin1String(key)))
                properties.append({QLatin1String(key), cs.value(QLatin1String(key))});
    } catch (const platform::Error&) {
    }
    if (connection.isOpen()) {
        const QSqlDatabase db = connection.database();
        properties.append({QStringLiteral("DBMS Name"), db.driverName() == QLatin1String("QPSQL")
                                                            ? QStringLiteral("PostgreSQL")
                                                            : QStringLiteral("SQLite")});
        properties.append({QStringLiteral("Qt Sql Driver"), db.driverName()});
        if (!db.hostName().isEmpty()) properties.append({QStringLiteral("Server"), db.hostName()});
        properties.append({QStringLiteral("State"), QStringLiteral("Open")});
    } else {
        properties.append({QStringLiteral("State"), QStringLiteral("Closed")});
    }
    for (const auto& [name, value] : properties)
        lines.append({name + QStringLiteral(": ") + (hidden(name) ? value : common::maskSecrets(value)), !hidden(name)});
    return lines;
}

}  // namespace tavrel
