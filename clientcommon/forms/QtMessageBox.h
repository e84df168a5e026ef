#pragma once
// The windowed client's message boxes: MsgBox calls end in a modal QMessageBox
// over the active window.
#include "platform/MessageBox.h"

namespace tavrel {

class QtMessageBoxHandler : public platform::MessageBoxHandler {
public:
    int show(const QString& text, int style, const QString& title) override;
};

}  // namespace tavrel
