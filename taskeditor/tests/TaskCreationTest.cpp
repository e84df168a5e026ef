// Run on both engines: the rows it stores read back as built, and any failure
// on the way leaves no task row, no file row and no folder.
#include "TaskEditorFixture.h"

#include "common/PeakListFolders.h"
#include "common/TaskRow.h"
#include "platform/AdoConnection.h"
#include "platform/AdoRecordset.h"
#include "platform/Error.h"
#include "platform/MessageBox.h"
#include "taskeditor/TaskCreation.h"

#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

using namespace taskeditortest;
using tavrel::TaskEditor;

class TaskCreation : public ClientDatabase {
protected:
    TaskEditor nowTask(const QStringList& files) {
        TaskEditor e = resetEditor(g->inputs());
        e.setParameterFile(g->parameterFile);
        e.setText(&S::txtTaskLabel, "Liver digest");
        for (const QString& f : files) e.addDataFile(f);
        return e;
    }
    tavrel::RunContext context() const {
        tavrel::RunContext c;
        c.checks.localComputerName = "LABPC";
        c.rows.localUserName = "ann";
        c.rows.localComputerName = "LABPC";
        c.rows.now = QDateTime(QDate(2024, 5, 6), QTime(15, 0, 1));
        c.peakListRoot = tavrel::PeakListRoot;
        return c;
    }
    common::TaskRow storedRow(int uid) {
        platform::AdoRecordset rs;
        rs.openQuery(tavrel::TaskDbConnection, "SELECT * FROM Sorvex_Tavrel_Tasks WHERE task_UID = ?", {uid});
        return common::readTaskRow(rs);
    }
    QList<common::TaskFileRow> storedFiles(int uid) {
        platform::AdoRecordset rs;
        rs.openQuery(tavrel::TaskDbConnection,
                     "SELECT * FROM Sorvex_Tavrel_Files WHERE task_UID = ? ORDER BY file_number", {uid});
        QList<common::TaskFileRow> files;
        for (; !rs.eof(); rs.moveNext()) files << common::readTaskFileRow(rs);
        return files;
    }
    QStringList folders() const { return QDir(tavrel::PeakListRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot); }
    void expectNothingStored() {
        EXPECT_EQ(count("Sorvex_Tavrel_Tasks"), 0);
        EXPECT_EQ(count("Sorvex_Tavrel_Files"), 0);
        EXPECT_TRUE(folders().isEmpty()) << folders().join(", ").toStdString();
    }
};

TEST_P(TaskCreation, StoresTheRowItsFilesItsFolderAndTheRequest) {
    TaskEditor e = nowTask({"/data/a.qpl", "/data/b.qpl", "/data/c.qpl"});
    const tavrel::BuildOutcome built = tavrel::buildTaskRows(e.state(), context().rows);
    ASSERT_EQ(tavrel::frmMain_CreateTask(e, context()), 1);
    EXPECT_TRUE(g->boxes.texts.isEmpty()) << g->boxes.texts.join('\n').toStdString();

    common::TaskRow expected = built.task.row;
    expected.task_UID = 1;
    expected.action_request = "Run";
    EXPECT_EQ(storedRow(1), expected);  // every column as built, read back by the shared reader

    const QList<common::TaskFileRow> files = storedFiles(1);
    ASSERT_EQ(files.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(files[i].file_number, i + 1);
        EXPECT_EQ(files[i].file_name, built.task.fileNames[i]);
        EXPECT_EQ(files[i].next_action, context().rows.now);
        EXPECT_FALSE(files[i].sample_number);
    }
    EXPECT_TRUE(QFileInfo(common::PeakListCacheFolder(tavrel::PeakListRoot, 1, "Liver digest")).isDir());

    // The editor keeps its contents: a second Run is a second task; an
    // existing folder of the same name is used as it is.
    QDir().mkpath(common::PeakListCacheFolder(tavrel::PeakListRoot, 2, "Liver digest"));
    EXPECT_EQ(tavrel::frmMain_CreateTask(e, context()), 2);
    EXPECT_EQ(storedFiles(2).size(), 3);
    EXPECT_EQ(storedFiles(2).first().file_number, 4);
    EXPECT_TRUE(g->boxes.texts.isEmpty());
}

// The service writes the task's peak lists into the folder Run makes, under
// its own account: in a root its group shares, the folder is the group's
// (2770, the root's group) whatever this user's umask; in a root of the user's
// own, the umask holds.
TEST_P(TaskCreation, InARootItsGroupSharesTheTasksFolderIsTheGroupsWhateverTheUmask) {
    struct Case {
        const char* what;
        mode_t rootMode;
        mode_t expected;
    } cases[] = {
        {"a shared root that hands its group on", 02770, 02770},
        {"a shared root without the set-group-id bit", 0770, 02770},
        {"a root of the user's own", 0755, 0755},
    };
    const mode_t savedMask = ::umask(022);
    int uid = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(::chmod(QFile::encodeName(tavrel::PeakListRoot).constData(), c.rootMode), 0);
        // A group that is not the account's own, where the test may give one.
        if (!(c.rootMode & S_ISGID) && ::geteuid() == 0) {
            ASSERT_EQ(::chown(QFile::encodeName(tavrel::PeakListRoot).constData(), uid_t(-1), gid_t(65534)), 0);
        }
        TaskEditor e = nowTask({"/data/a.qpl"});
        ASSERT_EQ(tavrel::frmMain_CreateTask(e, context()), ++uid);
        const QString folder = common::PeakListCacheFolder(tavrel::PeakListRoot, uid, "Liver digest");
        struct stat root {}, made {};
        ASSERT_EQ(::stat(QFile::encodeName(tavrel::PeakListRoot).constData(), &root), 0);
        ASSERT_EQ(::stat(QFile::encodeName(folder).constData(), &made), 0);
        EXPECT_EQ(made.st_mode & 07777, c.expected) << std::oct << (made.st_mode & 07777);
        if (c.rootMode & S_IWGRP) {
            EXPECT_EQ(made.st_gid, root.st_gid);
        }
    }
    ::umask(savedMask);
}

TEST_P(TaskCreation, AMonitorTaskHasNoFileRowsAndAnEmptyLabelBecomesUntitled) {
    TaskEditor e = resetEditor(g->inputs());
    e.setParameterFile(g->parameterFile);
    e.chooseSchedule(tavrel::SchedMonitor);
    e.setText(&S::txtTaskPath, "/data/incoming/");
    e.setText(&S::txtTaskLabel, "   ");
    ASSERT_EQ(tavrel::frmMain_CreateTask(e, context()), 1);
    const common::TaskRow r = storedRow(1);
    EXPECT_EQ(r.task_label, "Untitled");
    EXPECT_EQ(r.monitor_directory, "/data/incoming");
    EXPECT_EQ(e.state().txtTaskPath.text, "/data/incoming");
    EXPECT_EQ(count("Sorvex_Tavrel_Files"), 0);
    EXPECT_TRUE(QFileInfo(tavrel::PeakListRoot + "/1 Untitled").isDir());
}

TEST_P(TaskCreation, ANewFollowerTaskIsOfferedAtOnceWithTheSelectionKept) {
    insertTask(3, {{"schedule_type", "follower"}, {"task_status", "running"}});
    tavrel::TasksRecordset.requery();
    tavrel::ResetInputs in = g->inputs();
    in.followerTasks = {{3, "Task 3"}};
    TaskEditor e = resetEditor(in);
    e.setParameterFile(g->parameterFile);
    e.setText(&S::txtTaskLabel, "Receiver");
    e.chooseFollower(1);
    e.chooseSchedule(tavrel::SchedFollower);
    ASSERT_EQ(tavrel::frmMain_CreateTask(e, context()), 4);
    EXPECT_EQ(e.state().cboTaskFUTask.items, QStringList({"--- None ---", "3 Task 3", "4 Receiver"}));
    EXPECT_EQ(e.state().cboTaskFUTask.current, 1);
}

TEST_P(TaskCreation, AFailureBetweenTheRowsLeavesNothing) {
    struct Case {
        const char* what;
        std::function<void(TaskCreation&, TaskEditor&)> inject;
        QString boxStart;
    } cases[] = {
        {"a file row the database refuses",
         [](TaskCreation& t, TaskEditor& e) {
             // The second file row breaks a rule of the table.
             t.sql("CREATE UNIQUE INDEX one_name_only ON Sorvex_Tavrel_Files (file_name)");
             e.addDataFile("/data/a.qpl");
         },
         "Unable to update ADO recordset"},
        {"a label too long for a folder name",
         [](TaskCreation&, TaskEditor& e) { e.setText(&S::txtTaskLabel, QString(254, 'x')); },
         "The task label is too long for the name of the task's peak-list folder"},
        {"a folder that cannot be made",
         [](TaskCreation&, TaskEditor&) { QDir(tavrel::PeakListRoot).removeRecursively(); },
         "Unable to create required directory "},
        {"a label the service makes no folder for",
         [](TaskCreation&, TaskEditor& e) { e.setText(&S::txtTaskLabel, ".."); },
         "The task label \"..\" cannot name a peak-list folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TaskEditor e = nowTask({"/data/a.qpl", "/data/b.qpl"});
        c.inject(*this, e);
        g->boxes.texts.clear();
        EXPECT_EQ(tavrel::frmMain_CreateTask(e, context()), 0);
        ASSERT_EQ(g->boxes.texts.size(), 1);
        EXPECT_TRUE(g->boxes.texts[0].startsWith(c.boxStart)) << g->boxes.texts[0].toStdString();
        expectNothingStored();
        // The shared recordset holds no trace of the rolled-back row.
        tavrel::TasksRecordset.moveFirst();
        EXPECT_TRUE(tavrel::TasksRecordset.eof());
        QDir().mkpath(tavrel::PeakListRoot);
        sql("DROP INDEX IF EXISTS one_name_only");
    }
}

// While Run's refusal waits for the user, another client writes the same
// tables (the key Run had taken, too): Run has rolled back before it asked.
TEST_P(TaskCreation, NoBoxWaitsWhileRunHoldsTheDatabase) {
    struct SecondClientWrites : platform::MessageBoxHandler {
        platform::AdoConnection other;
        QStringList texts, writeErrors;
        int show(const QString& text, int, const QString&) override {
            texts << text;
            try {
                other.execute("INSERT INTO Sorvex_Tavrel_Tasks (task_UID, task_label, parameter_set, schedule_type, "
                              "start_time, task_status) VALUES (1, 'other', 'other.par', 'now', ?, 'new')",
                              {QDateTime(QDate(2024, 5, 1), QTime(9, 0))});
                other.execute("DELETE FROM Sorvex_Tavrel_Tasks WHERE task_UID = 1");
            } catch (const platform::Error& e) {
                writeErrors << e.description();
            }
            return platform::vbOK;
        }
    } second;
    second.other.open(db->connectionString());
    if (tavrel::TaskDbConnection.engine() == platform::AdoConnection::Engine::Postgres)
        second.other.execute("SET lock_timeout = 2000");  // a wait on Run's row fails instead of hanging
    TaskEditor e = nowTask({"/data/a.qpl"});
    e.setText(&S::txtTaskLabel, QString(254, 'x'));
    platform::MessageBoxHandler* previous = platform::setMessageBoxHandler(&second);
    const qint32 key = tavrel::frmMain_CreateTask(e, context());
    platform::setMessageBoxHandler(previous);
    EXPECT_EQ(key, 0);
    ASSERT_EQ(second.texts.size(), 1);
    EXPECT_TRUE(second.texts[0].startsWith("The task label is too long")) << second.texts[0].toStdString();
    EXPECT_TRUE(second.writeErrors.isEmpty()) << second.writeErrors.join('\n').toStdString();
    expectNothingStored();
}

TEST_P(TaskCreation, AnUnexpectedDatabaseErrorIsPassedOnAfterTheRollback) {
    TaskEditor e = nowTask({"/data/a.qpl"});
    sql("DROP TABLE Sorvex_Tavrel_Files");
    EXPECT_THROW(tavrel::frmMain_CreateTask(e, context()), platform::Error);
    EXPECT_EQ(count("Sorvex_Tavrel_Tasks"), 0);
    EXPECT_TRUE(folders().isEmpty());
    EXPECT_FALSE(tavrel::TaskDbConnection.inTransaction());
}

TAVREL_ON_BOTH_ENGINES(TaskCreation);
