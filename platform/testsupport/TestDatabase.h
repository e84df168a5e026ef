#pragma once
// A fresh, empty task database for one test, on either engine: an SQLite file
// in a temporary folder, or a PostgreSQL database made through the admin
// connection in TAVREL_TEST_PG and dropped again at the end.
#include "platform/AdoConnection.h"
#include "platform/Error.h"
#include "platform/OleDbConnectionString.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>

#include <memory>
#include <string>

namespace testsupport {

enum class DbEngine { Sqlite, Postgres };

inline std::string engineName(DbEngine engine) { return engine == DbEngine::Sqlite ? "Sqlite" : "Postgres"; }

// A connection-string value, quoted when it needs to be.
inline QString oleDbValue(const QString& value) { return platform::OleDbConnectionString::quoteValue(value); }

class TestDatabase {
public:
    explicit TestDatabase(DbEngine engine) : engine_(engine) {
        if (engine == DbEngine::Sqlite) {
            file_ = dir_.filePath(QStringLiteral("TaskDB.mdb"));
            connectionString_ = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + oleDbValue(file_);
            platform::AdoConnection::createDatabase(connectionString_);
            return;
        }
        const QString admin = qEnvironmentVariable("TAVREL_TEST_PG");
        if (admin.isEmpty()) return;
        static QAtomicInt counter;
        name_ = QStringLiteral("tavrel_t%1_%2_%3")
                    .arg(QCoreApplication::applicationPid())
                    .arg(counter.fetchAndAddRelaxed(1))
                    .arg(QRandomGenerator::global()->bounded(1000000));
        admin_ = std::make_unique<platform::AdoConnection>();
        admin_->open(admin);
        admin_->execute(QStringLiteral("CREATE DATABASE ") + name_);
        const auto cs = platform::OleDbConnectionString::parse(admin);
        connectionString_ = QStringLiteral("Provider=PostgreSQL;Data Source=%1;Initial Catalog=%2;User ID=%3;Password=%4")
                                .arg(oleDbValue(cs.dataSource()), name_, oleDbValue(cs.value(QStringLiteral("User ID"))),
                                     oleDbValue(cs.value(QStringLiteral("Password"))));
    }

    ~TestDatabase() {
        if (!admin_) return;
        try {
            admin_->execute(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name_));
        } catch (const platform::Error&) {
        }
    }

    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    bool available() const { return !connectionString_.isEmpty(); }
    DbEngine engine() const { return engine_; }
    const QString& connectionString() const { return connectionString_; }
    const QString& file() const { return file_; }  // SQLite only
    QString folder() const { return dir_.path(); }

private:
    DbEngine engine_;
    QTemporaryDir dir_;
    QString file_;
    QString name_;
    QString connectionString_;
    std::unique_ptr<platform::AdoConnection> admin_;
};

// Inserts one row given as column names and values; the values are bound
// (as the engine stores them), never pasted into the statement.
inline void insertRow(platform::AdoConnection& c, const QString& table, const QVariantMap& row) {
    QStringList names, marks;
    QVariantList values;
    for (auto it = row.begin(); it != row.end(); ++it) {
        names << it.key();
        marks << QStringLiteral("?");
        values << c.toDatabase(it.value());
    }
    c.execute(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, names.join(','), marks.join(',')), values);
}

}  // namespace testsupport

// A fixture parameterised over both engines; PostgreSQL cases skip without
// TAVREL_TEST_PG. Use TEST_P(Fixture, ...) and TAVREL_ON_BOTH_ENGINES(Fixture).
#define TAVREL_ON_BOTH_ENGINES(Fixture)                                                               \
    INSTANTIATE_TEST_SUITE_P(Engines, Fixture,                                                        \
                             ::testing::Values(testsupport::DbEngine::Sqlite, testsupport::DbEngine::Postgres), \
                             [](const auto& info) { return testsupport::engineName(info.param); })
