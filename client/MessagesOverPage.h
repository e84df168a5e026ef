#pragma once
// A dialog of several pages that checks its fields one step after the other:
// while a step runs, whatever it says or asks (its own refusals, and those of
// the server test or the database it calls) is shown over the page of the
// fields it checks, not over the page the user happened to leave open.
#include "platform/MessageBox.h"

class QTabWidget;
class QWidget;

namespace tavrel {

class MessagesOverPage : private platform::MessageBoxHandler {
public:
    MessagesOverPage(QTabWidget* pages, int page);
    ~MessagesOverPage() override;
    MessagesOverPage(const MessagesOverPage&) = delete;
    MessagesOverPage& operator=(const MessagesOverPage&) = delete;

private:
    int show(const QString& text, int style, const QString& title) override;

    QTabWidget* pages_;
    int page_;
    platform::MessageBoxHandler* previous_;
};

// Brings the page that holds the widget to the front (nothing when no page does).
void showPageOf(QTabWidget* pages, QWidget* widget);

}  // namespace tavrel
