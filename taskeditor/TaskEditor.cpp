// The rules that tie the editor's controls together, and what the user does.
#include "taskeditor/TaskEditor.h"

#include "common/ImportFilters.h"

#include <QRegularExpression>

#include <algorithm>

namespace tavrel {

using S = TaskEditorState;

namespace {

struct FilterRule {
    const QString* filter;
    bool options;
    const char* wildcard;
    bool newOnly;  // enabled and ticked, else disabled and unticked
    bool folderAdd;
};

const FilterRule kFilterRules[] = {
    {&common::filtername::None, false, "*.*", true, false},
    {&common::filtername::Lcq, true, "*.RAW", true, false},
    {&common::filtername::MassLynx, true, "*.SPL", false, false},
    {&common::filtername::Analyst, true, "*.WIFF", true, false},
    {&common::filtername::Voyager, true, "*.dat", true, false},
    {&common::filtername::Quellmark, true, "*.*", true, true},
    {&common::filtername::TS2Sorvex, true, "*", false, false},
};

}  // namespace

QString followUpTaskItem(qint32 taskUid, const QString& label) {
    return QString::number(taskUid) + QLatin1Char(' ') + label;
}

bool looksLikeFollowUpTaskItem(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^[0-9].* "), QRegularExpression::DotMatchesEverythingOption);
    return form.match(text).hasMatch();
}

TaskEditor::TaskEditor() {
    // Until the first reset the editor offers nothing to run.
    state_.cmdTaskRun.enabled = false;
}

EditorMessages TaskEditor::takeMessages() { return std::exchange(messages_, {}); }

void TaskEditor::say(const QString& text) { messages_.append({text, platform::vbOKOnly}); }

// ---- The rules ----

void TaskEditor::cboTaskFilter_Click() {
    state_.cmdTaskFolderAdd.enabled = false;
    const QString filter = state_.filterText();
    for (const FilterRule& rule : kFilterRules) {
        if (filter != *rule.filter) continue;
        state_.cmdTaskOptions.enabled = rule.options;
        state_.txtTaskWild.text = QString::fromLatin1(rule.wildcard);
        state_.chkTaskNewOnly.enabled = rule.newOnly;
        setNewOnly(rule.newOnly);
        state_.cmdTaskFolderAdd.enabled = rule.folderAdd;
        // The 4000 Series data sets cannot be watched in a folder.
        if (rule.filter == &common::filtername::TS2Sorvex && state_.optTaskSched == SchedMonitor)
            setSchedule(SchedNow);
        return;
    }
}

void TaskEditor::optTaskSched_Click() {
    S& s = state_;
    s.monitorShown = false;
    s.fileListShown = false;
    s.dtpTaskTime.enabled = false;
    s.dtpTaskDate.enabled = false;
    s.followerNoteShown = false;
    s.cboTaskFilter.enabled = true;
    if (s.optTaskSched == SchedNow || s.optTaskSched == SchedTimed) {
        s.fileListShown = true;
        if (s.optTaskSched == SchedTimed) {
            s.dtpTaskTime.enabled = true;
            s.dtpTaskDate.enabled = true;
        }
    } else if (s.optTaskSched == SchedMonitor) {
        s.monitorShown = true;
        if (s.filterText() == common::filtername::TS2Sorvex) setFilterIndex(0);
    } else {
        s.followerNoteShown = true;
        setFilterIndex(0);
        s.cboTaskFilter.enabled = false;
    }
}

void TaskEditor::cboTaskFU_Click() {
    S& s = state_;
    const bool on = s.cboTaskFU.current != FollowUpNone;
    s.txtTaskFUScore.enabled = on;
    s.chkTaskFUDiscard.enabled = on;
    s.chkTaskFURepeat.enabled = on;
    s.chkTaskFUMove.enabled = on;
    if (s.chkTaskFURepeat.checked) setMove(false);
    if (s.chkTaskFUMove.checked) setRepeat(false);
    chkTaskFURepeat_Click();
    chkTaskFUMove_Click();
}

void TaskEditor::chkTaskFURepeat_Click() {
    S& s = state_;
    setMove(!s.chkTaskFURepeat.checked);
    const bool on = s.chkTaskFURepeat.checked && s.chkTaskFURepeat.enabled;
    s.cboTaskFUNumber.enabled = on;
    s.cboTaskFUInterval.enabled = on;
}

void TaskEditor::chkTaskFUMove_Click() {
    S& s = state_;
    setRepeat(!s.chkTaskFUMove.checked);
    s.cboTaskFUTask.enabled = s.chkTaskFUMove.checked && s.chkTaskFUMove.enabled;
}

// ---- Values set by code ----

void TaskEditor::setFilterIndex(int index) {
    if (state_.cboTaskFilter.current == index) return;
    state_.cboTaskFilter.current = index;
    cboTaskFilter_Click();
}

void TaskEditor::setSchedule(int option) {
    if (state_.optTaskSched == option) return;
    state_.optTaskSched = option;
    optTaskSched_Click();
}

void TaskEditor::setFollowUpIndex(int index) {
    if (state_.cboTaskFU.current == index) return;
    state_.cboTaskFU.current = index;
    cboTaskFU_Click();
}

void TaskEditor::setRepeat(bool checked) {
    if (state_.chkTaskFURepeat.checked == checked) return;
    state_.chkTaskFURepeat.checked = checked;
    chkTaskFURepeat_Click();
}

void TaskEditor::setMove(bool checked) {
    if (state_.chkTaskFUMove.checked == checked) return;
    state_.chkTaskFUMove.checked = checked;
    chkTaskFUMove_Click();
}

void TaskEditor::setNewOnly(bool checked) { state_.chkTaskNewOnly.checked = checked; }

void TaskEditor::refill(ListControl S::*control, const QStringList& items, int select) {
    ListControl& list = state_.*control;
    list.items = items;
    list.current = -1;
    if (control == &S::cboTaskFilter) setFilterIndex(select);
    else if (control == &S::cboTaskFU) setFollowUpIndex(select);
    else list.current = select;
}

void TaskEditor::fillFollowerList(const QList<QPair<qint32, QString>>& followerTasks) {
    FollowerListControl& list = state_.cboTaskFUTask;
    list.items = {common::NoneChosen};
    list.itemData = {-1};
    for (const auto& [uid, label] : followerTasks) {
        list.items << followUpTaskItem(uid, label);
        list.itemData << uid;
    }
    list.current = 0;
}

// ---- What the user does ----

void TaskEditor::chooseFilter(int index) {
    if (index >= 0 && index < state_.cboTaskFilter.items.size()) setFilterIndex(index);
}

void TaskEditor::chooseSchedule(int option) {
    if (option >= SchedNow && option <= SchedFollower) setSchedule(option);
}

void TaskEditor::chooseFollowUp(int index) {
    if (index >= 0 && index < state_.cboTaskFU.items.size()) setFollowUpIndex(index);
}

void TaskEditor::clickRepeat(bool checked) { setRepeat(checked); }

void TaskEditor::clickMove(bool checked) { setMove(checked); }

void TaskEditor::setCheck(CheckControl S::*control, bool checked) {
    if (control == &S::chkTaskFURepeat) setRepeat(checked);
    else if (control == &S::chkTaskFUMove) setMove(checked);
    else (state_.*control).checked = checked;
}

void TaskEditor::setText(TextControl S::*control, const QString& text) { (state_.*control).text = text; }

void TaskEditor::choose(ListControl S::*control, int index) {
    if (control == &S::cboTaskFilter) return chooseFilter(index);
    if (control == &S::cboTaskFU) return chooseFollowUp(index);
    ListControl& list = state_.*control;
    if (index >= 0 && index < list.items.size()) list.current = index;
}

void TaskEditor::chooseFollower(int index) {
    if (index >= 0 && index < state_.cboTaskFUTask.items.size()) state_.cboTaskFUTask.current = index;
}

void TaskEditor::setDate(DateControl S::*control, const QDateTime& value) { (state_.*control).value = value; }

void TaskEditor::setExternalProcesses(const ExternalProcessSettings& settings) {
    state_.externalProcesses = settings;
}

void TaskEditor::addDataFile(const QString& item) { state_.lstTaskFiles.append(item); }

void TaskEditor::removeDataFiles(const QList<int>& selectedRows) {
    QList<int> rows = selectedRows;
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int row : rows)
        if (row >= 0 && row < state_.lstTaskFiles.size()) state_.lstTaskFiles.removeAt(row);
}

void TaskEditor::setMonitorFolder(const QString& folder) {
    if (!folder.isEmpty()) state_.txtTaskPath.text = folder;
}

void TaskEditor::setParameterFile(const QString& path) {
    if (!path.isEmpty()) state_.txtTaskParam.text = path;
}

void TaskEditor::setRunEnabled(bool enabled) { state_.cmdTaskRun.enabled = enabled; }

void TaskEditor::rebuildFollowerList(const QList<QPair<qint32, QString>>& followerTasks) {
    const int remembered = state_.cboTaskFUTask.current;
    fillFollowerList(followerTasks);
    if (remembered >= 0 && remembered < state_.cboTaskFUTask.items.size()) state_.cboTaskFUTask.current = remembered;
}

}  // namespace tavrel
