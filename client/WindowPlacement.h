#pragma once
// Where the main window stands between runs: FormLeft, FormTop, FormWidth and
// FormHeight of section "Preferences", in twips, as decimal text.
#include <QRect>

#include <optional>

class QWidget;

namespace tavrel {

// The stored placement in pixels; nothing when FormTop is absent or a value is
// not a number.
std::optional<QRect> storedPlacement();

// Where the window goes: the stored placement when it lies wholly on one of
// the screens, else the window's own size centred on the primary screen.
QRect placementToApply(const std::optional<QRect>& stored, const QSize& windowSize, const QList<QRect>& screens);

// Start-up: moves the window to its stored place (or centres it).
void restorePlacement(QWidget* window);

// Shut-down: writes the placement, only while the window is in its normal
// state (a minimised or maximised window keeps the stored one).
void savePlacement(const QWidget* window);

}  // namespace tavrel
