#include "taskeditor/TaskRowBuilder.h"

#include "clientcommon/ComponentProbes.h"
#include "clientcommon/Globals.h"
#include "common/ImportFilters.h"
#include "common/PeakListFolders.h"
#include "common/TaskDbTables.h"
#include "common/TaskSettings.h"
#include "common/TaskVocabulary.h"
#include "common/UncName.h"
#include "filteropts/NumberText.h"
#include "filteropts/OptionString.h"
#include "clientcommon/ClientClock.h"
#include "taskeditor/TaskChecks.h"
#include "taskeditor/TaskEditorState.h"

#include <cmath>
#include <limits>

namespace tavrel {

namespace {

QString lengthRefusal(const QString& what, const QString& value, int capacity) {
    return QStringLiteral("%1 is %2 characters long; a task can hold at most %3")
        .arg(what)
        .arg(value.size())
        .arg(capacity);
}

qint16 flag(const CheckControl& c) { return c.checked ? 1 : 0; }

// A stage's three columns, all Null without a command.
void setStageColumns(const ExternalProcess& p, const common::TaskStageColumns& columns) {
    if (p.command.isEmpty()) return;
    columns.command = p.command;
    columns.wait = p.wait != 0 ? 1 : 0;
    columns.halt = p.halt != 0 ? 1 : 0;
}

QString scheduleType(int option) {
    switch (option) {
        case SchedNow: return common::word(common::ScheduleType::Now);
        case SchedMonitor: return common::word(common::ScheduleType::Monitor);
        case SchedTimed: return common::word(common::ScheduleType::Timed);
        default: return common::word(common::ScheduleType::Follower);
    }
}

// Whole numbers as the database rounds them: half away from zero.
std::optional<qint64> whole(double d) {
    if (!std::isfinite(d)) return std::nullopt;
    const double r = std::round(d);
    if (r < -9.2e18 || r > 9.2e18) return std::nullopt;
    return static_cast<qint64>(r);
}

template <class Int>
std::optional<Int> fitted(std::optional<qint64> n, qint64 low, qint64 high) {
    if (!n || *n < low || *n > high) return std::nullopt;
    return static_cast<Int>(*n);
}

QString withoutTrailingSeparator(const QString& path) {
    // A root folder keeps its separator: "/" alone is the whole path.
    if (path.size() > 1 && (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\'))))
        return path.chopped(1);
    return path;
}

}  // namespace

int taskColumnLength(const QString& column) { return common::columnLength(common::kTasksTable, column); }

int fileColumnLength(const QString& column) { return common::columnLength(common::kFilesTable, column); }

RowSources rowSourcesFromClient() {
    return {LocalUserName,   LocalComputerName,   ServerUser,        ImportFilterOptions, SciexLibraryOwnOptions,
            SciexLibraryVersion, AnalystOptionValues, AnalystOptionKeys, clientNow()};
}

QString peakListFolderRefusal(qint32 taskUid, const QString& label, common::PeakListFolderRefusal refusal) {
    switch (refusal) {
        case common::PeakListFolderRefusal::TooLong:
            return QStringLiteral("The task label is too long for the name of the task's peak-list folder \"%1\": a "
                                  "folder name can have at most %2 bytes")
                .arg(common::peakListFolderName(taskUid, label).left(40) + QStringLiteral("..."))
                .arg(common::kFileNameBytes);
        case common::PeakListFolderRefusal::LeavesRoot:
        case common::PeakListFolderRefusal::NoLabel: break;
    }
    return QStringLiteral("The task label \"%1\" cannot name a peak-list folder: the service would refuse the task")
        .arg(label);
}

QString checkFolderName(qint32 taskUid, const QString& label) {
    const common::PeakListFolder folder = common::peakListFolder(QString(), taskUid, label);
    return folder.ok() ? QString() : peakListFolderRefusal(taskUid, label, *folder.refusal);
}

BuildOutcome buildTaskRows(const TaskEditorState& s, const RowSources& src) {
    BuildOutcome out;
    common::TaskRow& r = out.task.row;
    const auto refuse = [&out](const QString& text) {
        out.refusal = text;
        return out;
    };

    r.user_name = src.localUserName;
    r.computer_name = src.localComputerName;
    // The owner is the entry chosen, not the first one of the same name.
    const int owner = s.cboTaskOwner.current;
    if (s.cboTaskOwner.enabled && owner >= 0 && owner < src.serverUsers.size() &&
        src.serverUsers[owner].user_name == s.cboTaskOwner.currentText())
        r.sorvex_user_id = src.serverUsers[owner].user_id;
    r.follow_up = static_cast<qint16>(std::max(s.cboTaskFU.current, 0));
    r.fu_interval = s.cboTaskFUInterval.currentText();
    const auto repeats = fitted<qint32>(whole(s.cboTaskFUNumber.currentText().toDouble()), 1,
                                        std::numeric_limits<qint32>::max());
    if (!repeats) return refuse(QStringLiteral("Invalid follow-up repeat count: ") + s.cboTaskFUNumber.currentText());
    r.fu_number = *repeats;
    r.fu_task = s.cboTaskFUTask.currentText();
    const QString filter = s.filterText().isEmpty() ? common::NoneChosen : s.filterText();
    r.import_filter = filter;

    const int k = common::importFilterIndex(filter);
    const QString options = k >= 0 ? src.options[static_cast<std::size_t>(k)] : QString();
    if (!options.isEmpty()) {
        if (k == common::FilterAnalyst && src.sciexOwnOptions) {
            r.filter_options = filteropts::composeLibraryOptions({src.sciexVersion, src.sciexValues});
            r.filter_fields = src.sciexKeys;
        } else {
            r.filter_options = options;
        }
        if (const QString tooLong = filteropts::checkOptionsLength(k, *r.filter_options); !tooLong.isEmpty())
            return refuse(tooLong);
    }

    r.fu_discard = flag(s.chkTaskFUDiscard);
    r.fu_move = flag(s.chkTaskFUMove);
    r.fu_repeat = flag(s.chkTaskFURepeat);
    r.new_files_only = flag(s.chkTaskNewOnly);
    r.sub_directories = flag(s.chkTaskSubDir);
    r.merge_data_files = s.optTaskSched == SchedFollower ? qint16(0) : flag(s.chkTaskMergeFiles);
    const auto priority = fitted<qint16>(whole(s.cboTaskSearchPriority.currentText().toDouble()), -20, 0);
    if (!priority || s.cboTaskSearchPriority.currentText().isEmpty())
        return refuse(QStringLiteral("Invalid search priority: ") + s.cboTaskSearchPriority.currentText());
    r.search_priority = *priority;

    out.task.txtTaskPath = withoutTrailingSeparator(s.txtTaskPath.text);
    if (!out.task.txtTaskPath.isEmpty()) r.monitor_directory = common::modUncName_GetUncPath(out.task.txtTaskPath);

    r.start_time = QDateTime(s.dtpTaskDate.value.date(), s.dtpTaskTime.value.time());
    r.schedule_type = scheduleType(s.optTaskSched);
    // A threshold the follow-up condition uses must be a number: text without
    // one would be stored as 0 and the follow-up would never fire.
    if (s.cboTaskFU.current > 0 && !filteropts::startsWithNumber(s.txtTaskFUScore.text))
        return refuse(QStringLiteral("The follow-up threshold \"%1\" is not a number").arg(s.txtTaskFUScore.text));
    const auto score = fitted<qint32>(whole(filteropts::readNumber(s.txtTaskFUScore.text)),
                                      std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
    if (!score)
        return refuse(QStringLiteral("The follow-up score %1 is out of range: it must lie between %2 and %3")
                          .arg(s.txtTaskFUScore.text)
                          .arg(std::numeric_limits<qint32>::min())
                          .arg(std::numeric_limits<qint32>::max()));
    r.fu_score = *score;
    r.task_label = s.txtTaskLabel.text > QStringLiteral(" ") ? s.txtTaskLabel.text : QStringLiteral("Untitled");
    r.parameter_set = common::modUncName_GetUncPath(s.txtTaskParam.text);

    QString wild = trimBlanks(s.txtTaskWild.text);
    if (wild.startsWith(QLatin1Char('\\')) || wild.startsWith(QLatin1Char('/'))) wild.remove(0, 1);
    out.task.txtTaskWild = wild;
    r.monitor_filename = wild.isEmpty() ? QStringLiteral("*.*") : wild;
    r.task_status = common::word(common::TaskStatus::New);
    r.auto_print = flag(s.chkTaskAutoPrint);
    for (const common::TaskStageId id : common::kTaskStages)
        setStageColumns(s.externalProcesses.stage[static_cast<std::size_t>(id)], common::stageColumns(r, id));

    // Every text against its column: PostgreSQL refuses what is too long.
    const struct {
        const char* what;
        const char* column;
        std::optional<QString> value;
    } texts[] = {
        {"The task label", "task_label", r.task_label},
        {"The parameter file path", "parameter_set", r.parameter_set},
        {"The import filter name", "import_filter", r.import_filter},
        {"The folder to monitor", "monitor_directory", r.monitor_directory},
        {"The wild card", "monitor_filename", r.monitor_filename},
        {"The follow-up task", "fu_task", r.fu_task},
        {"The follow-up interval", "fu_interval", r.fu_interval},
        {"The user name", "user_name", r.user_name},
        {"The computer name", "computer_name", r.computer_name}};
    for (const auto& text : texts) {
        const int capacity = taskColumnLength(QString::fromLatin1(text.column));
        if (text.value && text.value->size() > capacity)
            return refuse(lengthRefusal(QString::fromLatin1(text.what), *text.value, capacity));
    }

    const int schedule = s.optTaskSched;
    if (schedule == SchedNow || schedule == SchedTimed) {
        out.task.fileNextAction = schedule == SchedNow ? src.now : r.start_time;
        const int capacity = fileColumnLength(QStringLiteral("file_name"));
        for (const QString& item : s.lstTaskFiles) {
            // The 4000 Series descriptors are the library's own, not paths.
            const QString name = filter == common::filtername::TS2Sorvex ? item : common::modUncName_GetUncPath(item);
            if (name.size() > capacity)
                return refuse(lengthRefusal(QStringLiteral("The data file name ") + item, name, capacity));
            out.task.fileNames << name;
        }
    }
    return out;
}

}  // namespace tavrel
