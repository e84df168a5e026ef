#include "filteropts/forms/OptionsDialogContext.h"

#include <QFileDialog>
#include <QStringList>

namespace filteropts {

namespace {

// "Description (*.opt)|*.opt" becomes Qt's "Description (*.opt)".
QString qtFilter(const QString& filter) { return filter.section(QLatin1Char('|'), 0, 0); }

std::optional<QString> run(QWidget* owner, const FileDialogSetup& setup, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(owner, QString(), setup.initDir, qtFilter(setup.filter));
    dialog.setAcceptMode(mode);
    dialog.setDefaultSuffix(setup.defaultExt);
    dialog.setFileMode(setup.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!setup.fileName.isEmpty()) dialog.selectFile(setup.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

class DesktopSeams : public OptionsDialogSeams {
public:
    std::optional<QString> showOpen(QWidget* owner, const FileDialogSetup& setup) override {
        return run(owner, setup, QFileDialog::AcceptOpen);
    }
    std::optional<QString> showSave(QWidget* owner, const FileDialogSetup& setup) override {
        return run(owner, setup, QFileDialog::AcceptSave);
    }
    QString browseForFolder(QWidget* owner, const QString& title, const QString& startFolder) override {
        return QFileDialog::getExistingDirectory(owner, title, startFolder);
    }
    QString showTemplateOpenDialog(QWidget* owner) override {
        return run(owner, {QStringLiteral("Template Files (*.tpl)|*.tpl"), QStringLiteral("tpl"), {}, {}, true},
                   QFileDialog::AcceptOpen)
            .value_or(QString());
    }
};

}  // namespace

OptionsDialogSeams& desktopOptionsDialogSeams() {
    static DesktopSeams seams;
    return seams;
}

}  // namespace filteropts
