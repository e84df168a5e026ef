#pragma once
// The user's own desktop associations, read the way the freedesktop.org
// "MIME Applications" rules read them, so that a computer without xdg-utils
// (or a test with its own XDG_CONFIG_HOME and XDG_DATA_HOME) answers too.
// Everything read here lies in the user's own configuration or in the
// system's folders, never in the program folder.
#include <QString>

namespace platform {

// The desktop entry (as a path) of the default application for the MIME
// type: the first installed entry that "[Default Applications]" of a
// mimeapps.list names, in the order of the configuration and data folders
// (desktop-specific lists first), else of "defaults.list", else of
// "mimeinfo.cache". Empty when none names one.
QString xdgDefaultDesktopEntry(const QString& mimeType);

}  // namespace platform
