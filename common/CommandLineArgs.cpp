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

}  // namespace common
