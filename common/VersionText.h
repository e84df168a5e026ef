#pragma once
// Dotted version texts (server versions, component library versions) are
// compared field by field, never as one decimal number: 1.10 is later than 1.6.
#include <QString>

namespace common {

// a is at least b, comparing the first three dotted fields by their leading
// numbers ("6b25" reads as 6). An empty version or one whose first number is
// 0 is never at least anything, and nothing is at least it.
bool isVersionAtLeast(const QString& a, const QString& b);

}  // namespace common
