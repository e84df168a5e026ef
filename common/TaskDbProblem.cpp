#include "common/TaskDbProblem.h"

#include "common/TaskDbConnection.h"
#include "platform/AdoErrors.h"
#include "platform/Error.h"
#include "platform/OleDbConnectionString.h"

#include <QStringList>

namespace common {

namespace {

struct Reason {
    const char* engineText;  // a part of the engine's own text, any case
    const char* inWords;
};

// The engines' texts for the failures a lab meets, in the order they are
// looked for.
const Reason kReasons[] = {
    {"Connection refused", "Nothing answers at that address: is the database server running, and is the port right?"},
    {"could not translate host name", "The server's name is not known on this computer: is it spelt right?"},
    {"Name or service not known", "The server's name is not known on this computer: is it spelt right?"},
    {"No route to host", "This computer cannot reach the server's network."},
    {"Network is unreachable", "This computer cannot reach the server's network."},
    {"password authentication failed", "The server refused the user name or the password."},
    {"no pg_hba.conf entry", "The server does not let this computer or this user in (its pg_hba.conf)."},
    {"does not exist", "The server has no database or user of that name."},
    {"SSL", "The TLS settings of the connection string do not match the server's."},
    {"certificate", "The TLS settings of the connection string do not match the server's."},
    {"Could not find file", "The database file is not there."},
};

QString reasonInWords(const platform::Error& failure) {
    if (failure.number() == platform::adoerr::OperationCancelled) return QStringLiteral("The wait was cancelled.");
    if (failure.number() == platform::adoerr::Timeout)
        return QStringLiteral("The server did not answer in time: is it running, and does this computer reach it?");
    for (const Reason& r : kReasons)
        if (failure.description().contains(QLatin1String(r.engineText), Qt::CaseInsensitive))
            return QString::fromLatin1(r.inWords);
    return {};
}

bool isServer(const QString& connectionString) {
    try {
        return platform::OleDbConnectionString::parse(connectionString)
                   .provider()
                   .compare(QStringLiteral("PostgreSQL"), Qt::CaseInsensitive) == 0;
    } catch (const platform::Error&) {
        return false;
    }
}

}  // namespace

QString taskDatabaseProblemAdvice(const platform::Error& failure, const QString& connectionString) {
    QStringList lines;
    lines << QStringLiteral("The task database is ") + describeTaskDatabase(connectionString) + QLatin1Char('.');
    const QString reason = reasonInWords(failure);
    if (!reason.isEmpty()) lines << reason;
    QString mend = QStringLiteral("Check the connection settings on the page \"") + AdoConnectionPageTitle +
                   QStringLiteral("\" of the Preferences (Edit > Preferences).");
    if (isServer(connectionString))
        mend += QStringLiteral(" The README's section \"A shared task database on PostgreSQL\" says how the server "
                               "and the connection string are set up.");
    lines << mend;
    return lines.join(QStringLiteral("\r\n"));
}

}  // namespace common
