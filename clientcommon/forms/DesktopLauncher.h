#pragma once
// Pages and files are opened by the desktop (its browser, its associated
// program) through one seam, so that tests see what would have been opened.
#include <QUrl>

namespace tavrel {

class DesktopLauncher {
public:
    virtual ~DesktopLauncher() = default;
    virtual bool openUrl(const QUrl& url) = 0;
};

// Installs the launcher (nullptr: the desktop's own) and returns the previous one.
DesktopLauncher* setDesktopLauncher(DesktopLauncher* launcher);

// True when the desktop took the address (a web page, or a local file opened
// with its associated program).
bool openOnDesktop(const QUrl& url);

}  // namespace tavrel
