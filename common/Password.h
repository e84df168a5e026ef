#pragma once
// Passwords kept in the settings are scrambled so that they cannot be read at
// a glance (no secrecy is claimed): one decimal number per character, each
// preceded by a blank, from the character's code page 1252 code, its position
// and three fixed constants. Client and service must use the same rule.
#include <QString>

namespace common {

// The scrambled text; "" for an empty password. A character outside code
// page 1252 throws platform::Error 5: storing it would silently change the
// password.
QString modGlobal_EncodePassword(const QString& password);

// The password of a scrambled text; "" for an empty text. A number that does
// not give a character code 0 to 255 (a damaged text) throws platform::Error 5.
QString modGlobal_DecodePassword(const QString& stored);

}  // namespace common
