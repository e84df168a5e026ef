#include "taskeditor/TaskChecks.h"

#include "clientcommon/ComponentProbes.h"
#include "clientcommon/Globals.h"
#include "common/ImportFilters.h"
#include "clientcommon/TaskDatabase.h"
#include "clientcommon/TaskDbRows.h"
#include "common/TaskVocabulary.h"
#include "common/ParameterFile.h"
#include "platform/AdoRecordset.h"
#include "platform/Cp1252.h"
#include "platform/MessageBox.h"
#include "taskeditor/TaskEditor.h"

#include <QFileInfo>

namespace tavrel {

using S = TaskEditorState;

namespace {

const QString kTitle = QStringLiteral("Sorvex Tavrel");
constexpr int kListBoxLimit = 32767;

bool refuse(const QString& text) {
    platform::MsgBox(text, platform::vbOKOnly, kTitle);
    return false;
}

// Step 1, only while the follower-task list is in use.
bool followUpTaskFits(const TaskEditorState& s, const CheckContext& context) {
    const FollowerListControl& list = s.cboTaskFUTask;
    if (list.current <= 0 || !looksLikeFollowUpTaskItem(list.currentText()))
        return refuse(QStringLiteral("Follow-up task not defined"));
    const QString number = list.currentText().section(QLatin1Char(' '), 0, 0);
    bool isNumber = false;
    number.toInt(&isNumber);
    platform::AdoRecordset& tasks = TasksRecordset;
    tasks.requery();
    tasks.moveFirst();
    if (isNumber) tasks.find(QStringLiteral("task_UID=") + number);
    if (!isNumber || tasks.eof()) return refuse(QStringLiteral("Follow-up task does not exist"));
    if (tasks.value(QStringLiteral("task_status")).toString() != common::word(common::TaskStatus::Running))
        platform::MsgBox(QStringLiteral("Warning: Follow-up task is not running"), platform::vbOKOnly, kTitle);
    if (!modGlobal_IsTaskOfThisComputer(number, false, context.localComputerName) &&
        platform::MsgBox(QStringLiteral("The follow-up task is on a remote machine. Do the data files have UNC "
                                        "path names?"),
                         platform::vbYesNo, kTitle) == platform::vbNo)
        return false;
    return true;
}

bool filterPresent(const QString& filter, const CheckContext& c) {
    if (filter == common::filtername::Lcq && !QFileInfo(c.lcqPath).isFile())
        return refuse(QStringLiteral("Cannot find import filter on specified path"));
    if (filter == common::filtername::Analyst && !c.sciexLibraryPresent)
        return refuse(QStringLiteral("Function library for importing Analyst data files (sorvex.dll) not found or "
                                     "not registered"));
    if (filter == common::filtername::Voyager && !c.dataExplorerPresent)
        return refuse(QStringLiteral("Applied Biosystems Data Explorer not found or not registered"));
    if (filter == common::filtername::Quellmark && !c.quellmarkPresent)
        return refuse(QStringLiteral("Sorvex Quellmark not found or not operational"));
    if (filter == common::filtername::TS2Sorvex && !c.ts2SorvexPresent)
        return refuse(QStringLiteral("TS2Sorvex not found or not operational"));
    return true;
}

// Step 5: a parameter set whose peak lists are XML cannot have them merged.
bool mergeable(const QString& parameterFile) {
    const ParameterFileLines read = readParameterFileLines(parameterFile, ParameterLineRule::SkipLinesWithoutEquals);
    if (!read.ok()) return refuse(read.error->message);
    for (const ParameterLine& line : read.lines)
        if (line.key == QLatin1String("FORMAT") && isXmlPeakListFormat(line.value))
            return refuse(QStringLiteral("Cannot merge XML format files"));
    return true;
}

}  // namespace

QString trimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' ')) ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' ')) --last;
    return text.mid(first, last - first);
}

bool isXmlPeakListFormat(const QString& format) {
    return format == QLatin1String("Bruker (.XML)") || format == QLatin1String("mzData (.XML)") ||
           format == QLatin1String("mzML (.mzML)");
}

LabelCheck checkTaskLabel(const QString& label) {
    LabelCheck result;
    for (const QString& refused : kRefusedLabelCharacters.split(QLatin1Char(' ')))
        if (label.contains(refused)) result.ok = false;
    for (qsizetype i = 0; i < label.size(); ++i) {
        const qsizetype width = label.at(i).isHighSurrogate() && i + 1 < label.size() ? 2 : 1;
        const QString character = label.mid(i, width);
        const QByteArray code = platform::toCp1252(character);
        const bool unrepresentable = code == "?" && character != QLatin1String("?");
        const uchar c = code.isEmpty() ? 0 : static_cast<uchar>(code.at(0));
        if (!unrepresentable && (c < 32 || c > 126)) result.label += QLatin1Char('~');
        else result.label += character;
        i += width - 1;
    }
    return result;
}

CheckContext checkContextFromClient() {
    return {LcqPath, SciexLibraryPresent, DataExplorerPresent, QuellmarkPresent, TS2SorvexPresent, LocalComputerName};
}

bool checkTaskForRun(TaskEditor& editor, const CheckContext& context) {
    const TaskEditorState& s = editor.state();
    if (s.cboTaskFUTask.enabled && !followUpTaskFits(s, context)) return false;

    if (s.optTaskSched != SchedMonitor && s.optTaskSched != SchedFollower) {
        if (s.lstTaskFiles.isEmpty()) return refuse(QStringLiteral("No data files specified"));
        if (s.lstTaskFiles.size() > kListBoxLimit)
            return refuse(QStringLiteral("List box control limited to 32k items. Try using real-time monitor"));
    }

    const LabelCheck label = checkTaskLabel(trimBlanks(s.txtTaskLabel.text));
    editor.setText(&S::txtTaskLabel, label.label);
    if (!label.ok)
        return refuse(QStringLiteral("The following characters are not allowed in a task label\r\n") +
                      kRefusedLabelCharacters);

    editor.setText(&S::txtTaskParam, trimBlanks(s.txtTaskParam.text));
    const QString parameterFile = s.txtTaskParam.text;
    if (parameterFile.isEmpty()) return refuse(QStringLiteral("Cannot find parameter file"));
    if (!QFileInfo(parameterFile).isFile()) return refuse(QStringLiteral("Cannot find parameter file ") + parameterFile);

    if (s.optTaskSched != SchedFollower && s.chkTaskMergeFiles.checked && !mergeable(parameterFile)) return false;

    return filterPresent(s.filterText(), context);
}

}  // namespace tavrel
