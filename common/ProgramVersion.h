#pragma once
// The programs' version as the server sees it in the user agent.
#include <QString>

namespace common {

inline constexpr int ProgramMajor = 0;
inline constexpr int ProgramMinor = 1;
inline constexpr int ProgramRevision = 0;

// "Sorvex Tavrel 0.1.0"
inline QString userAgent() {
    return QStringLiteral("Sorvex Tavrel %1.%2.%3").arg(ProgramMajor).arg(ProgramMinor).arg(ProgramRevision);
}

}  // namespace common
