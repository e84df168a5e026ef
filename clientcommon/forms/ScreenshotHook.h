#pragma once
// Pictures of a program's window for the README and for review
// (scripts/screenshot.sh). Nothing happens unless TAVREL_SCREENSHOT is set.
#include <QString>

#include <functional>

class QWidget;

namespace tavrel {

// What to show before the picture is taken; answers the window to picture
// (null: the program's window).
using ScreenshotView = std::function<QWidget*(const QString& what)>;

// When TAVREL_SCREENSHOT names a file: once the window has been shown and has
// settled, TAVREL_SCREENSHOT_TAB (when set) is handed to show, the window it
// answers is saved as a PNG in that file, and the program ends with exit code
// 0, or 1 when the picture could not be taken or written. On an X display the
// picture comes from the screen, as the user sees it.
void installScreenshotHook(QWidget* window, ScreenshotView show = {});

}  // namespace tavrel
