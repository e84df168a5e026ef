// The task row and file rows the editor's contents make, column by column.
#include "TaskEditorFixture.h"

#include "common/UncName.h"
#include "taskeditor/TaskRowBuilder.h"

using namespace taskeditortest;
using tavrel::TaskEditor;

namespace {

tavrel::RowSources sources() {
    tavrel::RowSources src;
    src.localUserName = "ann";
    src.localComputerName = "LABPC";
    src.now = QDateTime(QDate(2024, 5, 6), QTime(15, 0, 1));
    return src;
}

int filterItem(const TaskEditor& e, const QString& name) {
    return static_cast<int>(e.state().cboTaskFilter.items.indexOf(name));
}

}  // namespace

TEST(TaskRowBuilder, AnUnchangedNewTaskGivesTheDefaultRow) {
    ClientGlobals g;
    TaskEditor e = resetEditor(g.inputs());
    e.addDataFile("/data/a.qpl");
    e.addDataFile("/data/b.qpl");
    const tavrel::BuildOutcome out = tavrel::buildTaskRows(e.state(), sources());
    ASSERT_TRUE(out.ok()) << out.refusal.toStdString();
    const common::TaskRow& r = out.task.row;
    EXPECT_EQ(r.user_name, "ann");
    EXPECT_EQ(r.computer_name, "LABPC");
    EXPECT_FALSE(r.sorvex_user_id);
    EXPECT_EQ(r.follow_up, 0);
    EXPECT_EQ(r.fu_interval, "days");
    EXPECT_EQ(r.fu_number, 1);
    EXPECT_EQ(r.fu_task, "--- None ---");
    EXPECT_EQ(r.import_filter, "--- None ---");
    EXPECT_FALSE(r.filter_options);
    EXPECT_FALSE(r.filter_fields);
    EXPECT_EQ(r.fu_discard, 0);
    EXPECT_EQ(r.fu_move, 1);
    EXPECT_EQ(r.fu_repeat, 0);
    EXPECT_EQ(r.new_files_only, 1);
    EXPECT_EQ(r.sub_directories, 0);
    EXPECT_EQ(r.merge_data_files, 0);
    EXPECT_EQ(r.search_priority, 0);
    EXPECT_FALSE(r.monitor_directory);
    EXPECT_EQ(r.start_time, QDateTime(QDate(2024, 5, 6), QTime(14, 30, 15)));
    EXPECT_EQ(r.schedule_type, "now");
    EXPECT_EQ(r.fu_score, 0);
    EXPECT_EQ(r.task_label, "Untitled");
    EXPECT_EQ(r.parameter_set, common::modUncName_GetUncPath(g.inputs().defaultParameterSet));
    EXPECT_EQ(r.monitor_filename, "*.*");
    EXPECT_EQ(r.task_status, "new");
    EXPECT_EQ(r.auto_print, 0);
    EXPECT_FALSE(r.pre_task_command);
    EXPECT_FALSE(r.post_task_wait);
    EXPECT_FALSE(r.action_request);
    EXPECT_EQ(out.task.fileNames, QStringList({"/data/a.qpl", "/data/b.qpl"}));
    EXPECT_EQ(out.task.fileNextAction, sources().now);  // "now": the moment of Run
}

TEST(TaskRowBuilder, ColumnsTakeTheirControlsConverted) {
    ClientGlobals g;
    tavrel::ResetInputs in = g.inputs();
    in.ownerListAvailable = true;
    in.ownerNames = {"bob", "ann", "bob"};
    in.followerTasks = {{4, "Receiver"}};
    TaskEditor e = resetEditor(in);
    e.chooseSchedule(tavrel::SchedTimed);
    e.choose(&S::cboTaskOwner, 2);  // the second "bob"
    e.chooseFollowUp(tavrel::FollowUpProbability);
    e.chooseFollower(1);
    e.choose(&S::cboTaskFUInterval, 4);
    e.choose(&S::cboTaskFUNumber, 58);
    e.choose(&S::cboTaskSearchPriority, 0);
    e.setText(&S::txtTaskFUScore, " 12.5xyz");
    e.setText(&S::txtTaskLabel, "Liver");
    e.setCheck(&S::chkTaskMergeFiles, true);
    e.setCheck(&S::chkTaskAutoPrint, true);
    e.setDate(&S::dtpTaskDate, QDateTime(QDate(2024, 6, 1), QTime(23, 59)));
    e.setDate(&S::dtpTaskTime, QDateTime(QDate(2020, 1, 1), QTime(7, 15, 30)));
    tavrel::ExternalProcessSettings ext;
    ext.stage[tavrel::StagePreTask] = {"backup.sh", 1, 0};
    ext.stage[tavrel::StagePostTask] = {"", 1, 1};  // no command: all three Null
    e.setExternalProcesses(ext);
    e.addDataFile("/data/a.qpl");

    tavrel::RowSources src = sources();
    src.serverUsers = {{"bob", 10, 0, {}, {}}, {"ann", 11, 0, {}, {}}, {"bob", 12, 0, {}, {}}};
    const tavrel::BuildOutcome out = tavrel::buildTaskRows(e.state(), src);
    ASSERT_TRUE(out.ok()) << out.refusal.toStdString();
    const common::TaskRow& r = out.task.row;
    EXPECT_EQ(r.sorvex_user_id, 12);  // the entry chosen, not the first of its name
    EXPECT_EQ(r.follow_up, 2);
    EXPECT_EQ(r.fu_task, "4 Receiver");
    EXPECT_EQ(r.fu_interval, "months");
    EXPECT_EQ(r.fu_number, 59);
    EXPECT_EQ(r.search_priority, -20);
    EXPECT_EQ(r.fu_score, 13);  // the leading number, rounded as the column stores it
    EXPECT_EQ(r.schedule_type, "timed");
    EXPECT_EQ(r.start_time, QDateTime(QDate(2024, 6, 1), QTime(7, 15, 30)));
    EXPECT_EQ(out.task.fileNextAction, r.start_time);  // "timed": the start
    EXPECT_EQ(r.merge_data_files, 1);
    EXPECT_EQ(r.auto_print, 1);
    EXPECT_EQ(r.pre_task_command, "backup.sh");
    EXPECT_EQ(r.pre_task_wait, 1);
    EXPECT_EQ(r.pre_task_halt, 0);
    EXPECT_FALSE(r.post_task_command);
    EXPECT_FALSE(r.post_task_wait);
    EXPECT_FALSE(r.post_task_halt);

    // A follower task merges nothing, whatever the box says.
    e.chooseSchedule(tavrel::SchedFollower);
    const tavrel::BuildOutcome follower = tavrel::buildTaskRows(e.state(), src);
    EXPECT_EQ(follower.task.row.merge_data_files, 0);
    EXPECT_TRUE(follower.task.fileNames.isEmpty());
}

// The owner stored is the server user of the entry chosen, and only while
// the server's list still names that entry as the box shows it.
TEST(TaskRowBuilder, TheOwnerIsTheServerUserOfTheChosenEntry) {
    ClientGlobals g;
    const auto users = [](std::initializer_list<std::pair<const char*, qint32>> entries) {
        QList<common::ServerUser> list;
        for (const auto& [name, id] : entries) {
            common::ServerUser u;
            u.user_name = QString::fromLatin1(name);
            u.user_id = id;
            list << u;
        }
        return list;
    };
    struct Row {
        const char* name;
        bool listAvailable;
        QList<common::ServerUser> serverUsers;
        std::optional<qint32> stored;
    } rows[] = {
        {"the entry chosen, not the first of its name", true, users({{"bob", 10}, {"ann", 11}, {"bob", 12}}), 12},
        {"no owner without the owner list", false, users({{"bob", 10}, {"ann", 11}, {"bob", 12}}), std::nullopt},
        {"a list that names another user there", true, users({{"bob", 10}, {"ann", 11}, {"carl", 12}}), std::nullopt},
        {"a list too short for the entry", true, users({{"bob", 10}, {"ann", 11}}), std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        tavrel::ResetInputs in = g.inputs();
        in.ownerListAvailable = row.listAvailable;
        in.ownerNames = {"bob", "ann", "bob"};
        TaskEditor e = resetEditor(in);
        if (row.listAvailable) e.choose(&S::cboTaskOwner, 2);
        tavrel::RowSources src = sources();
        src.serverUsers = row.serverUsers;
        const tavrel::BuildOutcome out = tavrel::buildTaskRows(e.state(), src);
        ASSERT_TRUE(out.ok()) << out.refusal.toStdString();
        EXPECT_EQ(out.task.row.sorvex_user_id, row.stored);
    }
}

TEST(TaskRowBuilder, MonitorFolderAndWildcardAreTidied) {
    ClientGlobals g;
    struct Case {
        QString path, wild;
        std::optional<QString> stored;
        QString shown, storedWild, shownWild;
    } cases[] = {
        {"/data/in/", " \\*.RAW ", "/data/in", "/data/in", "*.RAW", "*.RAW"},
        {"/data/in", "", "/data/in", "/data/in", "*.*", ""},
        {"/", "/x*", "/", "/", "x*", "x*"},  // a root folder keeps its separator
        {"", "*.dat", std::nullopt, "", "*.dat", "*.dat"},
    };
    for (const Case& c : cases) {
        TaskEditor e = resetEditor(g.inputs());
        e.chooseSchedule(tavrel::SchedMonitor);
        e.setText(&S::txtTaskPath, c.path);
        e.setText(&S::txtTaskWild, c.wild);
        const tavrel::BuildOutcome out = tavrel::buildTaskRows(e.state(), sources());
        ASSERT_TRUE(out.ok()) << c.path.toStdString();
        EXPECT_EQ(out.task.row.monitor_directory, c.stored) << c.path.toStdString();
        EXPECT_EQ(out.task.txtTaskPath, c.shown) << c.path.toStdString();
        EXPECT_EQ(out.task.row.monitor_filename, c.storedWild) << c.wild.toStdString();
        EXPECT_EQ(out.task.txtTaskWild, c.shownWild) << c.wild.toStdString();
    }
}

TEST(TaskRowBuilder, FilterOptionsAndTheSciexLibrarysOwn) {
    ClientGlobals g;
    TaskEditor e = resetEditor(g.inputs());
    tavrel::RowSources src = sources();
    // "--- None ---" with no option string: Null.
    EXPECT_FALSE(tavrel::buildTaskRows(e.state(), src).task.row.filter_options);

    e.chooseFilter(filterItem(e, "AB | MDS Sciex Analyst .WIFF file"));
    src.sciexOwnOptions = true;
    src.sciexVersion = "2.0b25";
    src.sciexValues = "v1;v2";
    src.sciexKeys = "k1;k2";
    // An empty working string stores neither column, whatever the library offers.
    auto r = tavrel::buildTaskRows(e.state(), src).task.row;
    EXPECT_FALSE(r.filter_options);
    EXPECT_FALSE(r.filter_fields);

    src.options[common::FilterAnalyst] = "anything";
    r = tavrel::buildTaskRows(e.state(), src).task.row;
    EXPECT_EQ(r.filter_options, "2.0b25:v1;v2");
    EXPECT_EQ(r.filter_fields, "k1;k2");

    src.sciexOwnOptions = false;
    src.options[common::FilterAnalyst] = "1,2,3";
    r = tavrel::buildTaskRows(e.state(), src).task.row;
    EXPECT_EQ(r.filter_options, "1,2,3");
    EXPECT_FALSE(r.filter_fields);
}

TEST(TaskRowBuilder, RefusesWhatNoColumnCanHoldNamingTheField) {
    ClientGlobals g;
    struct Case {
        const char* what;
        std::function<void(TaskEditor&, tavrel::RowSources&)> setUp;
        QString refusalStart;
    } cases[] = {
        {"threshold that is no number", [](TaskEditor& e, tavrel::RowSources&) {
             e.chooseFollowUp(1);  // "If score less than": the threshold is used
             e.setText(&S::txtTaskFUScore, "abc");
         }, "The follow-up threshold \"abc\" is not a number"},
        {"empty threshold", [](TaskEditor& e, tavrel::RowSources&) {
             e.chooseFollowUp(2);
             e.setText(&S::txtTaskFUScore, "  ");
         }, "The follow-up threshold \"  \" is not a number"},
        {"huge score", [](TaskEditor& e, tavrel::RowSources&) { e.setText(&S::txtTaskFUScore, "1e12"); },
         "The follow-up score 1e12 is out of range"},
        {"score below the range", [](TaskEditor& e, tavrel::RowSources&) {
             e.setText(&S::txtTaskFUScore, "-3000000000");
         }, "The follow-up score -3000000000 is out of range"},
        {"long label", [](TaskEditor& e, tavrel::RowSources&) { e.setText(&S::txtTaskLabel, QString(256, 'x')); },
         "The task label is 256 characters long; a task can hold at most 255"},
        {"long wild card", [](TaskEditor& e, tavrel::RowSources&) { e.setText(&S::txtTaskWild, QString(300, '*')); },
         "The wild card is 300 characters long"},
        {"long folder", [](TaskEditor& e, tavrel::RowSources&) {
             e.chooseSchedule(tavrel::SchedMonitor);
             e.setText(&S::txtTaskPath, "/" + QString(260, 'd'));
         }, "The folder to monitor is 261 characters long"},
        {"long options", [](TaskEditor& e, tavrel::RowSources& src) {
             e.chooseFilter(1);
             src.options[common::FilterLcq] = QString(256, '1');
         }, "The options of"},
        {"long file name", [](TaskEditor& e, tavrel::RowSources&) { e.addDataFile("/" + QString(300, 'f')); },
         "The data file name /fff"},
        {"long user name", [](TaskEditor&, tavrel::RowSources& src) { src.localUserName = QString(65, 'u'); },
         "The user name is 65 characters long"},
    };
    for (const Case& c : cases) {
        TaskEditor e = resetEditor(g.inputs());
        tavrel::RowSources src = sources();
        c.setUp(e, src);
        const tavrel::BuildOutcome out = tavrel::buildTaskRows(e.state(), src);
        EXPECT_TRUE(out.refusal.startsWith(c.refusalStart)) << c.what << ": " << out.refusal.toStdString();
    }
    {
        // Without a follow-up condition the threshold is not used, and is stored as 0 as before.
        TaskEditor e = resetEditor(g.inputs());
        e.setText(&S::txtTaskFUScore, "abc");
        const tavrel::BuildOutcome out = tavrel::buildTaskRows(e.state(), sources());
        ASSERT_TRUE(out.ok()) << out.refusal.toStdString();
        EXPECT_EQ(out.task.row.fu_score, 0);
    }
    // The folder name <key> <label> must be one the file system takes.
    EXPECT_TRUE(tavrel::checkFolderName(7, QString(253, 'x')).isEmpty());
    EXPECT_FALSE(tavrel::checkFolderName(70, QString(253, 'x')).isEmpty());
}
