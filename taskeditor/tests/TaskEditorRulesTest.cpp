// The reset and the rules that tie the editor's controls together, with the
// chaining they rely on: a value set by a rule runs the rule of its control.
#include "TaskEditorFixture.h"

using namespace taskeditortest;
using tavrel::TaskEditor;

namespace {

int filterItem(const TaskEditor& e, const QString& name) {
    return static_cast<int>(e.state().cboTaskFilter.items.indexOf(name));
}

}  // namespace

TEST(TaskEditorReset, GivesTheControlsOfANewDefaultTask) {
    ClientGlobals g;
    tavrel::ImportFilterDefaultOptions[1] = "1,2,3";
    tavrel::ResetInputs in = g.inputs();
    in.followerTasks = {{4, "Receiver"}, {9, QString()}};
    TaskEditor e = resetEditor(in);
    const S& s = e.state();

    EXPECT_EQ(s.cboTaskFilter.currentText(), "--- None ---");
    EXPECT_EQ(s.cboTaskSearchPriority.items.size(), 21);
    EXPECT_EQ(s.cboTaskSearchPriority.currentText(), "0");
    EXPECT_EQ(s.cboTaskFUInterval.items, QStringList({"minutes", "hours", "days", "weeks", "months"}));
    EXPECT_EQ(s.cboTaskFUInterval.currentText(), "days");
    EXPECT_EQ(s.cboTaskFUNumber.items.size(), 59);
    EXPECT_EQ(s.cboTaskFUNumber.currentText(), "1");
    EXPECT_EQ(s.cboTaskFUTask.items, QStringList({"--- None ---", "4 Receiver", "9 "}));
    EXPECT_EQ(s.cboTaskFUTask.itemData, QList<qint32>({-1, 4, 9}));
    EXPECT_EQ(s.cboTaskFUTask.current, 0);
    EXPECT_EQ(s.cboTaskFU.current, tavrel::FollowUpNone);
    EXPECT_FALSE(s.chkTaskFUDiscard.checked);
    EXPECT_TRUE(s.chkTaskFUMove.checked);
    EXPECT_FALSE(s.chkTaskFURepeat.checked);
    EXPECT_TRUE(s.chkTaskNewOnly.checked);
    EXPECT_FALSE(s.chkTaskMergeFiles.checked);
    EXPECT_FALSE(s.chkTaskSubDir.checked);
    EXPECT_EQ(s.dtpTaskDate.value, QDateTime(QDate(2024, 5, 6), QTime(0, 0)));
    EXPECT_EQ(s.dtpTaskTime.value, in.now);  // the moment of the reset, not of Run
    EXPECT_TRUE(s.lstTaskFiles.isEmpty());
    EXPECT_EQ(s.optTaskSched, tavrel::SchedNow);
    EXPECT_TRUE(s.fileListShown);
    EXPECT_FALSE(s.monitorShown);
    EXPECT_EQ(s.txtTaskFUScore.text, "0");
    EXPECT_EQ(s.txtTaskLabel.text, "Untitled");
    EXPECT_EQ(s.txtTaskParam.text, in.defaultParameterSet);
    EXPECT_EQ(s.txtTaskWild.text, "*.*");
    EXPECT_FALSE(s.chkTaskAutoPrint.checked);
    EXPECT_EQ(s.externalProcesses, tavrel::ExternalProcessSettings{});
    EXPECT_EQ(tavrel::ImportFilterOptions, tavrel::ImportFilterDefaultOptions);
    // With no follow-up condition its controls are greyed but keep their values.
    EXPECT_FALSE(s.chkTaskFUMove.enabled);
    EXPECT_FALSE(s.cboTaskFUTask.enabled);
    EXPECT_FALSE(s.cboTaskFUNumber.enabled);
    EXPECT_TRUE(s.cmdTaskRun.enabled);
}

TEST(TaskEditorReset, OwnerListFollowsTheServersUsers) {
    ClientGlobals g;
    struct Case {
        bool available;
        QStringList names;
        QString preferred;
        bool enabled;
        int chosen;
    } cases[] = {
        {false, {}, "ann", false, -1},                        // no session or security off
        {true, {"bob", "ann", "cy"}, "ann", true, 1},
        {true, {"bob", "cy"}, "ann", true, 0},                // nobody of that name: the first
        {true, {"ann", "bob", "ann"}, "ann", true, 2},        // two of that name: the later
        {true, {"Ann", "bob"}, "ann", true, 0},               // letter case counts
    };
    for (const Case& c : cases) {
        tavrel::ResetInputs in = g.inputs();
        in.ownerListAvailable = c.available;
        in.ownerNames = c.names;
        in.preferredOwner = c.preferred;
        const TaskEditor e = resetEditor(in);
        EXPECT_EQ(e.state().cboTaskOwner.enabled, c.enabled) << c.names.join(',').toStdString();
        EXPECT_EQ(e.state().cboTaskOwner.current, c.chosen) << c.names.join(',').toStdString();
    }
}

TEST(TaskEditorReset, OffersTheFiltersGiven) {
    ClientGlobals g;
    tavrel::ResetInputs in = g.inputs();
    in.offeredFilters = {0, 2};
    EXPECT_EQ(resetEditor(in).state().cboTaskFilter.items, QStringList({"--- None ---", "Masslynx sample list"}));
}

TEST(TaskEditorRules, FilterDecidesOptionsWildcardNewOnlyAndFolderButton) {
    ClientGlobals g;
    TaskEditor e = resetEditor(g.inputs());
    struct Case {
        const char* filter;
        bool options;
        const char* wildcard;
        bool newOnly;
        bool folderAdd;
    } cases[] = {
        {"ThermoFinnigan LCQ / DECA RAW file", true, "*.RAW", true, false},
        {"Masslynx sample list", true, "*.SPL", false, false},
        {"AB | MDS Sciex Analyst .WIFF file", true, "*.WIFF", true, false},
        {"Data Explorer (Voyager) MS data", true, "*.dat", true, false},
        {"Sorvex Quellmark", true, "*.*", true, true},
        {"AB 4000 Series TS2Sorvex", true, "*", false, false},
        {"--- None ---", false, "*.*", true, false},
    };
    for (const Case& c : cases) {
        e.setText(&S::txtTaskWild, "typed*.x");  // replaced on every change of filter
        e.chooseFilter(filterItem(e, c.filter));
        const S& s = e.state();
        EXPECT_EQ(s.cmdTaskOptions.enabled, c.options) << c.filter;
        EXPECT_EQ(s.txtTaskWild.text, c.wildcard) << c.filter;
        EXPECT_EQ(s.chkTaskNewOnly.enabled, c.newOnly) << c.filter;
        EXPECT_EQ(s.chkTaskNewOnly.checked, c.newOnly) << c.filter;
        EXPECT_EQ(s.cmdTaskFolderAdd.enabled, c.folderAdd) << c.filter;
    }
}

TEST(TaskEditorRules, TheDataBrowserFilterAndTheMonitorNeverStandTogether) {
    ClientGlobals g;
    TaskEditor e = resetEditor(g.inputs());
    e.chooseSchedule(tavrel::SchedMonitor);
    EXPECT_TRUE(e.state().monitorShown);
    e.chooseFilter(filterItem(e, "AB 4000 Series TS2Sorvex"));
    EXPECT_EQ(e.state().optTaskSched, tavrel::SchedNow);
    EXPECT_TRUE(e.state().fileListShown);
    EXPECT_FALSE(e.state().monitorShown);

    e.chooseSchedule(tavrel::SchedMonitor);
    const S& s = e.state();
    EXPECT_EQ(s.filterText(), "--- None ---");
    EXPECT_EQ(s.txtTaskWild.text, "*.*");
    EXPECT_TRUE(s.chkTaskNewOnly.enabled);
    EXPECT_TRUE(s.chkTaskNewOnly.checked);
    EXPECT_FALSE(s.cmdTaskOptions.enabled);
}

TEST(TaskEditorRules, ScheduleShowsItsControls) {
    ClientGlobals g;
    TaskEditor e = resetEditor(g.inputs());
    e.chooseFilter(filterItem(e, "Sorvex Quellmark"));

    e.chooseSchedule(tavrel::SchedTimed);
    EXPECT_TRUE(e.state().dtpTaskDate.enabled);
    EXPECT_TRUE(e.state().dtpTaskTime.enabled);
    EXPECT_TRUE(e.state().fileListShown);

    e.chooseSchedule(tavrel::SchedFollower);
    const S& f = e.state();
    EXPECT_TRUE(f.followerNoteShown);
    EXPECT_FALSE(f.fileListShown);
    EXPECT_FALSE(f.dtpTaskDate.enabled);
    EXPECT_EQ(f.filterText(), "--- None ---");
    EXPECT_FALSE(f.cboTaskFilter.enabled);

    // Another schedule gives the filter list back, still at "--- None ---".
    e.chooseSchedule(tavrel::SchedNow);
    EXPECT_TRUE(e.state().cboTaskFilter.enabled);
    EXPECT_EQ(e.state().filterText(), "--- None ---");
    EXPECT_FALSE(e.state().dtpTaskTime.enabled);
}

TEST(TaskEditorRules, RepeatAndPassDataAreAPairOfWhichOneIsTicked) {
    ClientGlobals g;
    TaskEditor e = resetEditor(g.inputs());
    e.chooseFollowUp(tavrel::FollowUpScore);
    ASSERT_TRUE(e.state().chkTaskFUMove.checked);
    EXPECT_TRUE(e.state().cboTaskFUTask.enabled);
    EXPECT_FALSE(e.state().cboTaskFUNumber.enabled);

    e.clickRepeat(true);
    EXPECT_FALSE(e.state().chkTaskFUMove.checked);
    EXPECT_TRUE(e.state().cboTaskFUNumber.enabled);
    EXPECT_TRUE(e.state().cboTaskFUInterval.enabled);
    EXPECT_FALSE(e.state().cboTaskFUTask.enabled);

    e.clickMove(false);  // unticking one ticks the other
    EXPECT_TRUE(e.state().chkTaskFURepeat.checked);
    e.clickRepeat(false);
    EXPECT_TRUE(e.state().chkTaskFUMove.checked);
    EXPECT_FALSE(e.state().cboTaskFUNumber.enabled);

    // Back to no follow-up: greyed, values kept, the lists greyed too.
    e.setCheck(&S::chkTaskFUDiscard, true);
    e.chooseFollowUp(tavrel::FollowUpNone);
    const S& s = e.state();
    EXPECT_FALSE(s.chkTaskFUDiscard.enabled);
    EXPECT_TRUE(s.chkTaskFUDiscard.checked);
    EXPECT_FALSE(s.txtTaskFUScore.enabled);
    EXPECT_TRUE(s.chkTaskFUMove.checked);
    EXPECT_FALSE(s.cboTaskFUTask.enabled);
    EXPECT_FALSE(s.cboTaskFUNumber.enabled);
}
