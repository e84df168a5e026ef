#include "clientcommon/forms/QtDialogHandler.h"

#include "clientcommon/forms/FileDialogFit.h"
#include "clientcommon/forms/FolderBrowser.h"

#include <QApplication>
#include <QFileDialog>

namespace tavrel {

namespace {

QStringList run(const FileDialogRequest& request, QFileDialog::AcceptMode mode, bool several = false) {
    QWidget* owner = request.owner ? request.owner : QApplication::activeWindow();
    QFileDialog dialog(owner, request.title, request.startFolder);
    dialog.setNameFilters(qtNameFilters(request.filter));
    dialog.setAcceptMode(mode);
    const bool existing = mode == QFileDialog::AcceptOpen && request.mustExist;
    dialog.setFileMode(several ? QFileDialog::ExistingFiles
                               : existing ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // The callers ask about replacing a file themselves, where they must.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    fitFileDialogToItsTexts(dialog);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
}

}  // namespace

QStringList qtNameFilters(const QString& filter) {
    if (filter.isEmpty()) return {};
    if (!filter.contains(u'|')) return filter.split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        out << (description.contains(u'(') ? description : description + QStringLiteral(" (") + parts[i + 1] + u')');
    }
    return out;
}

QString QtDialogHandler::openFile(const FileDialogRequest& request) {
    return run(request, QFileDialog::AcceptOpen).value(0);
}

QStringList QtDialogHandler::openFiles(const FileDialogRequest& request) {
    return run(request, QFileDialog::AcceptOpen, true);
}

QString QtDialogHandler::saveFile(const FileDialogRequest& request) {
    return run(request, QFileDialog::AcceptSave).value(0);
}

QString QtDialogHandler::chooseFolder(QWidget* owner, const QString& title, const QString& startFolder) {
    FolderBrowser browser(owner, title, startFolder);
    if (browser.exec() != QDialog::Accepted) return {};
    return browser.selectedFiles().value(0);
}

}  // namespace tavrel
