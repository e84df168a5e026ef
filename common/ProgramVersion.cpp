#include "common/ProgramVersion.h"

// Given by the build (common/CMakeLists.txt) for this file alone, so that a new
// version rebuilds nothing else.
#if !defined(TAVREL_VERSION_MAJOR) || !defined(TAVREL_VERSION_MINOR) || !defined(TAVREL_VERSION_PATCH)
#error "The build gives the project's version as TAVREL_VERSION_MAJOR, _MINOR and _PATCH"
#endif

namespace common {

const int ProgramMajor = TAVREL_VERSION_MAJOR;
const int ProgramMinor = TAVREL_VERSION_MINOR;
const int ProgramRevision = TAVREL_VERSION_PATCH;

QString programVersion() {
    return QStringLiteral("%1.%2.%3").arg(ProgramMajor).arg(ProgramMinor).arg(ProgramRevision);
}

QString userAgent() { return QStringLiteral("Sorvex Tavrel ") + programVersion(); }

}  // namespace common
