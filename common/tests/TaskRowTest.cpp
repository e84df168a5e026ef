#include "common/TaskRow.h"

#include "common/TaskDbConnection.h"
#include "clientcommon/TaskDbSchema.h"
#include "common/TaskDbTables.h"
#include "common/TaskVocabulary.h"
#include "platform/AdoRecordset.h"
#include "platform/OleDbConnectionString.h"
#include "TaskDbFixture.h"

#include <QDateTime>
#include <QDir>

using namespace taskdbtest;
using platform::AdoRecordset;

namespace {

const QDateTime kStart(QDate(2024, 5, 6), QTime(7, 8, 9));

class TaskRows : public TaskDbTest {
protected:
    void SetUp() override {
        TaskDbTest::SetUp();
        if (IsSkipped()) return;
        ASSERT_TRUE(tavrel::modGlobal_CreateTaskDatabase(c));
    }
    // A task row as the client leaves it: every optional column Null.
    void addTask(int key, const QList<QPair<QString, QVariant>>& more = {}) {
        AdoRecordset rs;
        rs.openTable(c, common::kTasksTable);
        rs.addNew();
        rs.setValue("task_UID", key);
        rs.setValue("task_label", "Label, with comma");
        rs.setValue("parameter_set", "\\\\PC\\share\\a.par");
        rs.setValue("schedule_type", common::word(common::ScheduleType::Monitor));
        rs.setValue("start_time", kStart);
        rs.setValue("task_status", common::word(common::TaskStatus::New));
        for (const auto& [name, value] : more) rs.setValue(name, value);
        rs.update();
    }
    AdoRecordset row(const QString& table, const QString& key, int value) {
        AdoRecordset rs;
        rs.openQuery(c, "SELECT * FROM " + table + " WHERE " + key + " = ?", {value});
        return rs;
    }
};

}  // namespace

TEST_P(TaskRows, NullColumnsReadAsNothingAndValuesAsStored) {
    addTask(1);
    addTask(2, {{"follow_up", 1},
                {"fu_number", 59},
                {"fu_interval", common::word(common::FollowUpInterval::Months)},
                {"new_files_only", 1},
                {"sorvex_user_id", 7},
                {"action_request", common::word(common::Request::Run)},
                {"filter_fields", QString(300, 'k')}});
    const common::TaskRow bare = common::readTaskRow(row(common::kTasksTable, "task_UID", 1));
    EXPECT_EQ(bare.task_UID, 1);
    EXPECT_EQ(bare.task_label, "Label, with comma");
    EXPECT_EQ(bare.schedule_type, "monitor");
    EXPECT_EQ(bare.start_time, kStart);
    EXPECT_FALSE(bare.follow_up || bare.fu_number || bare.fu_interval || bare.import_filter || bare.sorvex_user_id ||
                 bare.action_request || bare.action_response || bare.monitor_directory || bare.pre_task_wait);

    const common::TaskRow full = common::readTaskRow(row(common::kTasksTable, "task_UID", 2));
    EXPECT_EQ(full.follow_up, qint16(1));
    EXPECT_EQ(full.fu_number, 59);
    EXPECT_EQ(full.fu_interval, "months");
    EXPECT_EQ(full.new_files_only, qint16(1));
    EXPECT_EQ(full.sorvex_user_id, 7);
    EXPECT_EQ(full.action_request, "Run");
    EXPECT_EQ(full.filter_fields, QString(300, 'k'));
}

TEST_P(TaskRows, ARequiredNullOrAnOversizedNumberIsAnErrorNamingTheColumn) {
    // A table of an earlier layout let the label be Null.
    c.execute("DROP TABLE Sorvex_Tavrel_Tasks");
    createOldTable(common::kTasksTable, common::kTasksTable, {}, {}, {"task_label"});
    addTask(1, {{"task_label", QVariant()}});
    try {
        common::readTaskRow(row(common::kTasksTable, "task_UID", 1));
        ADD_FAILURE() << "a Null label was read";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), 94);
        EXPECT_EQ(e.description(), "Invalid use of Null (column task_label)");
    }
    if (GetParam() == testsupport::DbEngine::Sqlite) {  // PostgreSQL refuses 70000 in a SMALLINT itself
        addTask(2, {{"search_priority", 70000}});
        EXPECT_EQ(errorNumberOf([&] { common::readTaskRow(row(common::kTasksTable, "task_UID", 2)); }), 6);
    }
}

TEST_P(TaskRows, FileRowsKeepSizesOfFourGigabytesAndMore) {
    addTask(1);
    AdoRecordset rs;
    rs.openTable(c, common::kFilesTable);
    rs.addNew();
    rs.setValue("file_number", 3);
    rs.setValue("task_UID", 1);
    rs.setValue("file_name", "\\\\PC\\share\\a.raw");
    rs.setValue("next_action", common::jetZeroDate());
    rs.setValue("file_size", qint64(5) << 32);
    rs.setValue("sample_number", 2);
    rs.update();
    const common::TaskFileRow f = common::readTaskFileRow(row(common::kFilesTable, "file_number", 3));
    EXPECT_EQ(f.task_UID, 1);
    EXPECT_EQ(f.file_name, "\\\\PC\\share\\a.raw");
    EXPECT_EQ(f.next_action, common::jetZeroDate());
    EXPECT_EQ(f.file_size, qint64(5) << 32);
    EXPECT_EQ(f.sample_number, 2);
    EXPECT_FALSE(f.size_checked || f.peak_list || f.sorvex_task_id || f.file_comment || f.intermediate);
}

TAVREL_ON_BOTH_ENGINES(TaskRows);

// The built-in connection opens the database file in the program folder,
// whatever characters the folder's path holds.
TEST(DefaultConnectionString, NamesTheDatabaseFileOfTheProgramFolder) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("Tavrel; \"lab\" 2");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString text = common::defaultConnectionString(folder);
    const auto cs = platform::OleDbConnectionString::parse(text);
    EXPECT_EQ(cs.provider(), "Microsoft.Jet.OLEDB.4.0");
    EXPECT_EQ(cs.dataSource(), folder + "/TaskDB.mdb");
    EXPECT_EQ(cs.value("Mode"), "Read|Write|Share Deny None");
    platform::AdoConnection::createDatabase(text);
    platform::AdoConnection c;
    c.open(text);
    EXPECT_TRUE(c.isOpen());
    EXPECT_TRUE(QFileInfo::exists(folder + "/TaskDB.mdb"));
}
