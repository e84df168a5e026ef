// TavrelService: "-install [-silent]", "-uninstall", "-debug" (foreground, the
// event log echoed on standard error), "-systray" (tray icon), and service
// mode (what the service control manager starts). Switches are compared
// without regard to case, anywhere on the command line.
#include "common/CommandLineArgs.h"
#include "platform/MessageBox.h"
#include "platform/SysLog.h"
#include "service/EventLog.h"
#include "servicehost/ServiceInstall.h"
#include "servicehost/frmMain.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QSystemTrayIcon>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

using namespace tavrelsvc;

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &c, 1);
}

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
    QStringList args = {QString()};
    for (int i = 1; i < argc && args.size() <= 10; ++i) args << QString::fromLocal8Bit(argv[i]);
    const auto has = [&](const char* s) { return common::modGlobal_HasArgument(args, QString::fromLatin1(s)); };
    const bool silent = has("-silent");

    if (has("-install") || has("-uninstall")) {
        QCoreApplication app(argc, argv);
        return has("-install") ? frmMain_InstallService(silent) : frmMain_UninstallService(silent);
    }

    frmMain::Options options;
    if (has("-debug")) options.mode = RunMode::Debug;
    if (has("-systray")) options.mode = RunMode::SysTray;
    options.silent = silent;

    std::unique_ptr<QCoreApplication> app;
    if (options.mode == RunMode::SysTray && hasDisplay()) {
        app = std::make_unique<QApplication>(argc, argv);
        if (!QSystemTrayIcon::isSystemTrayAvailable()) {
            std::fprintf(stderr, "No system tray is available; running as -debug\n");
            options.mode = RunMode::Debug;
        }
    } else {
        if (options.mode == RunMode::SysTray) {
            std::fprintf(stderr, "No system tray is available; running as -debug\n");
            options.mode = RunMode::Debug;
        }
        app = std::make_unique<QCoreApplication>(argc, argv);
    }

    LoggingMessageBoxes loggingBoxes;
    WidgetMessageBoxes widgetBoxes;
    if (options.mode == RunMode::Service) platform::setMessageBoxHandler(&loggingBoxes);
    else if (options.mode == RunMode::SysTray) platform::setMessageBoxHandler(&widgetBoxes);
    EventLogStream::setEcho(options.mode == RunMode::Debug);

    frmMain window(options);
    // The core application: a widget application exists in tray mode only.
    window.setOnUnloaded([] { QTimer::singleShot(0, QCoreApplication::instance(), [] { QCoreApplication::exit(0); }); });

    // SIGTERM and SIGINT end the service through its shut-down, banner and all.
    std::unique_ptr<QSocketNotifier> signalNotifier;
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) == 0) {
        signalNotifier = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
        QObject::connect(signalNotifier.get(), &QSocketNotifier::activated, &window, [&window] {
            char c = 0;
            [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], &c, 1);
            window.Form_Unload();
        });
        struct sigaction action = {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGTERM, &action, nullptr);
        sigaction(SIGINT, &action, nullptr);
    }

    if (!window.Form_Load()) return 1;
    const int status = app->exec();
    window.Form_Unload();
    platform::setMessageBoxHandler(nullptr);
    return status;
}
