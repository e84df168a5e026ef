#include "clientcommon/forms/WindowIcons.h"

#include <QFile>
#include <QWidget>

namespace common {

void modGlobal_SetWindowIcons(QWidget* window, const QIcon& icon, bool alsoOwner) {
    if (!window || icon.isNull()) return;
    QWidget* self = window->window();
    if (alsoOwner) {
        QWidget* owner = self;
        while (owner->parentWidget()) owner = owner->parentWidget()->window();
        if (owner != self) owner->setWindowIcon(icon);
    }
    // One icon holds every size; the system picks the big and the small one.
    self->setWindowIcon(icon);
}

void modGlobal_SetWindowIcons(QWidget* window, const QString& iconResourceName, bool alsoOwner) {
    const QString path = QStringLiteral(":/") + iconResourceName;
    if (iconResourceName.isEmpty() || !QFile::exists(path)) return;
    modGlobal_SetWindowIcons(window, QIcon(path), alsoOwner);
}

}  // namespace common
