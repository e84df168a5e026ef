#pragma once
// The programs' version: the project's version of the build (project(VERSION)
// in CMakeLists.txt), the one the package carries, so that a program always
// says the version it was built as. The server sees it in the user agent.
#include <QString>

namespace common {

extern const int ProgramMajor;
extern const int ProgramMinor;
extern const int ProgramRevision;

// "0.1.0"
QString programVersion();

// "Sorvex Tavrel 0.1.0"
QString userAgent();

}  // namespace common
