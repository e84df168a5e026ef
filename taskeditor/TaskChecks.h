#pragma once
// The checks Run makes before it stores anything, in their fixed order, each
// ending the command with its own message box (title "Sorvex Tavrel"). The
// label and parameter-file boxes are trimmed on the way, and the label's
// characters outside the printable ASCII range become "~".
#include <QString>

namespace tavrel {

class TaskEditor;

// The refused label characters, in their order, separated by single blanks:
// both the list the check uses and the second line of its message.
inline const QString kRefusedLabelCharacters = QStringLiteral("\\ / : * ? \" < > | , _");

// The text without the blanks before and after it (tabs and other spaces stay).
QString trimBlanks(const QString& text);

// The peak-list formats a parameter set may name that cannot be merged.
bool isXmlPeakListFormat(const QString& format);

struct LabelCheck {
    bool ok = true;   // no refused character
    QString label;    // the label as written back: control characters and characters
                      // beyond the ASCII range as "~"
};
// frmMain_CheckTaskLabel on a label already trimmed.
LabelCheck checkTaskLabel(const QString& label);

// What the checks need to know about the computer.
struct CheckContext {
    QString lcqPath;  // the LcqPath setting
    bool sciexLibraryPresent = false;
    bool dataExplorerPresent = false;
    bool quellmarkPresent = false;
    bool ts2SorvexPresent = false;
    QString localComputerName;
};
// The client's own values (preferences, probes, computer name).
CheckContext checkContextFromClient();

// Steps 1 to 6. True when Run may store the task; false after the refusal
// was shown (or the user answered No to the remote-machine question). The
// follow-up task is looked up in the requeried TasksRecordset.
bool checkTaskForRun(TaskEditor& editor, const CheckContext& context);

}  // namespace tavrel
