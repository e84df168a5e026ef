#include "clientcommon/BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace tavrel {

BusyCursor::BusyCursor() : active_(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    if (active_) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyCursor::~BusyCursor() {
    if (active_) QGuiApplication::restoreOverrideCursor();
}

}  // namespace tavrel
