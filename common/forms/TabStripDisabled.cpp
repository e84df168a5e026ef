#include "common/forms/TabStripDisabled.h"

#include <QTabBar>
#include <QTabWidget>

namespace tavrel {

TabStripDisabled::TabStripDisabled(QWidget* onPage) {
    for (QWidget* w = onPage; w; w = w->parentWidget()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
            tabs_ = tabs;
            break;
        }
    }
    if (!tabs_) return;
    wasEnabled_ = tabs_->tabBar()->isEnabled();
    tabs_->tabBar()->setEnabled(false);
}

TabStripDisabled::~TabStripDisabled() {
    if (tabs_) tabs_->tabBar()->setEnabled(wasEnabled_);
}

}  // namespace tavrel
