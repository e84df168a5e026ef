#include "client/CentreOnScreen.h"

#include <QScreen>
#include <QWidget>

namespace tavrel {

void centreOnScreen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QSize size = window->size().expandedTo(window->sizeHint()).expandedTo(window->minimumSize());
    window->move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
}

}  // namespace tavrel
