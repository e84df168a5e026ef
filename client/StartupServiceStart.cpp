// Start-up's service start: wake the service, or start it, or on the user's
// word run the service program in the tray (only in a program folder of the
// user's own, on a desktop that has a tray).
#include "client/ClientGlobals.h"
#include "client/StartupSequence.h"
#include "clientcommon/Globals.h"
#include "common/ServiceCommands.h"
#include "clientcommon/ServiceWakeUp.h"
#include "platform/MessageBox.h"
#include "platform/WindowMessages.h"

namespace tavrel {

namespace {

const QString kTitle = QStringLiteral("Sorvex Tavrel");

QString unableToStart() {
    return QStringLiteral("Unable to start the Sorvex Tavrel Service") + QStringLiteral("\r\n") +
           QStringLiteral("  Choose Abort to to exit Sorvex Tavrel") + QStringLiteral("\r\n") +
           QStringLiteral("  Choose Retry to verify Task database connection string and try again") +
           QStringLiteral("\r\n") +
           QStringLiteral("  Choose Ignore to run the Sorvex Tavrel service component on the desktop");
}

}  // namespace

QString StartupSequence::trayRefusal() const {
    if (QString refused = common::trayServiceRefusal(serviceProgram_); !refused.isEmpty()) return refused;
    if (systemTrayAvailable_ && !systemTrayAvailable_()) return common::noSystemTrayText();
    return QString();
}

bool StartupSequence::startService() {
    TrayMessageId = 0;
    if (platform::FindWindow(QString(), ServiceWindowTitle) != 0)
        TrayMessageId = platform::RegisterWindowMessage(ServicePrivateMessageName);
    // A service that started but does not take the wake-up is asked a few
    // times; the refresh wakes it again later.
    for (int started = 0; started < 3 && !modGlobal_NotifyService(true); ++started) {
        say(QStringLiteral("Starting Sorvex Tavrel service"));
        while (!modGlobal_StartService(false)) {
            const int answer = platform::MsgBox(unableToStart(), platform::vbAbortRetryIgnore, kTitle);
            if (answer == platform::vbAbort) return false;
            if (answer == platform::vbRetry) {
                showPreferences(2);
                if (ExitRequested) return false;
                continue;
            }
            // Ignore: the service program on the desktop, in the tray, where
            // that may be; else the user is told why and asked again.
            if (const QString refused = trayRefusal(); !refused.isEmpty()) {
                platform::MsgBox(refused, platform::vbOKOnly | platform::vbExclamation, kTitle);
                continue;
            }
            TrayMessageId = platform::RegisterWindowMessage(ServicePrivateMessageName);
            return modGlobal_StartTrayProgram(serviceProgram_);
        }
    }
    return true;
}

}  // namespace tavrel
