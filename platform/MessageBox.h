#pragma once
// Message boxes go through one small seam so that tests (and the service, which
// must never block on a dialog) can answer them.
#include <QList>
#include <QString>

namespace platform {

// Button sets and answers keep the classic numbering the callers compare.
enum MsgStyle : int {
    vbOKOnly = 0, vbOKCancel = 1, vbAbortRetryIgnore = 2, vbYesNoCancel = 3, vbYesNo = 4,
    vbRetryCancel = 5, vbCritical = 16, vbQuestion = 32, vbExclamation = 48, vbInformation = 64,
};
enum MsgAnswer : int { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

class MessageBoxHandler {
public:
    virtual ~MessageBoxHandler() = default;
    virtual int show(const QString& text, int style, const QString& title) = 0;
};

// Installs the handler used by MsgBox; returns the previous one. The windowed
// programs install a QMessageBox handler at start-up; without one MsgBox writes
// the text to standard error and answers the default button (OK / Yes).
MessageBoxHandler* setMessageBoxHandler(MessageBoxHandler* handler);

int MsgBox(const QString& text, int style = vbOKOnly, const QString& title = QStringLiteral("Sorvex Tavrel"));

// While it lives, boxes with an OK button alone are held (answered OK at once)
// and shown, in order, when it ends or release() is called. A box waiting for
// the user must never keep a transaction or a lock open: whoever holds one
// holds the boxes too, and shows them after letting go. A question cannot
// wait for its answer; it is shown at once (a caller that asks inside a
// transaction is at fault, and it is logged).
class HeldMessageBoxes : private MessageBoxHandler {
public:
    HeldMessageBoxes();
    ~HeldMessageBoxes() override;
    HeldMessageBoxes(const HeldMessageBoxes&) = delete;
    HeldMessageBoxes& operator=(const HeldMessageBoxes&) = delete;
    void release();  // the held boxes now; later ones are no longer held

private:
    struct Held {
        QString text;
        int style;
        QString title;
    };
    int show(const QString& text, int style, const QString& title) override;

    MessageBoxHandler* previous_;
    bool holding_ = true;
    QList<Held> held_;
};

}  // namespace platform
