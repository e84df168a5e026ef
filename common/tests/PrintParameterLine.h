#pragma once
// Lets GoogleTest show a parameter line as "3: KEY=VALUE" when a comparison fails.
#include "common/ParameterFile.h"

#include <ostream>

namespace tavrel {
inline void PrintTo(const ParameterLine& l, std::ostream* os) {
    *os << l.lineNumber << ": " << (l.key + u'=' + l.value).toStdString();
}
}  // namespace tavrel
