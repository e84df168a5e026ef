#pragma once
// The parameter editor without its widgets: the state of every control, the
// reset from "server.dat" (NewParameterForm), the rules that apply a
// parameter file's lines to the controls, the interlocks between controls
// with their messages, the gates on the server version, the dirty flag
// ParameterSetChanged and the save step. The page binds its widgets to this
// and shows the messages it collects.
#include "params/EditorControls.h"
#include "params/EditorMessage.h"
#include "params/ParameterSet.h"

#include <functional>
#include <optional>

namespace tavrel {

class ParameterEditor {
public:
    // Where "server.dat" lives and which server version the gates compare;
    // asked afresh each time, as both change while the client runs. The
    // defaults read the client's ProgramFolder and ServerVersion.
    struct Environment {
        std::function<QString()> programFolder;
        std::function<QString()> serverVersion;
    };

    ParameterEditor();
    explicit ParameterEditor(Environment environment);

    const ParameterEditorState& state() const { return state_; }
    QString programFolder() const { return env_.programFolder(); }
    bool parameterSetChanged() const { return ParameterSetChanged_; }
    // The current file: its full path, or "Untitled".
    QString currentFile() const { return state_.lblParamPfileTag; }

    // Messages collected since the last call, in the order they arose.
    EditorMessages takeMessages();

    // Resets every control from "server.dat" and the fixed lists; the set
    // becomes an unsaved "Untitled" peptide mass fingerprint. False when
    // "server.dat" is missing or unreadable or a required list is empty:
    // then nothing is changed at all, so no half-reset editor can pass for
    // a clean one.
    bool NewParameterForm();

    // Resets the editor and applies the file. False when the reset failed
    // (the file is not applied onto stale controls and the editor keeps its
    // flag) or the file is missing or unreadable (the editor stays reset).
    bool OpenParameterFile(const QString& path);

    // The save step. The question to ask first when the file exists; then
    // SaveParameterFile writes, makes the file current and clears the flag,
    // or collects the failure message and leaves everything as it was.
    std::optional<EditorMessage> overwriteQuestionFor(const QString& path) const;
    bool SaveParameterFile(const QString& path);
    // The controls' values as the file writer takes them.
    ParameterSetValues values() const;

    // What the user does; each runs the control's own handler.
    void editText(TextControl ParameterEditorState::*control, const QString& text);
    void choose(ListControl ParameterEditorState::*control, int index);
    void click(CheckControl ParameterEditorState::*control, bool checked);
    void chooseMass(int option);
    void lstParamDB_Click(const QList<bool>& selected, int current);
    // OK of the modifications dialog.
    void setModifications(const QStringList& fixed, const QStringList& variable);

private:
    bool atLeast(const QString& version) const;
    void say(const QString& text);

    void setChoice(ListControl ParameterEditorState::*control, int index);
    void setCheck(CheckControl ParameterEditorState::*control, bool checked);
    void chooseEqual(ListControl ParameterEditorState::*control, const QString& value, int fallback);

    void frmMain_ApplyParameter(const QString& key, const QString& value, const QString& file);
    void applyDatabases(const QString& value, const QString& file);
    void applyPosition(ListControl ParameterEditorState::*control, const QString& key, const QString& value,
                       const QString& file);

    void chkParamSEARCH_Click();
    void chkParamERRORTOLERANT_Click();
    void chkParamDECOY_Click();
    void cboParamQUANTITATION_Click();

    Environment env_;
    ParameterEditorState state_;
    bool ParameterSetChanged_ = false;
    bool LoadingDatabaseList_ = false;
    EditorMessages messages_;
};

}  // namespace tavrel
