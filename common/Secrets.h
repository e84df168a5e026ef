#pragma once
// Every text that may reach a message box or the event log passes through here
// first, so that no password is ever shown or written.
#include <QString>

namespace common {

// Hides the value of each "password=" query field (any letter case) and the
// password of a "user:password@" part in URLs with "***".
QString maskSecrets(const QString& text);

}  // namespace common
