#pragma once
// The preferences' connection-string box shows a password as the message
// boxes do ("***"); what the user edits there is read back with the real
// password in place of the mask.
#include <QString>

namespace tavrel {

// The text the box shows for a connection string.
QString shownConnectionString(const QString& connection);

// The connection string the box stands for: `current` when the text is still
// what the box showed of it, else the text with every masked password value
// given back the password of `current`.
QString editedConnectionString(const QString& shown, const QString& current);

}  // namespace tavrel
