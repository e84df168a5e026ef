#include "clientcommon/forms/FolderBrowser.h"

#include "clientcommon/FileDialogs.h"
#include "clientcommon/HandlerGuard.h"
#include "clientcommon/forms/FileDialogFit.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>

namespace tavrel {

FolderBrowser::FolderBrowser(QWidget* owner, const QString& title, const QString& startFolder)
    : QFileDialog(owner, title) {
    setObjectName(QStringLiteral("FolderBrowser"));
    // Qt's own dialog: the status line is added to its layout.
    setOption(QFileDialog::DontUseNativeDialog, true);
    setOption(QFileDialog::ShowDirsOnly, true);
    setFileMode(QFileDialog::Directory);
    setModal(true);

    lblStatus_ = new QLabel(this);
    lblStatus_->setObjectName(QStringLiteral("lblStatus"));
    lblStatus_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(lblStatus_, grid->rowCount(), 0, 1, grid->columnCount());

    const auto show = [this](const QString& path) { showSelection(path); };
    connect(this, &QFileDialog::currentChanged, this, guarded(QStringLiteral("FolderBrowser_SelChange"), show));
    connect(this, &QFileDialog::directoryEntered, this, guarded(QStringLiteral("FolderBrowser_SelChange"), show));
    if (!startFolder.isEmpty() && QFileInfo(startFolder).isDir()) {
        setDirectory(startFolder);
        showSelection(startFolder);
    }
    fitFileDialogToItsTexts(*this);
}

QString FolderBrowser::statusText() const { return lblStatus_->text(); }

void FolderBrowser::showSelection(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).isDir()) return;
    lblStatus_->setText(QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath())));
}

QString modGetDirectory_BrowseForFolder(QWidget* owner, const QString& title, const QString& startFolder) {
    return showFolderDialog(owner, title, startFolder);
}

}  // namespace tavrel
