// The file commands of the parameter editor: New, Open, Save, Save As, the
// recent files and the save-changes question that guards unsaved edits.
#include "params/forms/ParameterEditorPage.h"

#include "clientcommon/BusyCursor.h"
#include "params/FileDialogs.h"
#include "params/RecentFiles.h"

namespace tavrel {

bool ParameterEditorPage::editorTabShown() const {
    // The main window's tab strip hides the pages it does not show.
    return isVisible();
}

bool ParameterEditorPage::NewParameterForm() {
    bool reset = false;
    act([&] { reset = editor_.NewParameterForm(); });
    return reset;
}

void ParameterEditorPage::OpenParameterFile(const QString& path) {
    act([&] { editor_.OpenParameterFile(path); });
}

bool ParameterEditorPage::modGlobal_AskSaveChanges(QString& path) {
    switch (showEditorMessage(saveChangesQuestion(path))) {
    case platform::vbYes: {
        const QString chosen = modGlobal_ShowSaveAsDialog(editor_.currentFile());
        if (chosen.isEmpty()) return false;
        path = chosen;
        return modGlobal_FileSave(path);
    }
    case platform::vbNo: return true;
    default: return false;
    }
}

bool ParameterEditorPage::queryClose() {
    if (!editor_.parameterSetChanged()) return true;
    QString path = editor_.currentFile();
    return modGlobal_AskSaveChanges(path);
}

bool ParameterEditorPage::modGlobal_FileNew() {
    if (!editorTabShown()) return true;
    if (editor_.parameterSetChanged()) {
        QString path = editor_.currentFile();
        if (!modGlobal_AskSaveChanges(path)) return false;
    }
    NewParameterForm();
    return true;
}

bool ParameterEditorPage::modGlobal_FileOpen() {
    if (editorTabShown() && editor_.parameterSetChanged()) {
        QString current = editor_.currentFile();
        if (!modGlobal_AskSaveChanges(current)) return false;
    }
    const QString path = modGlobal_ShowParameterFileOpenDialog();
    if (path.isEmpty()) return false;
    if (editorTabShown()) {
        const BusyCursor busy;
        OpenParameterFile(path);
    }
    addRecentFile(path);
    return true;
}

bool ParameterEditorPage::modGlobal_FileSave(QString& path) {
    if (path.isEmpty()) path = modGlobal_ShowSaveAsDialog(editor_.currentFile());
    if (path.isEmpty()) return false;
    bool saved = false;
    {
        const BusyCursor busy;
        const auto question = editor_.overwriteQuestionFor(path);
        if (!question || showEditorMessage(*question) == platform::vbOK)
            act([&] { saved = editor_.SaveParameterFile(path); });
    }
    // A file that was not written is no recent file.
    if (saved) addRecentFile(path);
    return saved;
}

void ParameterEditorPage::addRecentFile(const QString& path) {
    if (const auto failure = modGlobal_AddRecentFile(path, recentFiles_))
        platform::MsgBox(*failure);
    modGlobal_LoadRecentFileMenu();
}

void ParameterEditorPage::modGlobal_LoadRecentFileMenu() {
    const QStringList captions = modGlobal_LoadRecentFileList();
    // The menu's items are never emptied again while the program runs.
    if (captions.isEmpty() || captions == recentFiles_) return;
    recentFiles_ = captions;
    emit recentFilesChanged(recentFiles_);
}

void ParameterEditorPage::mnuFileNew_Click() {
    modGlobal_FileNew();
}

void ParameterEditorPage::mnuFileOpen_Click() {
    modGlobal_FileOpen();
}

void ParameterEditorPage::mnuFileSave_Click() {
    QString path = editorTabShown() ? editor_.currentFile() : QString();
    // A set that was never saved, whatever the case of its name.
    if (path.left(8).toLower() == QLatin1String("untitled")) path.clear();
    modGlobal_FileSave(path);
}

void ParameterEditorPage::mnuFileSaveAs_Click() {
    QString path;
    modGlobal_FileSave(path);
}

void ParameterEditorPage::mnuRecentFile_Click(const QString& path) {
    // Unsaved edits are guarded here as they are by New and Open.
    if (editor_.parameterSetChanged()) {
        QString current = editor_.currentFile();
        if (!modGlobal_AskSaveChanges(current)) return;
    }
    {
        const BusyCursor busy;
        OpenParameterFile(path);
    }
    modGlobal_LoadRecentFileMenu();
}

}  // namespace tavrel
