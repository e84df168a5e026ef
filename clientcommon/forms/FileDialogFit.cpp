#include "clientcommon/forms/FileDialogFit.h"

#include "clientcommon/HandlerGuard.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QListView>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <QTreeView>

#include <algorithm>

namespace tavrel {

namespace {

// How much wider the details need to be to show every text whole.
int widenColumns(QTreeView* details) {
    QHeaderView* header = details->header();
    const QAbstractItemView* view = details;  // the tree's own measure, public on its base
    for (int column = 0; column < header->count(); ++column) {
        if (header->isSectionHidden(column)) continue;
        const int needed = std::max(view->sizeHintForColumn(column), header->sectionSizeHint(column));
        if (header->sectionSize(column) < needed) header->resizeSection(column, needed);
    }
    return std::max(0, header->length() - details->viewport()->width());
}

// How much wider the list of places needs to be to show its names whole.
int widenPlaces(QListView* places, QSplitter* splitter) {
    if (!places || !splitter || splitter->indexOf(places) != 0 || splitter->count() < 2) return 0;
    const int scrollBar = places->verticalScrollBar()->isVisible() ? places->verticalScrollBar()->width() : 0;
    const int needed = places->sizeHintForColumn(0) + 2 * places->frameWidth() + scrollBar;
    QList<int> sizes = splitter->sizes();
    const int extra = needed - sizes[0];
    if (extra <= 0) return 0;
    sizes[0] += extra;
    splitter->setSizes(sizes);
    return extra;
}

void fit(QFileDialog* dialog) {
    auto* details = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!details || !dialog->isVisible()) return;
    const int extra = widenPlaces(dialog->findChild<QListView*>(QStringLiteral("sidebar")),
                                  dialog->findChild<QSplitter*>(QStringLiteral("splitter"))) +
                      widenColumns(details);
    if (extra <= 0 || !dialog->screen()) return;
    const QRect room = dialog->screen()->availableGeometry();
    const int width = std::min(dialog->width() + extra, room.width());
    const int left = std::clamp(dialog->x() - (width - dialog->width()) / 2, room.left(), room.right() - width + 1);
    dialog->setGeometry(left, dialog->y(), width, dialog->height());
}

}  // namespace

void fitFileDialogToItsTexts(QFileDialog& dialog) {
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (!model || !dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) return;  // a native dialog
    QPointer<QFileDialog> alive(&dialog);
    const auto fitNow = [alive] {
        if (alive) fit(alive);
    };
    // The rows come in from the file system after the dialog is shown, and
    // again for each folder the user opens.
    QObject::connect(model, &QFileSystemModel::directoryLoaded, &dialog,
                     guarded(QStringLiteral("FileDialog_Fit"), fitNow), Qt::QueuedConnection);
    QTimer::singleShot(0, &dialog, guarded(QStringLiteral("FileDialog_Fit"), fitNow));
}

}  // namespace tavrel
