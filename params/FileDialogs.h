#pragma once
// The client's parameter-file and template dialogs without their widgets:
// what each dialog asks (filter, default extension, proposed name, start
// folder) and the folder each kind remembers for the rest of the run. The
// dialogs themselves go through the client's dialog seam (clientcommon/FileDialogs.h).
#include <QString>

namespace tavrel {

// Start folders of the parameter-file dialogs (Save As and Open share one)
// and of the charge-template dialog; the start-up sets both to the program
// folder, each then follows the last file chosen in its kind of dialog.
inline QString ParamDialogFolder;
inline QString TemplateDialogFolder;

// The proposed name is the editor's current file ("Untitled" for a new set).
QString modGlobal_ShowSaveAsDialog(const QString& currentFile);
QString modGlobal_ShowParameterFileOpenDialog();
QString modGlobal_ShowTemplateOpenDialog();

}  // namespace tavrel
