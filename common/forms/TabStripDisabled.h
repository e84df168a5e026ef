#pragma once
// The main window's tab strip, put back however a handler ends. (The busy
// cursor: common/BusyCursor.h; blocked signals: QSignalBlocker.)
#include <QPointer>

class QTabWidget;
class QWidget;

namespace tavrel {

// Disables the tab strip of the tab widget that holds the widget (the page a
// handler runs on) while a modal dialog is open, so that the user cannot
// switch tabs under it; its former state comes back afterwards. A widget on
// no tab widget changes nothing.
class TabStripDisabled {
public:
    explicit TabStripDisabled(QWidget* onPage);
    ~TabStripDisabled();
    TabStripDisabled(const TabStripDisabled&) = delete;
    TabStripDisabled& operator=(const TabStripDisabled&) = delete;

private:
    QPointer<QTabWidget> tabs_;
    bool wasEnabled_ = true;
};

}  // namespace tavrel
