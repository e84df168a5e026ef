// A task row as the editor writes it is the row the service's task start
// reads: every column it takes comes back with the value the editor meant.
#include "EditorAndServiceFixture.h"

#include "platform/AdoRecordset.h"
#include "service/Globals.h"
#include "service/Preferences.h"
#include "servicehost/TaskRowToJob.h"
#include "taskeditor/TaskCreation.h"
#include "taskeditor/TaskEditor.h"

namespace {

using Stage = common::TaskStageId;

class TaskRowReadByService : public editortest::EditorAndService {};

TEST_P(TaskRowReadByService, EveryColumnComesBackAsTheEditorMeantIt) {
    rows->addTask(9, {{"schedule_type", "follower"}, {"task_status", "running"}, {"task_label", "Receiver"}});
    tavrel::TasksRecordset.requery();
    tavrel::ResetInputs in;
    in.offeredFilters = {0, 1, 2};
    in.ownerListAvailable = true;
    in.ownerNames = {"bob", "ann"};
    in.followerTasks = {{9, "Receiver"}};
    in.now = QDateTime(QDate(2024, 5, 6), QTime(14, 30, 15));
    in.defaultParameterSet = parameterFile;
    tavrel::TaskEditor e;
    e.ResetTaskEditor(in);
    using S = tavrel::TaskEditorState;
    e.chooseFilter(2);  // "Masslynx sample list"
    tavrel::ImportFilterOptions[common::FilterMassLynx] = "/data/masslynx/options";
    e.chooseSchedule(tavrel::SchedMonitor);
    e.setText(&S::txtTaskPath, home.file("watched"));
    e.setText(&S::txtTaskWild, "*.SPL");
    e.setCheck(&S::chkTaskSubDir, true);
    e.chooseFollowUp(tavrel::FollowUpScore);
    e.setText(&S::txtTaskFUScore, "35");
    e.chooseFollower(1);
    e.setCheck(&S::chkTaskFUDiscard, true);
    e.choose(&S::cboTaskSearchPriority, 15);
    e.choose(&S::cboTaskOwner, 1);
    e.setText(&S::txtTaskLabel, "Sample lists");
    e.setCheck(&S::chkTaskAutoPrint, true);
    tavrel::ExternalProcessSettings ext;
    ext.stage[tavrel::StagePreSearch] = {"prepare.sh \"<file>\"", 1, 1};
    ext.stage[tavrel::StagePostTask] = {"notify.sh", 0, 1};
    e.setExternalProcesses(ext);

    tavrel::RunContext context = tavrel::runContextFromClient();
    context.rows.serverUsers = {{"bob", 3, 0, {}, {}}, {"ann", 4, 0, {}, {}}};
    ASSERT_EQ(tavrel::frmMain_CreateTask(e, context), 10) << qPrintable(boxes.texts.join('\n'));

    tavrelsvc::LocalComputerName = "LABPC";
    tavrelsvc::BaseUrl = sim.baseUrl();
    platform::AdoRecordset rs;
    rs.openQuery(rows->connection(), "SELECT * FROM Sorvex_Tavrel_Tasks WHERE task_UID = ?", {10});
    const tavrelsvc::TaskStart start = tavrelsvc::readTaskStart(rs, home.file("qpl/10 Sample lists"));
    const common::TaskSettings& v = start.settings;
    EXPECT_EQ(v.uID, 10);
    EXPECT_EQ(v.task_label, "Sample lists");
    EXPECT_EQ(start.task_status, "new");
    EXPECT_EQ(v.schedule_type, "monitor");
    EXPECT_EQ(v.start_time, in.now);
    EXPECT_EQ(v.parameter_set, parameterFile);
    EXPECT_EQ(v.import_filter, "Masslynx sample list");
    EXPECT_EQ(v.filter_options, "/data/masslynx/options");
    EXPECT_EQ(v.filter_fields, "");
    EXPECT_EQ(v.monitor_directory, home.file("watched"));
    EXPECT_EQ(v.monitor_filename, "*.SPL");
    EXPECT_NE(v.sub_directories, 0);
    EXPECT_EQ(v.new_files_only, 0);  // the sample-list filter unticks it
    EXPECT_EQ(v.merge_data_files, 0);
    EXPECT_EQ(v.search_priority, -5);
    EXPECT_EQ(v.follow_up, 1);
    EXPECT_EQ(v.fu_score, 35);
    EXPECT_EQ(v.fu_task, "9 Receiver");
    EXPECT_NE(v.fu_move, 0);
    EXPECT_EQ(v.fu_repeat, 0);
    EXPECT_NE(v.fu_discard, 0);
    EXPECT_EQ(v.fu_number, 1);
    EXPECT_EQ(v.fu_interval, "days");
    EXPECT_NE(v.auto_print, 0);
    EXPECT_EQ(v.sorvex_user_id, 4);
    EXPECT_EQ(v.stage(Stage::PreTask).command, "");
    EXPECT_EQ(v.stage(Stage::PreSearch).command, "prepare.sh \"<file>\"");
    EXPECT_NE(v.stage(Stage::PreSearch).wait, 0);
    EXPECT_NE(v.stage(Stage::PreSearch).halt, 0);
    EXPECT_EQ(v.stage(Stage::PostTask).command, "notify.sh");
    EXPECT_EQ(v.stage(Stage::PostTask).wait, 0);
    EXPECT_NE(v.stage(Stage::PostTask).halt, 0);
    EXPECT_EQ(start.peak_list_cache, home.file("qpl/10 Sample lists"));
    EXPECT_TRUE(QFileInfo(home.file("qpl/10 Sample lists")).isDir());
    EXPECT_EQ(rows->requestWord(10).toString(), "Run");
}

TAVREL_ON_BOTH_ENGINES(TaskRowReadByService);

}  // namespace
