#pragma once
// The service program's command line. Switches are compared without regard
// to case, anywhere on the line; anything the program does not know is
// refused with the usage, so a mistyped switch never starts service mode in
// silence.
#include <QString>
#include <QStringList>

namespace tavrelsvc {

struct ServiceSwitches {
    bool install = false;
    bool uninstall = false;
    bool silent = false;
    bool debug = false;
    bool systray = false;
    bool help = false;
    bool version = false;
    QStringList unknown;  // arguments that are no switch of the program
};

// The arguments after the program's name.
ServiceSwitches parseServiceSwitches(const QStringList& arguments);

// What --help prints.
QString serviceUsage();
// "Sorvex Tavrel Service version 0.1.0", as the start-up banner says it.
QString serviceVersionText();

// The switch service mode is started with (the unit's and the registration's command line).
inline const QString ServiceModeSwitch = QStringLiteral("-service");

}  // namespace tavrelsvc
