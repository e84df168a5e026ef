#pragma once
// Every text that may reach a message box or the event log passes through here
// first, so that no password is ever shown or written.
#include <QString>

namespace common {

// Hides with "***" the password of every URL ("user:password@") and the
// value of every password key of a connection string or query ("Password =
// 'x'", "pwd=x", "&password=x"), read by the same rules as their parsers.
QString maskSecrets(const QString& text);

}  // namespace common
