#pragma once
// A task database per test on both engines, and a message-box recorder.
#include "common/TaskDbTables.h"
#include "platform/AdoConnection.h"
#include "platform/Error.h"
#include "platform/MessageBox.h"
#include "platform/testsupport/TestDatabase.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace taskdbtest {

struct BoxRecorder : platform::MessageBoxHandler {
    QStringList texts;
    QList<int> styles;
    QList<int> answers;  // answered in order; OK when none is left
    int show(const QString& text, int style, const QString& title) override {
        EXPECT_EQ(title, "Sorvex Tavrel");
        texts.append(text);
        styles.append(style);
        return answers.isEmpty() ? platform::vbOK : answers.takeFirst();
    }
};

class TaskDbTest : public ::testing::TestWithParam<testsupport::DbEngine> {
protected:
    void SetUp() override {
        db = std::make_unique<testsupport::TestDatabase>(GetParam());
        if (!db->available()) GTEST_SKIP() << "TAVREL_TEST_PG is not set";
        c.open(db->connectionString());
        previous = platform::setMessageBoxHandler(&boxes);
    }
    void TearDown() override {
        if (db && db->available()) platform::setMessageBoxHandler(previous);
    }

    long count(const QString& table) {
        QSqlQuery q = c.query("SELECT COUNT(*) FROM " + table);
        q.next();
        return q.value(0).toLongLong();
    }

    // A table like one of ours under another name, with columns left out,
    // renamed or declared "not null" as an older layout had them.
    void createOldTable(const QString& ours, const QString& name, const QStringList& without = {},
                        const QStringList& notNull = {}, const QStringList& nullable = {}) {
        common::TableDef t = common::taskDbTable(ours);
        t.name = name;
        t.keyConstraint = name.toLower() + "_old_key";
        t.columns.removeIf([&](const common::ColumnDef& col) { return without.contains(col.name); });
        for (auto& col : t.columns)
            if (notNull.contains(col.name)) col.notNull = true;
            else if (nullable.contains(col.name)) col.notNull = false;
        c.execute(common::createTableSql(t, c));
    }

    long errorNumberOf(const std::function<void()>& f) {
        try {
            f();
        } catch (const platform::Error& e) {
            return e.number();
        }
        return 0;
    }

    std::unique_ptr<testsupport::TestDatabase> db;
    platform::AdoConnection c;
    BoxRecorder boxes;
    platform::MessageBoxHandler* previous = nullptr;
};

}  // namespace taskdbtest
