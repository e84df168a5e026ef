// Loading a stored task into a freshly reset editor: the reverse of the
// mapping by which Run writes the task row and its file rows.
#include "taskeditor/TaskEditor.h"

#include "clientcommon/ComponentProbes.h"
#include "common/ImportFilters.h"
#include "clientcommon/LoadPreferences.h"
#include "common/TaskSettings.h"
#include "common/TaskVocabulary.h"
#include "common/UncName.h"
#include "filteropts/OptionString.h"
#include "platform/Error.h"

#include <algorithm>

namespace tavrel {

using S = TaskEditorState;

namespace {

constexpr long kInvalidValue = 380;  // "Invalid property value", as a control refuses one

int indexOf(const ListControl& list, const QString& text) {
    return static_cast<int>(list.items.indexOf(text));  // exact, the first from index 0
}

bool isFlag(const std::optional<qint16>& v) { return !v || *v == 0 || *v == 1; }

QString localPath(const QString& stored) { return common::modUncName_GetLocalPathFromUnc(stored); }

bool listed(const common::TaskFileRow& file, const QString& filter, bool merged) {
    const QString name = file.file_name.toLower();
    // The rows the service adds for the samples of a sample list, its merged
    // peak list and the further samples of an expanded raw file are its own.
    if (filter == common::filtername::MassLynx && !name.endsWith(QLatin1String(".spl"))) return false;
    if (merged && name.endsWith(QLatin1String("sorvex_tavrel_merge.qpl"))) return false;
    return file.sample_number.value_or(0) <= 1;
}

void check(const common::TaskRow& r) {
    const qint16 followUp = r.follow_up.value_or(0);
    if (followUp < FollowUpNone || followUp > FollowUpProbability)
        throw platform::Error(kInvalidValue, QStringLiteral("Task %1 holds the follow-up condition %2, which this "
                                                            "editor does not know")
                                                 .arg(r.task_UID)
                                                 .arg(followUp));
    if (!isFlag(r.auto_print))
        throw platform::Error(kInvalidValue, QStringLiteral("Task %1 holds the auto-print value %2, which is neither "
                                                            "0 nor 1")
                                                 .arg(r.task_UID)
                                                 .arg(*r.auto_print));
}

int scheduleOption(const QString& type) {
    switch (common::scheduleTypeOf(type).value_or(common::ScheduleType::Now)) {
        case common::ScheduleType::Monitor: return SchedMonitor;
        case common::ScheduleType::Timed: return SchedTimed;
        case common::ScheduleType::Follower: return SchedFollower;
        case common::ScheduleType::Now: break;
    }
    return SchedNow;
}

}  // namespace

void TaskEditor::LoadTaskIntoEditor(const StoredTask& task, const QList<qint32>& ownerIds) {
    const common::TaskRow& r = task.row;
    check(r);
    S& s = state_;

    // The owner, when the server still lists its user id.
    if (s.cboTaskOwner.enabled && r.sorvex_user_id) {
        int found = -1;
        for (int i = 0; i < s.cboTaskOwner.items.size() && i < ownerIds.size(); ++i)
            if (ownerIds[i] == *r.sorvex_user_id) {
                found = i;
                break;
            }
        if (found >= 0) s.cboTaskOwner.current = found;
        else say(QStringLiteral("Warning: not authorised to submit a task using the previous Sorvex user ID: ") +
                 QString::number(*r.sorvex_user_id));
    }

    // The import filter, or the first one when this computer lacks it.
    const QString filter = r.import_filter.value_or(common::NoneChosen);
    int filterItem = indexOf(s.cboTaskFilter, filter);
    const bool filterMissing = filterItem < 0;
    if (filterMissing) {
        say(QStringLiteral("Warning: specified raw data filter (") + filter + QStringLiteral(") not available"));
        filterItem = 0;
    }
    setFilterIndex(filterItem);

    // The task's filter options go to the filter now selected.
    const int k = common::importFilterIndex(s.filterText());
    if (k >= 0) {
        const QString options = r.filter_options.value_or(QString());
        ImportFilterOptions[static_cast<std::size_t>(k)] = options;
        if (k == common::FilterAnalyst && SciexLibraryOwnOptions) {
            const auto library = filteropts::splitLibraryOptions(options);
            if (!library || library->version != SciexLibraryVersion) {
                say(QStringLiteral("Warning: Data import filter options in selected task are for a different "
                                   "version of sorvex.dll, keeping current settings"));
            } else {
                AnalystOptionValues = library->values;
                AnalystOptionKeys = r.filter_fields.value_or(QString());
            }
        }
    }

    // The repeat interval: its unit and its number.
    const QString unit = r.fu_interval.value_or(common::word(common::FollowUpInterval::Days));
    s.cboTaskFUInterval.current = indexOf(s.cboTaskFUInterval, unit);
    if (s.cboTaskFUInterval.current < 0) {
        say(QStringLiteral("Warning: invalid value (") + unit + QStringLiteral(") for follow up interval"));
        s.cboTaskFUInterval.current = 0;
    }
    const QString number = QString::number(r.fu_number.value_or(1));
    s.cboTaskFUNumber.current = indexOf(s.cboTaskFUNumber, number);
    if (s.cboTaskFUNumber.current < 0) {
        say(QStringLiteral("Warning: invalid value (") + number + QStringLiteral(") for follow up number"));
        s.cboTaskFUNumber.current = 0;
    }

    // The follower task, when it is still an active one.
    const QString stored = r.fu_task.value_or(common::NoneChosen);
    const QString follower = looksLikeFollowUpTaskItem(stored) ? stored : common::NoneChosen;
    const int followerItem = indexOf(s.cboTaskFUTask, follower);
    if (followerItem < 0 && r.follow_up.value_or(0) > 0)
        say(QStringLiteral("Warning: Task ") + stored + QStringLiteral(" is not an active task"));
    s.cboTaskFUTask.current = std::max(followerItem, 0);

    // The follow-up condition and the six check boxes, in this order: move and
    // repeat set each other, so the later one decides.
    setFollowUpIndex(r.follow_up.value_or(0));
    const auto on = [](const std::optional<qint16>& v) { return v.value_or(0) != 0; };
    setCheck(&S::chkTaskFUDiscard, on(r.fu_discard));
    setMove(on(r.fu_move));
    setRepeat(on(r.fu_repeat));
    setNewOnly(on(r.new_files_only));
    s.chkTaskSubDir.checked = on(r.sub_directories);
    s.chkTaskMergeFiles.checked = on(r.merge_data_files);

    // The search priority.
    const QString priority = QString::number(r.search_priority.value_or(0));
    s.cboTaskSearchPriority.current = indexOf(s.cboTaskSearchPriority, priority);
    if (s.cboTaskSearchPriority.current < 0) {
        say(QStringLiteral("Warning: invalid value (") + priority + QStringLiteral(") for search priority"));
        s.cboTaskSearchPriority.current = 20;
    }

    // The monitored folder, the start and the data files.
    if (r.monitor_directory) s.txtTaskPath.text = localPath(*r.monitor_directory);
    s.dtpTaskDate.value = r.start_time;
    s.dtpTaskTime.value = r.start_time;
    s.lstTaskFiles.clear();
    // Raw files of a filter this computer lacks would be sent as peak lists
    // under "--- None ---": the copy gets none of them.
    const bool hasListedFiles = std::any_of(task.files.begin(), task.files.end(), [&](const common::TaskFileRow& file) {
        return listed(file, filter, r.merge_data_files.value_or(0) == 1);
    });
    const std::optional<common::ScheduleType> schedule = common::scheduleTypeOf(r.schedule_type);
    const bool fileList = schedule == common::ScheduleType::Now || schedule == common::ScheduleType::Timed;
    if (filterMissing && hasListedFiles && fileList) {
        say(QStringLiteral("Warning: the task's data files are left out, they need the raw data filter (") + filter +
            QStringLiteral(")"));
    } else if (fileList) {
        const QString selected = s.filterText();
        const bool merged = r.merge_data_files.value_or(0) == 1;
        for (const common::TaskFileRow& file : task.files) {
            if (!listed(file, selected, merged)) continue;
            s.lstTaskFiles << (selected == common::filtername::TS2Sorvex ? file.file_name : localPath(file.file_name));
        }
    }

    // The schedule, last of the controls it enables: it shows its own.
    setSchedule(scheduleOption(r.schedule_type));

    // The texts, auto-print and the external processes.
    s.txtTaskFUScore.text = QString::number(r.fu_score.value_or(0));
    s.txtTaskLabel.text = QStringLiteral("Copy of ") +
                          (r.task_label > QStringLiteral(" ") ? r.task_label : QStringLiteral("Untitled"));
    s.txtTaskParam.text = localPath(r.parameter_set);
    s.txtTaskWild.text = r.monitor_filename.value_or(QStringLiteral("*.*"));
    s.chkTaskAutoPrint.checked = on(r.auto_print);
    const auto stage = [](const std::optional<QString>& command, const std::optional<qint16>& wait,
                          const std::optional<qint16>& halt) {
        // The flags become check boxes, which know only 0 and 1.
        return ExternalProcess{command.value_or(QString()), qint16(wait.value_or(0) != 0 ? 1 : 0),
                               qint16(halt.value_or(0) != 0 ? 1 : 0)};
    };
    for (const common::TaskStageId id : common::kTaskStages) {
        const common::ConstTaskStageColumns c = common::stageColumns(r, id);
        s.externalProcesses.stage[static_cast<std::size_t>(id)] = stage(c.command, c.wait, c.halt);
    }
}

}  // namespace tavrel
