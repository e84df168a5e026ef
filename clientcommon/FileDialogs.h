#pragma once
// File and folder dialogs go through one seam, so that tests answer them and
// every dialog of the client is set up the same way. The windowed client
// installs the Qt dialogs (clientcommon/forms/QtDialogHandler.h) at start-up.
#include <QString>
#include <QStringList>

class QWidget;

namespace tavrel {

struct FileDialogRequest {
    QWidget* owner = nullptr;  // null: the active window
    QString title;             // empty: the dialog's own
    QString startFolder;
    QString fileName;          // the proposed name
    // Description and pattern pairs joined by "|" ("Parameter Files
    // (*.par)|*.par"); Qt's own form ("Text files (*.txt);;All files (*)")
    // is taken as well.
    QString filter;
    QString defaultSuffix;     // without the dot; added to a typed name without one
    bool mustExist = true;     // an open dialog accepts only a file that exists
    bool operator==(const FileDialogRequest&) const = default;
};

class DialogHandler {
public:
    virtual ~DialogHandler() = default;
    // Each answers the chosen full path, or "" when the user cancels. A save
    // dialog accepts a new name and asks nothing about replacing a file: the
    // caller does, where it must.
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

// Installs the handler and returns the previous one. Without a handler (a
// console, a test that scripts none) every dialog says so on standard error
// and answers as cancelled.
DialogHandler* setDialogHandler(DialogHandler* handler);

QString showOpenFileDialog(const FileDialogRequest& request);
QStringList showOpenFilesDialog(const FileDialogRequest& request);
QString showSaveFileDialog(const FileDialogRequest& request);
QString showFolderDialog(QWidget* owner, const QString& title, const QString& startFolder);

}  // namespace tavrel
