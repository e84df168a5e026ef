#include "platform/MessageBox.h"

#include <QtGlobal>

#include <cstdio>

namespace platform {

namespace {
MessageBoxHandler* currentHandler = nullptr;
}

MessageBoxHandler* setMessageBoxHandler(MessageBoxHandler* handler) {
    MessageBoxHandler* previous = currentHandler;
    currentHandler = handler;
    return previous;
}

int MsgBox(const QString& text, int style, const QString& title) {
    if (currentHandler) return currentHandler->show(text, style, title);
    std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    switch (style & 7) {
        case vbYesNo:
        case vbYesNoCancel: return vbYes;
        case vbRetryCancel: return vbRetry;
        case vbAbortRetryIgnore: return vbAbort;
        default: return vbOK;
    }
}

HeldMessageBoxes::HeldMessageBoxes() : previous_(setMessageBoxHandler(this)) {}

HeldMessageBoxes::~HeldMessageBoxes() {
    try {
        release();
    } catch (...) {
        // A box that failed to show must not end the program from a destructor.
    }
}

void HeldMessageBoxes::release() {
    if (!holding_) return;
    holding_ = false;
    setMessageBoxHandler(previous_);
    const QList<Held> held = std::move(held_);
    held_.clear();
    for (const Held& box : held) MsgBox(box.text, box.style, box.title);
}

int HeldMessageBoxes::show(const QString& text, int style, const QString& title) {
    if ((style & 7) == vbOKOnly) {
        held_.append({text, style, title});
        return vbOK;
    }
    qWarning("A question was asked while a transaction or a lock was held: %s", qPrintable(text));
    MessageBoxHandler* self = setMessageBoxHandler(previous_);
    const int answer = MsgBox(text, style, title);
    setMessageBoxHandler(self);
    return answer;
}

}  // namespace platform
