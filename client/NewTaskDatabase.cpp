#include "client/NewTaskDatabase.h"

#include "common/Secrets.h"
#include "clientcommon/TaskDbSchema.h"
#include "common/TaskDbTables.h"
#include "platform/AdoConnection.h"
#include "platform/AdoErrors.h"
#include "platform/Error.h"
#include "platform/MessageBox.h"
#include "platform/OleDbConnectionString.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlQuery>

namespace tavrel {

namespace {

const QString kTitle = QStringLiteral("Sorvex Tavrel");

void say(const QString& text) { platform::MsgBox(common::maskSecrets(text), platform::vbOKOnly, kTitle); }

bool askToCreate() {
    return platform::MsgBox(QStringLiteral("Create new database using the connection settings?"), platform::vbOKCancel,
                            kTitle) == platform::vbOK;
}

bool isFileProvider(const QString& provider) { return provider.contains(QStringLiteral("Microsoft.Jet.OLEDB")); }
bool isPostgres(const QString& provider) { return provider.compare(QStringLiteral("PostgreSQL"), Qt::CaseInsensitive) == 0; }

// A server that gave no answer, or one the user gave up waiting for, is not
// asked again about its databases: that would only be a second wait.
bool serverSilent(const platform::Error& e) {
    return e.number() == platform::adoerr::Timeout || e.number() == platform::adoerr::OperationCancelled;
}

bool holdsTaskTables(platform::AdoConnection& c) {
    return c.tableExists(common::kTasksTable) || c.tableExists(QStringLiteral("Task"));
}

// The string the new database is opened with for its tables.
QString creationConnection(const QString& connectionString, const platform::OleDbConnectionString& cs) {
    if (!isFileProvider(cs.provider())) return connectionString;
    return QStringLiteral("Provider=") + cs.provider() + QStringLiteral(";Data Source=") +
           platform::OleDbConnectionString::quoteValue(cs.dataSource()) + QStringLiteral("; Mode=Read|Write");
}

// The server's maintenance database, where a missing database can be asked
// about and made: reached exactly as the string says (its TLS and other client
// keys included), only the database differs.
QString maintenanceConnection(const platform::OleDbConnectionString& cs) {
    platform::OleDbConnectionString maintenance = cs;
    maintenance.setValue(QStringLiteral("Initial Catalog"), QStringLiteral("postgres"));
    return maintenance.toString();
}

// True only when the database's own server (or, for a file, the file system)
// answers that the database is not there. An unreachable server, a refused
// account or an unknown provider is no missing database: its error is shown.
bool databaseIsMissing(const QString& connectionString) {
    try {
        const auto cs = platform::OleDbConnectionString::parse(connectionString);
        if (isFileProvider(cs.provider())) return !QFileInfo::exists(cs.dataSource());
        if (!isPostgres(cs.provider())) return false;
        platform::AdoConnection server;
        server.open(maintenanceConnection(cs));
        QSqlQuery q = server.query(QStringLiteral("SELECT 1 FROM pg_database WHERE datname = ?"),
                                   {cs.value(QStringLiteral("Initial Catalog"))});
        return !q.next();
    } catch (const platform::Error&) {
        return false;
    }
}

bool createTables(const QString& connectionString) {
    platform::AdoConnection c;
    try {
        c.open(connectionString);
    } catch (const platform::Error& e) {
        say(e.description());
        return false;
    }
    const bool ok = modGlobal_CreateTaskDatabase(c);
    c.close();
    return ok;
}

}  // namespace

void createEmptyDatabase(const QString& connectionString) {
    const auto cs = platform::OleDbConnectionString::parse(connectionString);
    if (!isPostgres(cs.provider())) {
        platform::AdoConnection::createDatabase(connectionString);
        return;
    }
    const QString name = cs.value(QStringLiteral("Initial Catalog"));
    // The name goes into the statement itself (a name cannot be a parameter), so only a plain one is taken.
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]{0,62}$"));
    if (!plainName.match(name).hasMatch())
        throw platform::Error(platform::adoerr::InvalidArgument,
                              QStringLiteral("The database name \"%1\" must be letters, digits and \"_\" only").arg(name));
    platform::AdoConnection admin;
    admin.open(maintenanceConnection(cs));
    admin.execute(QStringLiteral("CREATE DATABASE \"%1\"").arg(name));
}

bool ensureTaskDatabase(const QString& connectionString) {
    // Twice at most: a database just made must open and hold its tables the second time.
    for (int attempt = 0; attempt < 2; ++attempt) {
        bool opened = false;
        {
            platform::AdoConnection c;
            try {
                c.open(connectionString);
                opened = true;
                if (holdsTaskTables(c)) return true;
            } catch (const platform::Error& e) {
                if (opened) return true;  // the tables are there; start-up's check tells the rest
                if (serverSilent(e) || !databaseIsMissing(connectionString)) {
                    say(QStringLiteral("Cannot connect to the task database with the connection settings.\r\n\r\n") +
                        e.description());
                    return false;
                }
            }
        }
        if (!askToCreate()) return false;
        platform::OleDbConnectionString cs;
        try {
            cs = platform::OleDbConnectionString::parse(connectionString);
        } catch (const platform::Error& e) {
            say(e.description());
            return false;
        }
        const QString providerPart = QStringLiteral("Provider=") + cs.provider() + QStringLiteral(";");
        if (!opened) {
            if (!isFileProvider(cs.provider()) && !isPostgres(cs.provider())) {
                say(QStringLiteral("Refer to the Tavrel documentation for instructions on") +
                    QStringLiteral(" how to create a new database for ") + providerPart);
                return false;
            }
            try {
                createEmptyDatabase(connectionString);
            } catch (const platform::Error& e) {
                say(QStringLiteral("Unable to create database using ") + providerPart + QStringLiteral("\r\n") +
                    QStringLiteral("Error message was ") + e.description());
                return false;
            }
        }
        if (!createTables(creationConnection(connectionString, cs))) return false;
    }
    say(QStringLiteral("The new task database cannot be opened with the connection settings."));
    return false;
}

}  // namespace tavrel
