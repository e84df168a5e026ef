#include "clientcommon/forms/DesktopLauncher.h"

#include <QDesktopServices>

namespace tavrel {

namespace {
DesktopLauncher* currentLauncher = nullptr;
}

DesktopLauncher* setDesktopLauncher(DesktopLauncher* launcher) {
    DesktopLauncher* previous = currentLauncher;
    currentLauncher = launcher;
    return previous;
}

bool openOnDesktop(const QUrl& url) {
    if (!url.isValid()) return false;
    if (currentLauncher) return currentLauncher->openUrl(url);
    return QDesktopServices::openUrl(url);
}

}  // namespace tavrel
