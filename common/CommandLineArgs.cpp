#include "common/CommandLineArgs.h"

#include <QCoreApplication>

namespace common {

QStringList modGlobal_SplitCommandLineText(const QString& commandLine, int MaxArgs) {
    if (MaxArgs < 0) MaxArgs = 0;
    QStringList args{QString()};
    bool inside = false;
    for (const QChar c : commandLine) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            inside = false;
            continue;
        }
        if (!inside) {
            if (args.size() - 1 == MaxArgs) break;
            args.append(QString());
            inside = true;
        }
        args.last() += c;
    }
    return args;
}

QStringList modGlobal_SplitCommandLine(int MaxArgs) {
    // The line the program was given, as one text again: the system has split
    // it already, but the switches are read with the rule above.
    QStringList given;
    if (QCoreApplication::instance()) given = QCoreApplication::arguments().mid(1);
    return modGlobal_SplitCommandLineText(given.join(QLatin1Char(' ')), MaxArgs);
}

bool modGlobal_HasArgument(const QStringList& arguments, const QString& text) {
    const QString wanted = text.toUpper();
    for (const QString& a : arguments) {
        if (a.toUpper() == wanted) return true;
    }
    return false;
}

bool isHelpSwitch(const QString& argument) {
    const QString a = argument.toLower();
    return a == u"--help" || a == u"-help" || a == u"-h" || a == u"-?";
}

bool isVersionSwitch(const QString& argument) {
    const QString a = argument.toLower();
    return a == u"--version" || a == u"-version";
}

InfoSwitch infoSwitchOf(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (isHelpSwitch(argument)) return InfoSwitch::Help;
        if (isVersionSwitch(argument)) return InfoSwitch::Version;
    }
    return InfoSwitch::None;
}

}  // namespace common
