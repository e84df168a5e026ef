#include "clientcommon/forms/FormLayout.h"

#include <QWidget>

namespace tavrel {

void setMinimumTwips(QWidget* window, int widthTwips, int heightTwips) {
    if (!window) return;
    const QSize minimum = twipsSize(widthTwips, heightTwips);
    window->setMinimumSize(minimum);
    if (window->width() < minimum.width() || window->height() < minimum.height())
        window->resize(window->size().expandedTo(minimum));
}

}  // namespace tavrel
