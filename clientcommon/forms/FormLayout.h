#pragma once
// Window sizes are given in twips (15 to a pixel at the usual 96 dots per
// inch). A resizable window keeps its controls in Qt layouts, which stretch
// them with the window, and a minimum size below which it cannot be dragged.
#include <QSize>

class QWidget;

namespace tavrel {

inline constexpr int kTwipsPerPixel = 15;

// Rounded up, so that a minimum is never smaller than its twips.
constexpr int twipsToPixels(int twips) { return (twips + kTwipsPerPixel - 1) / kTwipsPerPixel; }
constexpr QSize twipsSize(int widthTwips, int heightTwips) {
    return QSize(twipsToPixels(widthTwips), twipsToPixels(heightTwips));
}

// The window's minimum size; a window that is smaller already grows to it.
void setMinimumTwips(QWidget* window, int widthTwips, int heightTwips);

}  // namespace tavrel
