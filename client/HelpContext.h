#pragma once
// Context help. Every window numbers itself and its controls and menu items
// in a block of 4096 of its own; F1 opens the help page of the window at the
// topic of the focused control's number, in the desktop browser. The pages
// ship beside the program in the folder "help", one per window, with an
// anchor per number.
#include <QObject>
#include <QString>
#include <QUrl>

class QWidget;

namespace tavrel {

inline const char* const kHelpContextProperty = "helpContextId";

struct HelpWindow {
    const char* window;  // the window's object name, also its page's name
    int base;
};
// The blocks of the client's windows.
const QList<HelpWindow>& helpWindows();

// The number of a control (by its object name; members of a control array,
// "name(i)", share the number of "name" unless they have their own) in that
// window, 0 when it has none.
int helpContextId(const QString& window, const QString& control);

// SetHelpContextIds: the window and each of its named children and actions
// get their numbers (as the property kHelpContextProperty).
void setHelpContextIds(QWidget* window);

// The help folder (in the installed data folder, else beside the program) and the page of a number: the page of
// the window whose block holds it, at that anchor.
QString helpFolder();
QUrl helpTopicUrl(int contextId);
QUrl helpIndexUrl();

// The number F1 on this widget opens: its own or that of the nearest parent
// that has one.
int helpContextOf(const QObject* object);

// Installed once on the application: F1 opens the topic of the focused
// control (or of the active window) through the desktop launcher; a page
// that cannot be opened is a plain message.
class HelpKeyFilter : public QObject {
public:
    explicit HelpKeyFilter(QObject* parent = nullptr) : QObject(parent) {}
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Opens the page as results are opened (client/Launchers.h); false, after
// the message that shows its address, when nothing could.
bool showHelpTopic(const QUrl& url);

}  // namespace tavrel
