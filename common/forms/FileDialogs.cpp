#include "common/forms/FileDialogs.h"

#include "common/forms/FolderBrowser.h"

#include <QFileDialog>

namespace tavrel {

namespace {

DialogHandler* currentHandler = nullptr;

QStringList runFileDialog(const FileDialogRequest& request, QFileDialog::FileMode fileMode) {
    QFileDialog dialog(request.owner, request.title, request.startFolder, request.filter);
    dialog.setAcceptMode(fileMode == QFileDialog::AnyFile ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(fileMode);
    if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
}

}  // namespace

DialogHandler* setDialogHandler(DialogHandler* handler) {
    DialogHandler* previous = currentHandler;
    currentHandler = handler;
    return previous;
}

QString showOpenFileDialog(const FileDialogRequest& request) {
    if (currentHandler) return currentHandler->openFile(request);
    return runFileDialog(request, QFileDialog::ExistingFile).value(0);
}

QStringList showOpenFilesDialog(const FileDialogRequest& request) {
    if (currentHandler) return currentHandler->openFiles(request);
    return runFileDialog(request, QFileDialog::ExistingFiles);
}

QString showSaveFileDialog(const FileDialogRequest& request) {
    if (currentHandler) return currentHandler->saveFile(request);
    return runFileDialog(request, QFileDialog::AnyFile).value(0);
}

QString showFolderDialog(QWidget* owner, const QString& title, const QString& startFolder) {
    if (currentHandler) return currentHandler->chooseFolder(owner, title, startFolder);
    FolderBrowser browser(owner, title, startFolder);
    if (browser.exec() != QDialog::Accepted) return {};
    return browser.selectedFiles().value(0);
}

}  // namespace tavrel
