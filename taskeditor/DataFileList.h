#pragma once
// The data-file list's sources without their widgets: the file types the
// "Add Files ..." dialog offers per import filter, what a multiple selection
// adds, and the start folders of its dialogs.
#include <QString>
#include <QStringList>

namespace tavrel {

// Start folders of the "Add Files ..." dialog and of both folder pickers
// ("Add Folder ..." and "Browse ..."); the client's start-up sets both to the
// program folder, each then follows the last choice for the rest of the run.
inline QString DataFileDialogFolder;
inline QString FolderPickerStartFolder;

// The "Add Files ..." dialog's file types for the import filter (its display
// name), as description and patterns joined by "|"; empty for the filter
// whose data sets come from its library's own browser.
QString dataFileDialogFilter(const QString& importFilter);

// The same as the Qt dialog takes it. Patterns match either letter case, as
// the instruments' own file systems do ("*.RAW" also offers "run1.raw").
QString qtFileFilter(const QString& dialogFilter);

// The most characters the list of chosen names may have (the folder, then
// each name, each with a separator) before the dialog refuses the selection.
inline constexpr int kChosenNamesMaxLength = 32767;
inline const QString kTooManyFilesMessage =
    QStringLiteral("Too many files to open via dialog box; try dragging and dropping instead.");

// Whether full paths chosen together fit that limit when given as one folder
// and their names.
bool chosenNamesFit(const QStringList& paths);

// The pieces of a list the data browser of the 4000 Series library answers
// (separated by the character 0): an empty piece adds nothing.
QStringList descriptorItems(const QString& descriptorList);

}  // namespace tavrel
