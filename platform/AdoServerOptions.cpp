// What the server connection asks of libpq: the site's own keys from the
// connection string, and the keep-alives and bounds every connection has
// unless the site sets its own.
#include "platform/AdoInternal.h"

#include "platform/OleDbConnectionString.h"

#include <QList>
#include <QPair>
#include <QStringList>

#include <algorithm>

namespace platform {

namespace {

// libpq's wait for the server to answer a connection attempt, unless the
// connection string sets its own.
constexpr int kConnectTimeoutSeconds = 15;

// Keep-alives find a server host that is gone while the connection is idle,
// the user time-out one that stops acknowledging what is sent.
const QList<QPair<QString, QString>>& defaultPostgresOptions() {
    static const QList<QPair<QString, QString>> options = {
        {QStringLiteral("connect_timeout"), QString::number(kConnectTimeoutSeconds)},
        {QStringLiteral("keepalives"), QStringLiteral("1")},
        {QStringLiteral("keepalives_idle"), QStringLiteral("30")},
        {QStringLiteral("keepalives_interval"), QStringLiteral("10")},
        {QStringLiteral("keepalives_count"), QStringLiteral("3")},
        {QStringLiteral("tcp_user_timeout"), QStringLiteral("60000")},
    };
    return options;
}

// libpq's own keys that a site may need (TLS with certificate checks,
// keep-alives, ...), passed on from the connection string as they are.
const QStringList& passedPostgresKeys() {
    static const QStringList keys = {
        QStringLiteral("sslmode"), QStringLiteral("sslrootcert"), QStringLiteral("sslcert"), QStringLiteral("sslkey"),
        QStringLiteral("sslpassword"), QStringLiteral("sslcrl"), QStringLiteral("sslcrldir"), QStringLiteral("sslsni"),
        QStringLiteral("ssl_min_protocol_version"), QStringLiteral("ssl_max_protocol_version"),
        QStringLiteral("requirepeer"), QStringLiteral("gssencmode"), QStringLiteral("krbsrvname"),
        QStringLiteral("target_session_attrs"), QStringLiteral("application_name"), QStringLiteral("keepalives"),
        QStringLiteral("keepalives_idle"), QStringLiteral("keepalives_interval"), QStringLiteral("keepalives_count"),
        QStringLiteral("tcp_user_timeout"), QStringLiteral("connect_timeout"), QStringLiteral("options")};
    return keys;
}

QString quotedOption(const QString& key, QString value) {
    value.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return key + QStringLiteral("='") + value + QLatin1Char('\'');
}

}  // namespace

QString postgresOptions(const OleDbConnectionString& cs) {
    QStringList options;
    for (const auto& [key, value] : defaultPostgresOptions())
        if (!cs.contains(key)) options << quotedOption(key, value);
    for (const QString& key : passedPostgresKeys()) {
        if (!cs.contains(key)) continue;
        const QString value = cs.value(key);
        if (value.contains(QLatin1Char(';')))
            throw Error(adoerr::InvalidArgument,
                        QStringLiteral("The value of \"%1\" in the connection string cannot hold \";\"").arg(key));
        options << quotedOption(key, value);
    }
    return options.join(QLatin1Char(';'));
}

int connectTimeoutOf(const OleDbConnectionString& cs) {
    bool ok = false;
    const int seconds = cs.value(QStringLiteral("connect_timeout")).trimmed().toInt(&ok);
    if (!ok) return kConnectTimeoutSeconds;
    // libpq waits without end for 0, and takes less than 2 as 2.
    return seconds <= 0 ? kLongestStatementSeconds : std::max(seconds, 2);
}

}  // namespace platform
