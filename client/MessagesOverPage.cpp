#include "client/MessagesOverPage.h"

#include <QTabWidget>

namespace tavrel {

MessagesOverPage::MessagesOverPage(QTabWidget* pages, int page)
    : pages_(pages), page_(page), previous_(platform::setMessageBoxHandler(this)) {}

MessagesOverPage::~MessagesOverPage() { platform::setMessageBoxHandler(previous_); }

int MessagesOverPage::show(const QString& text, int style, const QString& title) {
    if (pages_ && page_ >= 0 && page_ < pages_->count()) pages_->setCurrentIndex(page_);
    // The box itself is shown as it would be without this guard.
    platform::MessageBoxHandler* self = platform::setMessageBoxHandler(previous_);
    const int answer = platform::MsgBox(text, style, title);
    platform::setMessageBoxHandler(self);
    return answer;
}

void showPageOf(QTabWidget* pages, QWidget* widget) {
    for (int i = 0; pages && widget && i < pages->count(); ++i)
        if (pages->widget(i)->isAncestorOf(widget)) pages->setCurrentIndex(i);
}

}  // namespace tavrel
