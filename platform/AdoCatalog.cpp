// What the connection knows about tables and values, and how each engine's
// errors become the numbers the callers compare.
#include "platform/AdoConnection.h"

#include "platform/AdoErrors.h"
#include "platform/Error.h"

#include <QDateTime>
#include <QSqlError>

namespace platform {

namespace {

long sqliteNumber(const QSqlError& error) {
    const QString text = error.databaseText();
    const int code = error.nativeErrorCode().toInt();
    const int primary = code & 0xff;
    if (code == 2067 || code == 1555 || text.contains(QStringLiteral("UNIQUE constraint failed")) ||
        text.contains(QStringLiteral("PRIMARY KEY must be unique")))
        return adoerr::DuplicateKey;
    if (code == 1299 || text.contains(QStringLiteral("NOT NULL constraint failed")))
        return adoerr::RequiredValueMissing;
    if (text.startsWith(QStringLiteral("no such table"))) return adoerr::TableNotFound;
    if (text.startsWith(QStringLiteral("no such column"))) return adoerr::MissingValue;
    if (primary == 5 || primary == 6) return adoerr::Timeout;  // SQLITE_BUSY, SQLITE_LOCKED
    return adoerr::ErrorsInCommand;
}

long postgresNumber(const QSqlError& error) {
    const QString state = error.nativeErrorCode();
    if (state == QLatin1String("23505")) return adoerr::DuplicateKey;
    if (state == QLatin1String("23502")) return adoerr::RequiredValueMissing;
    if (state == QLatin1String("42P01")) return adoerr::TableNotFound;
    if (state == QLatin1String("42703")) return adoerr::MissingValue;
    if (state == QLatin1String("57014") || state == QLatin1String("55P03")) return adoerr::Timeout;
    // Anything else, a lost connection included: never the duplicate-key
    // number, so that no caller retries on it.
    return adoerr::ErrorsInCommand;
}

}  // namespace

Error AdoConnection::mapError(const QSqlError& error) const {
    QString text = error.databaseText().trimmed();
    if (text.isEmpty()) text = error.text().trimmed();
    // A connection that died mid-statement can leave the driver without a word.
    if (text.isEmpty()) text = QStringLiteral("The database engine failed without saying why (is its connection lost?)");
    const long number = engine_ == Engine::Postgres ? postgresNumber(error) : sqliteNumber(error);
    return Error(number, text);
}

QVariant AdoConnection::toDatabase(const QVariant& value) const {
    switch (value.typeId()) {
        case QMetaType::Bool:
            return value.toBool() ? 1 : 0;
        case QMetaType::QDateTime: {
            // Stored as local wall-clock time, the way both programs read it back.
            const QDateTime local = value.toDateTime().toLocalTime();
            if (!local.isValid()) return QVariant();
            return local.toString(engine_ == Engine::Postgres ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")
                                                              : QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
        }
        default:
            return value;
    }
}

QVariant AdoConnection::fromDatabase(const QVariant& value) const {
    // Both drivers read a date-time column as the local wall-clock time it
    // holds (SQLite as its text, which QVariant::toDateTime() reads back).
    return value;
}

bool AdoConnection::tableExists(const QString& table) {
    QSqlQuery q = engine_ == Engine::Postgres
                      ? query(QStringLiteral("SELECT to_regclass(?) IS NOT NULL"), {table})
                      : query(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' "
                                             "AND name = ? COLLATE NOCASE"),
                              {table});
    const bool found = q.next() && q.value(0).toBool();
    q.finish();
    return found;
}

bool AdoConnection::indexExists(const QString& index) {
    QSqlQuery q = engine_ == Engine::Postgres
                      ? query(QStringLiteral("SELECT COUNT(*) FROM pg_class WHERE oid = to_regclass(?) AND relkind = 'i'"),
                              {index})
                      : query(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' "
                                             "AND name = ? COLLATE NOCASE"),
                              {index});
    const bool found = q.next() && q.value(0).toBool();
    q.finish();
    return found;
}

QList<AdoConnection::Column> AdoConnection::columns(const QString& table) {
    QSqlQuery q = engine_ == Engine::Postgres
                      ? query(QStringLiteral("SELECT a.attname, format_type(a.atttypid, a.atttypmod), a.attnotnull "
                                             "FROM pg_attribute a WHERE a.attrelid = to_regclass(?) "
                                             "AND a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum"),
                              {table})
                      : query(QStringLiteral("SELECT name, type, \"notnull\" FROM pragma_table_info(?) ORDER BY cid"),
                              {table});
    QList<Column> result;
    while (q.next()) result.append(Column{q.value(0).toString(), q.value(1).toString(), !q.value(2).toBool()});
    q.finish();
    if (result.isEmpty())
        throw Error(adoerr::TableNotFound,
                    QStringLiteral("Table '%1' not found").arg(table));
    return result;
}

QString AdoConnection::primaryKeyColumn(const QString& table) {
    QSqlQuery q = engine_ == Engine::Postgres
                      ? query(QStringLiteral("SELECT a.attname FROM pg_index i JOIN pg_attribute a "
                                             "ON a.attrelid = i.indrelid AND a.attnum = ANY(i.indkey) "
                                             "WHERE i.indrelid = to_regclass(?) AND i.indisprimary"),
                              {table})
                      : query(QStringLiteral("SELECT name FROM pragma_table_info(?) WHERE pk = 1"), {table});
    const QString key = q.next() ? q.value(0).toString() : QString();
    q.finish();
    return key;
}

}  // namespace platform
