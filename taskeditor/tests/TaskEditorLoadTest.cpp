// Loading a stored task into the reset editor (Clone), from the rows as the
// database holds them.
#include "TaskEditorFixture.h"

#include "platform/AdoErrors.h"
#include "taskeditor/TaskEditorSources.h"

using namespace taskeditortest;
using tavrel::TaskEditor;

class TaskEditorLoad : public ClientDatabase {
protected:
    // Reset (with the shared recordset read again), then load.
    TaskEditor load(int uid, tavrel::ResetInputs in = {}, const QList<qint32>& ownerIds = {}) {
        if (in.offeredFilters.isEmpty()) in = g->inputs();
        TaskEditor e = resetEditor(in);
        tavrel::TasksRecordset.requery();
        e.LoadTaskIntoEditor(tavrel::storedTaskFromDatabase(uid), ownerIds);
        return e;
    }
    QStringList warnings(TaskEditor& e) {
        QStringList texts;
        for (const auto& m : e.takeMessages()) texts << m.text;
        return texts;
    }
};

TEST_P(TaskEditorLoad, EachScheduleKindComesBackWithItsControls) {
    insertTask(1, {{"schedule_type", "now"}, {"task_label", "Liver"}, {"merge_data_files", 1}});
    insertFile(1, 1, "/data/a.qpl");
    insertFile(2, 1, "/data/b.qpl");
    insertFile(3, 1, "/qpl/1 Liver/sorvex_tavrel_merge.qpl");  // the service's merged list
    insertTask(2, {{"schedule_type", "timed"}, {"start_time", QDateTime(QDate(2024, 7, 1), QTime(6, 30))}});
    insertFile(4, 2, "/data/c.qpl");
    insertTask(3, {{"schedule_type", "monitor"}, {"monitor_directory", "/data/in"}, {"monitor_filename", "*.RAW"},
                   {"sub_directories", 1}, {"new_files_only", 0}, {"import_filter", "ThermoFinnigan LCQ / DECA RAW file"}});
    insertFile(5, 3, "/data/in/found.raw");  // a monitor lists no files
    insertTask(4, {{"schedule_type", "follower"}, {"task_label", " "}});
    struct Case {
        int uid;
        int option;
        QStringList files;
        QString label;
    } cases[] = {
        {1, tavrel::SchedNow, {"/data/a.qpl", "/data/b.qpl"}, "Copy of Liver"},
        {2, tavrel::SchedTimed, {"/data/c.qpl"}, "Copy of Task 2"},
        {3, tavrel::SchedMonitor, {}, "Copy of Task 3"},
        {4, tavrel::SchedFollower, {}, "Copy of Untitled"},
    };
    for (const Case& c : cases) {
        TaskEditor e = load(c.uid);
        const S& s = e.state();
        EXPECT_EQ(s.optTaskSched, c.option) << c.uid;
        EXPECT_EQ(s.lstTaskFiles, c.files) << c.uid;
        EXPECT_EQ(s.txtTaskLabel.text, c.label) << c.uid;
        EXPECT_EQ(s.txtTaskParam.text, g->parameterFile) << c.uid;
        EXPECT_TRUE(warnings(e).isEmpty()) << c.uid;
    }
    const TaskEditor timed = load(2);
    EXPECT_EQ(timed.state().dtpTaskDate.value, QDateTime(QDate(2024, 7, 1), QTime(6, 30)));
    EXPECT_TRUE(timed.state().dtpTaskTime.enabled);
    const TaskEditor monitor = load(3);
    EXPECT_EQ(monitor.state().filterText(), "ThermoFinnigan LCQ / DECA RAW file");
    EXPECT_EQ(monitor.state().txtTaskPath.text, "/data/in");
    EXPECT_EQ(monitor.state().txtTaskWild.text, "*.RAW");
    EXPECT_TRUE(monitor.state().chkTaskSubDir.checked);
    EXPECT_FALSE(monitor.state().chkTaskNewOnly.checked);
    EXPECT_TRUE(monitor.state().monitorShown);
    const TaskEditor follower = load(4);
    EXPECT_FALSE(follower.state().cboTaskFilter.enabled);
}

TEST_P(TaskEditorLoad, EachFollowUpKindComesBack) {
    insertTask(9, {{"schedule_type", "follower"}, {"task_status", "running"}, {"task_label", "Receiver"}});
    insertTask(1, {{"follow_up", 0}});
    insertTask(2, {{"follow_up", 1}, {"fu_score", 40}, {"fu_move", 1}, {"fu_repeat", 0}, {"fu_task", "9 Receiver"},
                   {"fu_discard", 1}});
    insertTask(3, {{"follow_up", 2}, {"fu_score", 1000}, {"fu_move", 0}, {"fu_repeat", 1}, {"fu_number", 12},
                   {"fu_interval", "months"}});
    tavrel::ResetInputs in = g->inputs();
    in.followerTasks = {{9, "Receiver"}};
    struct Case {
        int uid, condition;
        bool move, repeat, discard;
        QString score, follower, number, unit;
    } cases[] = {
        {1, 0, true, false, false, "0", "--- None ---", "1", "days"},
        {2, 1, true, false, true, "40", "9 Receiver", "1", "days"},
        {3, 2, false, true, false, "1000", "--- None ---", "12", "months"},
    };
    for (const Case& c : cases) {
        TaskEditor e = load(c.uid, in);
        const S& s = e.state();
        EXPECT_EQ(s.cboTaskFU.current, c.condition) << c.uid;
        EXPECT_EQ(s.chkTaskFUMove.checked, c.move) << c.uid;
        EXPECT_EQ(s.chkTaskFURepeat.checked, c.repeat) << c.uid;
        EXPECT_EQ(s.chkTaskFUDiscard.checked, c.discard) << c.uid;
        EXPECT_EQ(s.txtTaskFUScore.text, c.score) << c.uid;
        EXPECT_EQ(s.cboTaskFUTask.currentText(), c.follower) << c.uid;
        EXPECT_EQ(s.cboTaskFUNumber.currentText(), c.number) << c.uid;
        EXPECT_EQ(s.cboTaskFUInterval.currentText(), c.unit) << c.uid;
        EXPECT_EQ(s.cboTaskFUNumber.enabled, c.repeat) << c.uid;
        EXPECT_EQ(s.cboTaskFUTask.enabled, c.condition != 0 && c.move) << c.uid;
        EXPECT_TRUE(warnings(e).isEmpty()) << c.uid;
    }
}

TEST_P(TaskEditorLoad, ACloneOfAFilterThisComputerLacksKeepsNoRawFiles) {
    insertTask(1, {{"import_filter", "AB | MDS Sciex Analyst .WIFF file"}, {"schedule_type", "now"}});
    insertFile(1, 1, "/data/run.wiff");
    insertFile(2, 1, "/data/other.wiff");
    tavrel::ResetInputs in = g->inputs();
    in.offeredFilters = {0, 2};  // no WIFF library on this computer
    TaskEditor e = load(1, in);
    EXPECT_EQ(warnings(e), (QStringList{"Warning: specified raw data filter (AB | MDS Sciex Analyst .WIFF file) not available",
                                        "Warning: the task's data files are left out, they need the raw data filter "
                                        "(AB | MDS Sciex Analyst .WIFF file)"}));
    EXPECT_EQ(e.state().filterText(), "--- None ---");
    EXPECT_TRUE(e.state().lstTaskFiles.isEmpty()) << "raw files would be searched as peak lists";

    in.offeredFilters = g->inputs().offeredFilters;
    in.offeredFilters.append(common::FilterAnalyst);
    EXPECT_EQ(load(1, in).state().lstTaskFiles, (QStringList{"/data/run.wiff", "/data/other.wiff"}));
}

TEST_P(TaskEditorLoad, ValuesThatNoLongerFitWarnAndKeepTheResetsChoice) {
    insertTask(1, {{"import_filter", "Sorvex Quellmark"}, {"filter_options", "q,1,2"}});
    insertTask(2, {{"fu_interval", "fortnights"}, {"fu_number", 60}, {"search_priority", 5}});
    insertTask(3, {{"follow_up", 2}, {"fu_task", "7 Gone"}});
    insertTask(4, {{"follow_up", 0}, {"fu_task", "7 Gone"}});
    insertTask(5, {{"follow_up", 1}, {"fu_task", "--- None ---"}});
    insertTask(6, {{"sorvex_user_id", 77}});
    tavrel::ResetInputs in = g->inputs();
    in.offeredFilters = {0, 2};  // Quellmark is not on this computer
    in.ownerListAvailable = true;
    in.ownerNames = {"ann", "bob"};
    struct Case {
        int uid;
        QStringList warnings;
    } cases[] = {
        {1, {"Warning: specified raw data filter (Sorvex Quellmark) not available"}},
        {2,
         {"Warning: invalid value (fortnights) for follow up interval", "Warning: invalid value (60) for follow up number",
          "Warning: invalid value (5) for search priority"}},
        {3, {"Warning: Task 7 Gone is not an active task"}},
        {4, {}},
        {5, {}},
        {6, {"Warning: not authorised to submit a task using the previous Sorvex user ID: 77"}},
    };
    for (const Case& c : cases) {
        TaskEditor e = load(c.uid, in, {11, 12});
        EXPECT_EQ(warnings(e), c.warnings) << c.uid;
    }
    TaskEditor quellmark = load(1, in);
    EXPECT_EQ(quellmark.state().filterText(), "--- None ---");
    // The stored options land in the working string of the filter now chosen.
    EXPECT_EQ(tavrel::ImportFilterOptions[common::FilterNone], "q,1,2");
    EXPECT_EQ(tavrel::ImportFilterOptions[common::FilterQuellmark],
              tavrel::ImportFilterDefaultOptions[common::FilterQuellmark]);
    const TaskEditor odd = load(2, in);
    EXPECT_EQ(odd.state().cboTaskFUInterval.currentText(), "minutes");
    EXPECT_EQ(odd.state().cboTaskFUNumber.currentText(), "1");
    EXPECT_EQ(odd.state().cboTaskSearchPriority.currentText(), "0");
    EXPECT_EQ(load(6, in, {11, 12}).state().cboTaskOwner.current, 0);

    insertTask(7, {{"sorvex_user_id", 12}});
    EXPECT_EQ(load(7, in, {11, 12}).state().cboTaskOwner.current, 1);
}

TEST_P(TaskEditorLoad, TheSciexLibrarysOwnOptionsComeBackOnlyForItsVersion) {
    tavrel::SciexLibraryOwnOptions = true;
    tavrel::SciexLibraryVersion = "2.0b25";
    tavrel::AnalystOptionValues = "before";
    tavrel::AnalystOptionKeys = "before-keys";
    const QString analyst = common::filtername::Analyst;
    insertTask(1, {{"import_filter", analyst}, {"filter_options", "2.0b25:a:b"}, {"filter_fields", "k"}});
    insertTask(2, {{"import_filter", analyst}, {"filter_options", "1.9b30:x"}});
    insertTask(3, {{"import_filter", analyst}});
    const QString warning = "Warning: Data import filter options in selected task are for a different version of "
                            "sorvex.dll, keeping current settings";

    TaskEditor e = load(2);
    EXPECT_EQ(warnings(e), QStringList({warning}));
    EXPECT_EQ(tavrel::ImportFilterOptions[common::FilterAnalyst], "1.9b30:x");
    EXPECT_EQ(tavrel::AnalystOptionValues, "before");
    TaskEditor empty = load(3);
    EXPECT_EQ(warnings(empty), QStringList({warning}));

    TaskEditor same = load(1);
    EXPECT_TRUE(warnings(same).isEmpty());
    EXPECT_EQ(tavrel::AnalystOptionValues, "a:b");  // values may hold ":" themselves
    EXPECT_EQ(tavrel::AnalystOptionKeys, "k");
    // A new task keeps what the clone brought.
    resetEditor(g->inputs());
    EXPECT_EQ(tavrel::AnalystOptionValues, "a:b");
}

TEST_P(TaskEditorLoad, OnlyTheDataFilesTheUserChoseAreListed) {
    insertTask(1, {{"import_filter", "Masslynx sample list"}, {"schedule_type", "timed"}});
    insertFile(1, 1, "/data/run.SPL");
    insertFile(2, 1, "/data/run_1.pkl");
    insertTask(2, {{"import_filter", "AB | MDS Sciex Analyst .WIFF file"}});
    insertFile(3, 2, "/data/x.wiff", 1);
    insertFile(4, 2, "/data/x.wiff", 2);
    insertFile(5, 2, "/data/x.wiff", 3);
    insertFile(6, 2, "/data/sorvex_tavrel_merge.qpl");  // not merged: a file of the user's
    tavrel::ResetInputs in = g->inputs();
    EXPECT_EQ(load(1, in).state().lstTaskFiles, QStringList({"/data/run.SPL"}));
    EXPECT_EQ(load(2, in).state().lstTaskFiles, QStringList({"/data/x.wiff", "/data/sorvex_tavrel_merge.qpl"}));
}

TEST_P(TaskEditorLoad, AGoneOrOddTaskIsRefusedBeforeAnythingChanges) {
    insertTask(1, {{"follow_up", 5}});
    insertTask(2, {{"auto_print", 3}});
    insertTask(3, {{"follow_up", 1}, {"auto_print", 1}, {"task_label", "Fine"}});
    struct Case {
        int uid;
        long number;
    } cases[] = {{1, 380}, {2, 380}, {8, platform::adoerr::NoCurrentRecord}};
    for (const Case& c : cases) {
        TaskEditor e = resetEditor(g->inputs());
        const TaskEditorState before = e.state();
        tavrel::TasksRecordset.requery();
        long number = 0;
        try {
            e.LoadTaskIntoEditor(tavrel::storedTaskFromDatabase(c.uid), {});
        } catch (const platform::Error& error) {
            number = error.number();
        }
        EXPECT_EQ(number, c.number) << c.uid;
        EXPECT_EQ(e.state(), before) << c.uid;
    }
    EXPECT_TRUE(load(3).state().chkTaskAutoPrint.checked);
}

TAVREL_ON_BOTH_ENGINES(TaskEditorLoad);
