#pragma once
// The windowed client's view of a request, or a database step, that waits for
// its server: after a moment a small window names the address and offers
// Cancel. Until it shows,
// the user's input is held back (it is delivered afterwards, to the window
// that then has it), so nothing the user does starts inside the wait; paint
// events and timers are served all along.
#include "clientcommon/RequestWait.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QStringList>

namespace tavrel {

class RequestWaitDialog : public RequestWaitView {
public:
    // The window shows after `showAfterMs` of waiting.
    explicit RequestWaitDialog(int showAfterMs = 400);
    ~RequestWaitDialog() override;
    RequestWaitDialog(const RequestWaitDialog&) = delete;
    RequestWaitDialog& operator=(const RequestWaitDialog&) = delete;

    void begin(const QString& what) override;
    void end() override;
    void serve() override;
    bool cancelled() const override { return cancelled_; }

    // The window while it shows (object name "frmRequestWait"), else null.
    QDialog* window() const { return dialog_.data(); }

private:
    void show();
    void hide();
    QString text() const;

    int showAfterMs_;
    QStringList texts_;  // innermost last
    QElapsedTimer clock_;
    bool cancelled_ = false;
    bool arrowPushed_ = false;
    QPointer<QDialog> dialog_;
    QPointer<QLabel> label_;
};

}  // namespace tavrel
