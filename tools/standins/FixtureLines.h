#pragma once
// Small readers of the fixtures' "<keyword> <rest>" lines.
#include "platform/Error.h"

#include <QString>
#include <QStringList>

namespace standins {

inline QString keywordOf(const QString& line) { return line.section(QLatin1Char(' '), 0, 0); }
inline QString restOf(const QString& line) { return line.section(QLatin1Char(' '), 1); }

// "<number> <text>" as the error a component raises.
inline platform::Error errorOf(const QString& rest) {
    return platform::Error(rest.section(QLatin1Char(' '), 0, 0).toLong(), rest.section(QLatin1Char(' '), 1));
}

inline QString numberArg(double value) { return QString::number(value, 'g', 15); }

}  // namespace standins
