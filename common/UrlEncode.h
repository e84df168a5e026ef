#pragma once
#include <QString>

namespace common {

// Percent-encoding of one query value (the login's user name and password):
// ASCII letters, digits and "_" stay, every other character becomes "%" and
// the two upper-case hex digits of its 8-bit code page byte (a blank is %20,
// never "+"). A character outside the code page is sent as "?" (%3F), as the
// server's other clients do.
QString modGlobal_UrlEncode(const QString& text);

}  // namespace common
