// The data-file list's commands: the file dialog, the 4000 Series data
// browser, the folder pickers, Delete, and dropping files from the desktop.
#include "taskeditor/forms/TaskEditorPage.h"

#include "clientcommon/Globals.h"
#include "clientcommon/HandlerGuard.h"
#include "common/ImportFilters.h"
#include "clientcommon/FileDialogs.h"
#include "clientcommon/forms/FolderBrowser.h"
#include "clientcommon/forms/TabStripDisabled.h"
#include "platform/AutomationComponents.h"
#include "platform/MessageBox.h"
#include "taskeditor/DataFileList.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

namespace tavrel {

namespace {

QString startFolder(const QString& folder) { return folder.isEmpty() ? ProgramFolder : folder; }

}  // namespace

void TaskEditorPage::addDataFiles(const QStringList& items) {
    act([&] {
        for (const QString& item : items)
            if (!item.isEmpty()) editor_.addDataFile(item);
    });
}

void TaskEditorPage::widenFileList() {
    const QFontMetrics metrics = lstTaskFiles->fontMetrics();
    for (int i = 0; i < lstTaskFiles->count(); ++i)
        TaskFileListWidth = std::max(TaskFileListWidth,
                                     metrics.horizontalAdvance(lstTaskFiles->item(i)->text() + QStringLiteral("  ")));
    // Every entry as wide as the widest so far: the scroll range only grows.
    const int height = metrics.height() + 2;
    for (int i = 0; i < lstTaskFiles->count(); ++i) lstTaskFiles->item(i)->setSizeHint(QSize(TaskFileListWidth, height));
}

void TaskEditorPage::cmdTaskFileAdd_Click() {
    const QString filter = editor_.state().filterText();
    if (filter == common::filtername::TS2Sorvex) {
        // The library's own browser; whatever it cannot do simply adds nothing.
        QStringList chosen;
        platform::tryAutomation([&] {
            auto browser = platform::automation::create<platform::automation::TS2SorvexDataBrowser>();
            if (browser->ShowDataBrowser()) chosen = descriptorItems(browser->DescriptorList());
        });
        addDataFiles(chosen);
        return;
    }
    FileDialogRequest request;
    request.owner = this;
    request.title = QStringLiteral("Add Files");
    request.startFolder = startFolder(DataFileDialogFolder);
    request.filter = qtFileFilter(dataFileDialogFilter(filter));
    QStringList chosen;
    {
        TabStripDisabled locked(this);
        chosen = showOpenFilesDialog(request);
        QApplication::processEvents();
    }
    if (chosen.isEmpty()) return;
    if (!chosenNamesFit(chosen)) {
        platform::MsgBox(kTooManyFilesMessage, platform::vbOKOnly, QStringLiteral("Sorvex Tavrel"));
        return;
    }
    DataFileDialogFolder = QFileInfo(chosen.first()).absolutePath();
    addDataFiles(chosen);
}

void TaskEditorPage::cmdTaskFolderAdd_Click() {
    QString folder;
    {
        TabStripDisabled locked(this);
        folder = modGetDirectory_BrowseForFolder(this, QStringLiteral("Select folder corresponding to a single dataset"),
                                                 startFolder(FolderPickerStartFolder));
        QApplication::processEvents();
    }
    if (folder.isEmpty()) return;
    FolderPickerStartFolder = folder;
    addDataFiles({folder});
}

void TaskEditorPage::cmdTaskBrowse_Click() {
    QString folder;
    {
        TabStripDisabled locked(this);
        folder = modGetDirectory_BrowseForFolder(this, QStringLiteral("Select folder to be monitored for data files"),
                                                 startFolder(FolderPickerStartFolder));
        QApplication::processEvents();
    }
    if (folder.isEmpty()) return;
    FolderPickerStartFolder = folder;
    act([&] { editor_.setMonitorFolder(folder); });
}

void TaskEditorPage::cmdTaskFileDelete_Click() {
    QList<int> rows;
    for (int i = 0; i < lstTaskFiles->count(); ++i)
        if (lstTaskFiles->item(i)->isSelected()) rows << i;
    act([&] { editor_.removeDataFiles(rows); });
}

bool TaskEditorPage::acceptsDrops() const { return editor_.state().filterText() != common::filtername::TS2Sorvex; }

void TaskEditorPage::lstTaskFiles_OLEDragDrop(const QStringList& paths) {
    if (!acceptsDrops()) return;
    const bool folders = editor_.state().cmdTaskFolderAdd.enabled;
    QStringList taken;
    for (const QString& path : paths)
        if (!QFileInfo(path).isDir() || folders) taken << path;
    addDataFiles(taken);
}

bool TaskEditorPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched != lstTaskFiles->viewport()) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (acceptsDrops() && drag->mimeData()->hasUrls()) {
                drag->setDropAction(Qt::CopyAction);
                drag->accept();
            } else {
                drag->ignore();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            QStringList paths;
            for (const QUrl& url : drop->mimeData()->urls())
                if (url.isLocalFile()) paths << url.toLocalFile();
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            guardHandler(QStringLiteral("lstTaskFiles_OLEDragDrop"), [&] { lstTaskFiles_OLEDragDrop(paths); });
            return true;
        }
        default:
            return QWidget::eventFilter(watched, event);
    }
}

}  // namespace tavrel
