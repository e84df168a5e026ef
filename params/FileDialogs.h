#pragma once
// The client's parameter-file and template dialogs without their widgets:
// what each dialog asks (filter, default extension, proposed name, start
// folder) and the folder each kind remembers for the rest of the run. The
// dialog itself is a seam: the client installs a handler that shows a real
// file dialog, tests install one that answers.
#include <QString>

namespace tavrel {

// Start folders of the parameter-file dialogs (Save As and Open share one)
// and of the charge-template dialog; the start-up sets both to the program
// folder, each then follows the last file chosen in its kind of dialog.
inline QString ParamDialogFolder;
inline QString TemplateDialogFolder;

struct FileDialogRequest {
    bool save = false;     // a save dialog (a new name is accepted), else open (the file must exist)
    QString filter;        // description and pattern pairs joined by "|"
    QString defaultExt;    // added to a name chosen without one
    QString fileName;      // proposed name
    QString initDir;       // start folder
    bool operator==(const FileDialogRequest&) const = default;
};

class FileDialogHandler {
public:
    virtual ~FileDialogHandler() = default;
    // The chosen full path, or "" when the user cancelled.
    virtual QString show(const FileDialogRequest& request) = 0;
};

// Installs the handler; returns the previous one. Without a handler every
// dialog answers as cancelled.
FileDialogHandler* setFileDialogHandler(FileDialogHandler* handler);

// The proposed name is the editor's current file ("Untitled" for a new set).
QString modGlobal_ShowSaveAsDialog(const QString& currentFile);
QString modGlobal_ShowParameterFileOpenDialog();
QString modGlobal_ShowTemplateOpenDialog();

}  // namespace tavrel
