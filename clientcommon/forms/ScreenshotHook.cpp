#include "clientcommon/forms/ScreenshotHook.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace tavrel {

namespace {

// Long enough for the window to be mapped and painted under a bare X server.
constexpr int kSettleMs = 1500;
constexpr int kAfterTabMs = 500;

QPixmap takePicture(QWidget* window) {
    QPixmap picture;
    if (QGuiApplication::platformName() == QLatin1String("xcb") && window->screen())
        picture = window->screen()->grabWindow(window->winId());
    if (picture.isNull()) picture = window->grab();
    return picture;
}

void save(QWidget* window, const QString& file) {
    const QPixmap picture = takePicture(window);
    const bool ok = !picture.isNull() && picture.save(file, "PNG");
    std::fprintf(stderr, ok ? "screenshot: %s\n" : "screenshot: could not write %s\n", qPrintable(file));
    QCoreApplication::exit(ok ? 0 : 1);
}

}  // namespace

void installScreenshotHook(QWidget* window, ScreenshotView show) {
    const QString file = qEnvironmentVariable("TAVREL_SCREENSHOT");
    if (file.isEmpty() || !window) return;
    const QString tab = qEnvironmentVariable("TAVREL_SCREENSHOT_TAB");
    QTimer::singleShot(kSettleMs, window, [window, file, tab, show] {
        QPointer<QWidget> target(window);
        if (!tab.isEmpty() && show)
            if (QWidget* shown = show(tab)) target = shown;
        QTimer::singleShot(kAfterTabMs, window, [target, file] {
            if (target) save(target, file);
            else QCoreApplication::exit(1);
        });
    });
}

}  // namespace tavrel
