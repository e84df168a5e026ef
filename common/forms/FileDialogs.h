#pragma once
// File and folder dialogs go through one seam, so that tests answer them and
// every dialog of the client is set up the same way.
#include <QString>
#include <QStringList>

class QWidget;

namespace tavrel {

struct FileDialogRequest {
    QWidget* owner = nullptr;
    QString title;
    QString startFolder;
    QString fileName;       // the proposed name
    QString filter;         // Qt form: "Parameter files (*.par);;All files (*)"
    QString defaultSuffix;  // added to a typed name without one
};

class DialogHandler {
public:
    virtual ~DialogHandler() = default;
    // Each answers the chosen path, or "" when the user cancels. An open dialog
    // accepts only a file that exists.
    virtual QString openFile(const FileDialogRequest& request) = 0;
    virtual QString saveFile(const FileDialogRequest& request) = 0;
    virtual QString chooseFolder(QWidget* owner, const QString& title, const QString& startFolder) = 0;
    // An open dialog in which several existing files may be chosen: their
    // full paths in the order chosen, none when the user cancels. A handler
    // that offers only one file at a time answers that one.
    virtual QStringList openFiles(const FileDialogRequest& request) {
        const QString one = openFile(request);
        return one.isEmpty() ? QStringList() : QStringList{one};
    }
};

// Installs the handler (nullptr: the Qt dialogs) and returns the previous one.
DialogHandler* setDialogHandler(DialogHandler* handler);

QString showOpenFileDialog(const FileDialogRequest& request);
QStringList showOpenFilesDialog(const FileDialogRequest& request);
QString showSaveFileDialog(const FileDialogRequest& request);
QString showFolderDialog(QWidget* owner, const QString& title, const QString& startFolder);

}  // namespace tavrel
