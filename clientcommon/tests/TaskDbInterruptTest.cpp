// An upgrade killed half-way leaves a database that the next start upgrades
// with every row kept. The child is this test program, run for the one
// disabled test below.
#include "clientcommon/TaskDbCheck.h"
#include "clientcommon/TaskDbSchema.h"
#include "common/TaskDbTables.h"
#include "platform/AdoErrors.h"
#include "common/tests/TaskDbFixture.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <cstdio>

using namespace taskdbtest;

namespace {
constexpr int kRows = 20000;
const char* const kChildVariable = "TAVREL_UPGRADE_CHILD_DB";
const char* const kStartMark = "UPGRADE-STARTING";
}  // namespace

// Runs only as the child of TaskDbInterrupt.
TEST(UpgradeChild, DISABLED_Run) {
    const QString cs = qEnvironmentVariable(kChildVariable);
    if (cs.isEmpty()) GTEST_SKIP();
    platform::AdoConnection c;
    c.open(cs);
    std::printf("%s\n", kStartMark);
    std::fflush(stdout);
    EXPECT_TRUE(tavrel::modGlobal_UpgradeTaskDatabase(c, tavrel::kLayoutMissingColumn, "me", "HERE"));
}

class TaskDbInterrupt : public TaskDbTest {
protected:
    void fill() {
        createOldTable(common::kTasksTable, common::kTasksTable, {"filter_fields"});
        createOldTable(common::kFilesTable, common::kFilesTable, {"peak_list"});
        createOldTable(common::kResultsTable, common::kResultsTable);
        const QString numbers =
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) ").arg(kRows);
        const QDateTime when = QDateTime::currentDateTime();
        c.execute(numbers + "INSERT INTO Sorvex_Tavrel_Tasks (task_UID, task_label, parameter_set, schedule_type, "
                            "start_time, task_status) SELECT i, 'task ' || i, 'p.par', 'now', ?, 'new' FROM n",
                  {when});
        c.execute(numbers + "INSERT INTO Sorvex_Tavrel_Files (file_number, task_UID, file_name, next_action) "
                            "SELECT i, i, 'f' || i || '.raw', ? FROM n",
                  {when});
    }

    // Either the old layout untouched or the new one complete; never between.
    int expectWhole() {
        int code = 0;
        try {
            code = tavrel::taskDatabaseLayoutCode(c);
        } catch (const platform::Error& e) {
            EXPECT_EQ(e.number(), platform::adoerr::ItemNotFound);  // the column the old layout lacks
            code = tavrel::kLayoutMissingColumn;
        }
        EXPECT_TRUE(code == 0 || code == tavrel::kLayoutMissingColumn) << code;
        EXPECT_EQ(count(common::kTasksTable), kRows);
        EXPECT_EQ(count(common::kFilesTable), kRows);
        for (const char* t : {"Sorvex_Tavrel_Tasks_Temp", "Sorvex_Tavrel_Files_Temp", "Sorvex_Tavrel_Results_Temp"})
            EXPECT_FALSE(c.tableExists(t)) << t;
        return code;
    }
};

TEST_P(TaskDbInterrupt, KilledUpgradeLosesNoRow) {
    fill();
    int killedMidway = 0;
    for (int delayMs : {0, 10, 40, 120}) {
        if (expectWhole() == 0) break;
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(kChildVariable, db->connectionString());
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {"--gtest_also_run_disabled_tests", "--gtest_filter=UpgradeChild.DISABLED_Run"});
        ASSERT_TRUE(child.waitForStarted());
        QByteArray out;
        QElapsedTimer t;
        t.start();
        while (!out.contains(kStartMark) && t.elapsed() < 10000 && child.state() == QProcess::Running) {
            child.waitForReadyRead(50);
            out += child.readAllStandardOutput();
        }
        ASSERT_TRUE(out.contains(kStartMark)) << out.toStdString();
        QThread::msleep(delayMs);
        const bool finishedAlready = child.state() != QProcess::Running;
        child.kill();
        child.waitForFinished();
        if (!finishedAlready && child.exitStatus() == QProcess::CrashExit) ++killedMidway;
        c.close();
        c.open(db->connectionString());
    }
    if (expectWhole() != 0) {
        ASSERT_TRUE(tavrel::modGlobal_UpgradeTaskDatabase(c, tavrel::kLayoutMissingColumn, "me", "HERE"));
    }
    EXPECT_EQ(expectWhole(), 0);
    EXPECT_GE(killedMidway, 1);
    RecordProperty("killed_midway", killedMidway);
}

TAVREL_ON_BOTH_ENGINES(TaskDbInterrupt);
