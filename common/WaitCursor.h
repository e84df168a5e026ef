#pragma once
// The hourglass pointer for the life of the guard, put back however the scope
// is left; nothing happens in a program without a screen.
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

namespace common {

class WaitCursor {
public:
    WaitCursor() : active_(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        if (active_) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~WaitCursor() {
        if (active_) QGuiApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool active_;
};

}  // namespace common
