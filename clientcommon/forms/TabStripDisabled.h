#pragma once
// The main window's tab strip, put back however a handler ends. (The busy
// cursor: clientcommon/BusyCursor.h; blocked signals: QSignalBlocker.)
#include <QPointer>

class QTabWidget;
class QWidget;

namespace tavrel {

// Keeps the main window's tabs from changing while a modal dialog is open;
// afterwards pending window events run first (a click that closed the dialog
// must not reach the tabs), then the remembered tab and the former enabled
// state come back. Nested guards unwind in order. A null tab widget, or a
// widget on no tab widget, changes nothing.
class TabStripDisabled {
public:
    // From a handler on one of the pages: only the strip is disabled, so the
    // page's own controls keep their state and their focus.
    explicit TabStripDisabled(QWidget* onPage);
    // From a dialog outside the tabs (handed the main window's tab widget):
    // the whole tab widget is disabled.
    explicit TabStripDisabled(QTabWidget* tabs);
    ~TabStripDisabled();
    TabStripDisabled(const TabStripDisabled&) = delete;
    TabStripDisabled& operator=(const TabStripDisabled&) = delete;

private:
    void lock(QTabWidget* tabs, QWidget* disabled);

    QPointer<QTabWidget> tabs_;
    QPointer<QWidget> disabled_;
    int tab_ = -1;
    bool wasEnabled_ = true;
};

}  // namespace tavrel
