// What scripts/screenshot.sh asks the window to show before its picture.
#include "client/frmMain.h"
#include "client/frmPreferences.h"
#include "platform/Error.h"
#include "status/StatusNodes.h"
#include "status/forms/StatusPage.h"
#include "status/forms/StatusTreeModel.h"
#include "status/forms/StatusTreeView.h"

#include <QTabWidget>

namespace tavrel {

QWidget* frmMain::showForPicture(const QString& what) {
    if (what.compare(QLatin1String("Preferences"), Qt::CaseInsensitive) == 0) {
        auto* dialog = new frmPreferences(this, &tmrRefresh);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->showPage(0);
        dialog->show();
        return dialog;
    }
    const QString tab = what.section(QLatin1Char(':'), 0, 0);
    const QString node = what.section(QLatin1Char(':'), 1);
    if (!showTab(tab)) return nullptr;
    if (node.isEmpty()) return this;
    if (tabMain->currentIndex() == TabTaskEditor) {
        if (splitNodeKey(node).kind != QLatin1String("task")) return nullptr;
        frmMain_ResetTaskEditor();
        try {
            frmMain_LoadTaskIntoEditor(nodeNumber(node));
        } catch (const platform::Error&) {
            return nullptr;  // no such task: no picture
        }
        return this;
    }
    QStandardItem* item = pageStatus->treeModel()->item(node);
    if (tabMain->currentIndex() != TabStatus || !item) return nullptr;
    const QModelIndex index = pageStatus->treeModel()->indexFromItem(item);
    pageStatus->tvwStatus->expand(index);
    pageStatus->tvwStatus->setCurrentIndex(index);
    return this;
}

}  // namespace tavrel
