#pragma once
// Window messages between programs of one program folder, for the service
// program in the tray: it keeps a window listener under its window title and
// class, a client finds it by title and sends it a registered message. A
// message returns after the receiver's window procedure has answered.
#include "platform/LocalChannel.h"

#include <QObject>
#include <QString>

#include <functional>

namespace platform {

using HWND = quintptr;

inline constexpr long ERROR_INVALID_WINDOW_HANDLE = 1400;

// A stable id in 0xC000 to 0xFFFF for the name (letter case ignored), the
// same in every program; 0 for an empty name.
quint32 RegisterWindowMessage(const QString& name);

// The window of that title (and class, when className is not empty) of the
// current program folder, or 0 when no such window answers.
HWND FindWindow(const QString& className, const QString& windowName);

// Delivers the message and returns the window procedure's answer; 0 with
// *error set (1400 window gone, 1460 no answer in time) when it was not delivered.
qintptr SendMessage(HWND window, quint32 message, quintptr wParam, qintptr lParam, long* error = nullptr);

// The receiving window. The procedure runs on the event loop's thread and
// must not destroy the listener.
class WindowMessageListener : public QObject {
public:
    using WindowProc = std::function<qintptr(quint32 message, quintptr wParam, qintptr lParam)>;

    WindowMessageListener(QString className, QString windowName, QObject* parent = nullptr);

    // False with the reason when a window of that title answers already.
    bool listen(QString* error = nullptr);
    void close();
    bool isListening() const { return server_.isListening(); }
    void setWindowProc(WindowProc proc) { proc_ = std::move(proc); }

private:
    QByteArray answer(const QByteArray& request);

    QString className_;
    QString windowName_;
    WindowProc proc_;
    LocalChannelServer server_;
};

}  // namespace platform
