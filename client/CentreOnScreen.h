#pragma once
class QWidget;

namespace tavrel {

// Moves the window so that its size sits in the middle of its screen's
// working area (the dialogs open there).
void centreOnScreen(QWidget* window);

}  // namespace tavrel
