// The editor's reset to a new default task: the only place where its lists
// are built.
#include "taskeditor/TaskEditor.h"

#include "common/ImportFilters.h"
#include "clientcommon/LoadPreferences.h"
#include "common/TaskVocabulary.h"

namespace tavrel {

using S = TaskEditorState;

namespace {

QStringList numberItems(int first, int last) {
    QStringList items;
    for (int n = first; n <= last; ++n) items << QString::number(n);
    return items;
}

}  // namespace

QStringList followUpConditionItems() {
    return {QStringLiteral("No follow-up required"), QStringLiteral("If score less than"),
            QStringLiteral("If probability that match is random > 1 in")};
}

void TaskEditor::ResetTaskEditor(const ResetInputs& in) {
    S& s = state_;

    // The owner list, only with the server's user list.
    s.cboTaskOwner = ListControl{};
    s.cboTaskOwner.enabled = false;
    if (in.ownerListAvailable && !in.ownerNames.isEmpty()) {
        s.cboTaskOwner.enabled = true;
        s.cboTaskOwner.items = in.ownerNames;
        int chosen = 0;
        for (int i = 0; i < in.ownerNames.size(); ++i)
            if (in.ownerNames[i] == in.preferredOwner) chosen = i;  // the last equal one
        s.cboTaskOwner.current = chosen;
    }

    // The import filters this computer can run.
    QStringList filters;
    for (int index : in.offeredFilters) filters << common::importFilterName(index);
    refill(&S::cboTaskFilter, filters, 0);

    // The fixed lists: search priority, repeat unit and repeat number.
    refill(&S::cboTaskSearchPriority, numberItems(-20, 0), 20);
    using common::FollowUpInterval;
    refill(&S::cboTaskFUInterval,
           {common::word(FollowUpInterval::Minutes), common::word(FollowUpInterval::Hours),
            common::word(FollowUpInterval::Days), common::word(FollowUpInterval::Weeks),
            common::word(FollowUpInterval::Months)},
           2);
    refill(&S::cboTaskFUNumber, numberItems(1, 59), 0);

    // The follower tasks that may receive data.
    fillFollowerList(in.followerTasks);

    // The follow-up condition.
    refill(&S::cboTaskFU, followUpConditionItems(), FollowUpNone);

    // The check boxes and the monitored folder, in this order: move and repeat
    // set each other, so the later one decides.
    setCheck(&S::chkTaskFUDiscard, false);
    setMove(true);
    setRepeat(false);
    setNewOnly(true);
    s.chkTaskMergeFiles.checked = false;
    s.txtTaskPath.text.clear();
    s.chkTaskSubDir.checked = false;

    // The start offered is the moment of the reset.
    s.dtpTaskDate.value = QDateTime(in.now.date(), QTime(0, 0));
    s.dtpTaskTime.value = in.now;

    // No data files; "Start now", its rule run even when it was chosen already.
    s.lstTaskFiles.clear();
    s.optTaskSched = SchedNow;
    optTaskSched_Click();

    // The texts, auto-print, the external processes and the filters' default options.
    s.txtTaskFUScore.text = QStringLiteral("0");
    s.txtTaskLabel.text = QStringLiteral("Untitled");
    s.txtTaskParam.text = in.defaultParameterSet;
    s.txtTaskWild.text = QStringLiteral("*.*");
    s.chkTaskAutoPrint.checked = false;
    s.externalProcesses = ExternalProcessSettings{};
    ImportFilterOptions = ImportFilterDefaultOptions;

    s.cmdTaskRun.enabled = true;
}

}  // namespace tavrel
