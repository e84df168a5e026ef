#pragma once
#include <QIcon>
#include <QString>

class QWidget;

namespace common {

// Gives a window (and, with alsoOwner, the last window of its owner chain) the
// program's icon. The icon resource is the Qt resource ":/" + its name, so the
// resource "AAA" is listed in a .qrc file under the alias "AAA". A missing
// resource or window leaves the icons as they are.
void modGlobal_SetWindowIcons(QWidget* window, const QString& iconResourceName, bool alsoOwner);
void modGlobal_SetWindowIcons(QWidget* window, const QIcon& icon, bool alsoOwner);

}  // namespace common
