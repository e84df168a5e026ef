#include "params/forms/QtFileDialogHandler.h"

#include <QApplication>
#include <QFileDialog>

namespace tavrel {

namespace {

// "Parameter Files (*.par)|*.par" -> "Parameter Files (*.par)": the
// descriptions already name their patterns, as Qt's filters expect.
QStringList nameFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        out << (description.contains(u'(') ? description : description + QStringLiteral(" (") + parts[i + 1] + u')');
    }
    return out;
}

}  // namespace

QString QtFileDialogHandler::show(const FileDialogRequest& request) {
    QFileDialog dialog(QApplication::activeWindow(), QString(), request.initDir);
    dialog.setNameFilters(nameFilters(request.filter));
    dialog.setDefaultSuffix(request.defaultExt);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The parameter-file writer asks about overwriting itself.
    if (request.save) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles().value(0);
}

}  // namespace tavrel
