#include "platform/MessageBox.h"

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

}  // namespace platform
