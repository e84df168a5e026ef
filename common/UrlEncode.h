#pragma once
#include <QString>

namespace common {

// Percent-encoding of one query value: ASCII letters, digits and "_" stay, every
// other character becomes "%" and the two upper-case hex digits of its byte in
// the 8-bit code page (a blank is %20, never "+").
QString modGlobal_UrlEncode(const QString& text);

}  // namespace common
