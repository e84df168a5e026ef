#include "status/ServiceWatchdog.h"

#include "clientcommon/Globals.h"
#include "common/ProcessHelpers.h"
#include "common/ServiceCommands.h"
#include "clientcommon/ServiceWakeUp.h"
#include "platform/MessageBox.h"


namespace tavrel {

namespace {

constexpr int kWaitAfterStartSeconds = 5;
const QString kTitle = QStringLiteral("Sorvex Tavrel");

bool askYes(const QString& question) {
    return platform::MsgBox(question, platform::vbYesNo, kTitle) == platform::vbYes;
}

}  // namespace

ServiceWatchdog::ServiceWatchdog()
    : wait([](int seconds) { common::modGlobal_WaitSeconds(seconds); }),
      trayProgram(common::serviceProgramBesideThis()) {}

void ServiceWatchdog::run() {
    while (!modGlobal_NotifyService(false)) {
        if (!askYes(QStringLiteral("Sorvex Tavrel Service is not running. Try to start it?"))) return;
        const bool started = TrayMessageId != 0 ? startTrayProgram() : startWindowsService();
        if (!started) return;
        wait(kWaitAfterStartSeconds);
    }
}

bool ServiceWatchdog::startTrayProgram() { return modGlobal_StartTrayProgram(trayProgram); }

bool ServiceWatchdog::startWindowsService() {
    while (!modGlobal_StartService(false))
        if (!askYes(QStringLiteral("Unable to start Sorvex Tavrel Service. Try again?"))) return false;
    return true;
}

}  // namespace tavrel
