// Pondrel: converts one Sciex .WIFF file into a peak list and ends with an
// exit code. The WIFF import library comes as an automation plug-in.
#include "platform/AutomationPlugins.h"
#include "platform/ExitCodes.h"
#include "pondrel/PondrelStartUp.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    // This system has no process-wide security to set up for the library's
    // objects: they live in this process, so the step always succeeds.
    constexpr long kSecurityInitialised = 0;
    platform::loadAutomationPlugins();  // a missing library shows as its own error at its first use
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    const int code = pondrel::Form_Load(args, kSecurityInitialised);
    return platform::exitcodes::toStatus(code);
}
