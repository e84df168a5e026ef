// The shipped SQL scripts are the tables the client makes, and an
// administrator who runs one gets a database the programs take as current.
#include "clientcommon/TaskDbCheck.h"
#include "common/TaskDbScript.h"
#include "common/TaskDbTables.h"
#include "platform/testsupport/TestSupport.h"
#include "TaskDbFixture.h"

#include <QDir>

using namespace taskdbtest;

namespace {

QString shippedScript(bool postgres) {
    return QString::fromUtf8(
        testsupport::readFile(QStringLiteral(TAVREL_SOURCE_DIR "/sql/") + common::taskDbScriptFileName(postgres)));
}

// The statements of a script, without its comment lines.
QStringList statementsOf(const QString& script) {
    QStringList kept;
    for (const QString& line : script.split(u'\n'))
        if (!line.startsWith(QStringLiteral("--"))) kept << line;
    QStringList statements;
    for (const QString& s : kept.join(u'\n').split(u';'))
        if (!s.trimmed().isEmpty()) statements << s.trimmed();
    return statements;
}

TEST(TaskDbScriptFiles, MatchTheTableDefinitions) {
    for (const bool postgres : {true, false}) {
        EXPECT_EQ(shippedScript(postgres), common::taskDbScript(postgres))
            << qPrintable(common::taskDbScriptFileName(postgres))
            << " differs from the table definitions: run build/bin/task-db-sql sql";
        // Each table, then its indexes.
        QStringList expected;
        for (const auto& table : common::taskDbTables()) {
            expected << common::createTableSql(table, postgres);
            for (const auto& index : common::taskDbIndexes())
                if (index.table == table.name) expected << common::createIndexSql(index);
        }
        const QStringList statements = statementsOf(common::taskDbScript(postgres));
        ASSERT_EQ(statements.size(), expected.size());
        for (qsizetype i = 0; i < statements.size(); ++i) {
            QString oneLine = statements[i];
            oneLine.replace(QStringLiteral(",\n    "), QStringLiteral(", "))
                .replace(QStringLiteral("(\n    "), QStringLiteral("("))
                .replace(QStringLiteral("\n)"), QStringLiteral(")"));
            EXPECT_EQ(oneLine, expected[i]);
        }
    }
}

class TaskDbScriptRun : public TaskDbTest {};

TEST_P(TaskDbScriptRun, MakesADatabaseOfTheCurrentLayout) {
    const bool postgres = c.engine() == platform::AdoConnection::Engine::Postgres;
    for (const QString& statement : statementsOf(shippedScript(postgres))) c.execute(statement);
    EXPECT_EQ(tavrel::taskDatabaseLayoutCode(c), 0);
    for (const auto& index : common::taskDbIndexes()) EXPECT_TRUE(c.indexExists(index.name)) << qPrintable(index.name);
    for (const auto& def : common::taskDbTables()) {
        const auto columns = c.columns(def.name);
        ASSERT_EQ(columns.size(), def.columns.size()) << qPrintable(def.name);
        for (qsizetype i = 0; i < columns.size(); ++i) {
            EXPECT_EQ(columns[i].name.toLower(), def.columns[i].name.toLower());
            EXPECT_EQ(columns[i].nullable, !def.columns[i].notNull && i != 0) << qPrintable(def.columns[i].name);
        }
    }
}

TAVREL_ON_BOTH_ENGINES(TaskDbScriptRun);

}  // namespace
