#include "servicehost/ServiceSwitches.h"

#include "common/CommandLineArgs.h"
#include "common/ProgramVersion.h"

namespace tavrelsvc {

ServiceSwitches parseServiceSwitches(const QStringList& arguments) {
    ServiceSwitches s;
    for (const QString& argument : arguments) {
        const QString a = argument.toLower();
        if (a == u"-install") s.install = true;
        else if (a == u"-uninstall") s.uninstall = true;
        else if (a == u"-silent") s.silent = true;
        else if (a == u"-debug") s.debug = true;
        else if (a == u"-systray") s.systray = true;
        else if (a == ServiceModeSwitch) continue;
        else if (common::isHelpSwitch(a)) s.help = true;
        else if (common::isVersionSwitch(a)) s.version = true;
        else s.unknown << argument;
    }
    return s;
}

QString serviceUsage() {
    return QStringLiteral(
        "Usage: TavrelService [SWITCH ...]\n"
        "Runs the tasks of the task database that name this computer.\n"
        "\n"
        "  (none), -service  service mode, as the service manager starts it\n"
        "  -debug            in the foreground, the event log echoed on standard error\n"
        "  -systray          on the desktop with a tray icon\n"
        "  -install          register the service (and, run as root where systemd runs,\n"
        "                    write and enable its systemd unit)\n"
        "  -uninstall        remove that registration and unit\n"
        "  -silent           no message for -install, -uninstall and a failed start\n"
        "  --help            this text\n"
        "  --version         the program's version\n"
        "\n"
        "The program folder (task database, settings, event log) is $TAVREL_HOME when\n"
        "set. Exit status: 0 done, 1 failed (the reason is on standard error or in the\n"
        "event log), 2 unknown switch.\n");
}

QString serviceVersionText() {
    return QStringLiteral("Sorvex Tavrel Service version ") + common::programVersion();
}

}  // namespace tavrelsvc
