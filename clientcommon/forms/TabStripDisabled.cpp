#include "clientcommon/forms/TabStripDisabled.h"

#include <QCoreApplication>
#include <QTabBar>
#include <QTabWidget>

namespace tavrel {

TabStripDisabled::TabStripDisabled(QWidget* onPage) {
    for (QWidget* w = onPage; w; w = w->parentWidget()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
            lock(tabs, tabs->tabBar());
            return;
        }
    }
}

TabStripDisabled::TabStripDisabled(QTabWidget* tabs) {
    if (tabs) lock(tabs, tabs);
}

void TabStripDisabled::lock(QTabWidget* tabs, QWidget* disabled) {
    tabs_ = tabs;
    disabled_ = disabled;
    tab_ = tabs->currentIndex();
    // The widget's own flag, not whether a disabled parent greys it out.
    wasEnabled_ = !disabled->testAttribute(Qt::WA_ForceDisabled);
    disabled->setEnabled(false);
}

TabStripDisabled::~TabStripDisabled() {
    QCoreApplication::processEvents();
    if (tabs_) tabs_->setCurrentIndex(tab_);
    if (disabled_) disabled_->setEnabled(wasEnabled_);
}

}  // namespace tavrel
