// TavrelService: "-install [-silent]", "-uninstall", "-debug" (foreground, the
// event log echoed on standard error), "-systray" (tray icon), service mode
// (what the service manager starts), "--help" and "--version". Switches are
// compared without regard to case, anywhere on the command line; any other
// argument is refused with the usage (exit status 2).
#include "common/ServiceCommands.h"
#include "platform/MessageBox.h"
#include "platform/ProgramFolder.h"
#include "platform/SysLog.h"
#include "service/EventLog.h"
#include "servicehost/ServiceInstall.h"
#include "servicehost/ServiceSwitches.h"
#include "servicehost/StopSignals.h"
#include "servicehost/frmMain.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <sys/stat.h>

using namespace tavrelsvc;

namespace {

// Service mode must never wait on a dialog: a message goes to the logs instead.
class LoggingMessageBoxes : public platform::MessageBoxHandler {
public:
    int show(const QString& text, int style, const QString& title) override {
        platform::writeSystemEvent(1, 109, title + QStringLiteral(": ") + text);
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
        const int buttons = style & 7;
        return buttons == platform::vbYesNo || buttons == platform::vbYesNoCancel ? platform::vbYes : platform::vbOK;
    }
};

class WidgetMessageBoxes : public platform::MessageBoxHandler {
public:
    int show(const QString& text, int, const QString& title) override {
        QMessageBox::information(nullptr, title, text);
        return platform::vbOK;
    }
};

bool hasDisplay() {
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
           qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
}

}  // namespace

int main(int argc, char* argv[]) {
    platform::anchorProgramFolder();
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    const ServiceSwitches switches = parseServiceSwitches(args);
    if (!switches.unknown.isEmpty()) {
        std::fprintf(stderr, "TavrelService: unknown switch \"%s\"\n\n%s", qPrintable(switches.unknown.first()),
                     qPrintable(serviceUsage()));
        return 2;
    }
    if (switches.help) {
        std::fputs(qPrintable(serviceUsage()), stdout);
        return 0;
    }
    if (switches.version) {
        std::printf("%s\n", qPrintable(serviceVersionText()));
        return 0;
    }
    if (switches.install || switches.uninstall) {
        QCoreApplication app(argc, argv);
        return switches.install ? frmMain_InstallService(switches.silent) : frmMain_UninstallService(switches.silent);
    }

    // What the service makes (database, event log, cache folders) the program
    // folder's group shares, nobody else; its task commands inherit that.
    ::umask(S_IRWXO);

    frmMain::Options options;
    if (switches.debug) options.mode = RunMode::Debug;
    if (switches.systray) options.mode = RunMode::SysTray;
    options.silent = switches.silent;

    // The tray service is one user's, on that user's desktop: it runs every
    // task of the computer as that user, so never in a folder that other
    // accounts write (their tasks would run as this user). Without a tray it
    // ends rather than run tasks where no client can wake or stop it.
    std::unique_ptr<QCoreApplication> app;
    if (options.mode == RunMode::SysTray) {
        const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
        if (const QString refused = common::trayServiceRefusal(self); !refused.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(refused));
            return 1;
        }
        if (!hasDisplay()) {
            std::fprintf(stderr, "%s\n", qPrintable(common::noSystemTrayText()));
            return 1;
        }
        app = std::make_unique<QApplication>(argc, argv);
        if (!QSystemTrayIcon::isSystemTrayAvailable()) {
            std::fprintf(stderr, "%s\n", qPrintable(common::noSystemTrayText()));
            return 1;
        }
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }

    LoggingMessageBoxes loggingBoxes;
    WidgetMessageBoxes widgetBoxes;
    if (options.mode == RunMode::Service) platform::setMessageBoxHandler(&loggingBoxes);
    else if (options.mode == RunMode::SysTray) platform::setMessageBoxHandler(&widgetBoxes);
    EventLogStream::setEcho(options.mode == RunMode::Debug);

    frmMain window(options);
    StopSignals stopSignals([&window] { window.requestStop(); });
    if (!stopSignals.install()) std::fprintf(stderr, "The stop signals cannot be caught; SIGTERM ends the program at once\n");
    // The core application: a widget application exists in tray mode only.
    window.setOnUnloaded([&stopSignals] {
        stopSignals.stopped();
        QTimer::singleShot(0, QCoreApplication::instance(), [] { QCoreApplication::exit(0); });
    });

    // A stop asked for during the start-up is no failure.
    if (!window.Form_Load()) return window.stopRequested() ? 0 : 1;
    const int status = app->exec();
    window.Form_Unload();
    platform::setMessageBoxHandler(nullptr);
    return status;
}
