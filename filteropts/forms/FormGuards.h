#pragma once
// Small guards that put the window back as it was when a handler ends.
#include <QApplication>
#include <QPointer>
#include <QTabWidget>

namespace filteropts {

// Keeps the main window's tab strip disabled while a dialog is open, so that
// its tab cannot change behind the dialog; gives it back its tab afterwards.
class TabStripLock {
public:
    explicit TabStripLock(QTabWidget* tabs) : tabs_(tabs) {
        if (!tabs_) return;
        tab_ = tabs_->currentIndex();
        tabs_->setEnabled(false);
    }
    ~TabStripLock() {
        QCoreApplication::processEvents();
        if (!tabs_) return;
        tabs_->setCurrentIndex(tab_);
        tabs_->setEnabled(true);
    }
    TabStripLock(const TabStripLock&) = delete;
    TabStripLock& operator=(const TabStripLock&) = delete;

private:
    QPointer<QTabWidget> tabs_;
    int tab_ = -1;
};

// The hourglass while a slow call runs.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace filteropts
