#pragma once
// The running service's side of the service control manager: answers state
// queries and hands each control code to the service, then answers the state
// the service is in afterwards. It lives on the thread of the program's event
// loop; the handler runs there too.
#include "platform/LocalChannel.h"

#include <QObject>
#include <QString>

#include <functional>

namespace platform {

class ServiceControlListener : public QObject {
public:
    // Called for a stop (1) and for user-defined codes (128 to 255). A stop
    // sets the state to stop pending before the call; the service closes the
    // listener when its shut-down is done. The handler must not destroy the
    // listener (use close(), or delete it later from the event loop).
    using ControlHandler = std::function<void(quint32 control)>;

    explicit ServiceControlListener(QString serviceName, QObject* parent = nullptr);

    // Starts answering for the service of the current program folder, running.
    // False with the reason when that service answers already.
    bool listen(QString* error = nullptr);
    // From here on the service reads as stopped.
    void close();
    bool isListening() const { return server_.isListening(); }

    void setControlHandler(ControlHandler handler) { handler_ = std::move(handler); }
    void setState(quint32 state) { state_ = state; }
    quint32 state() const { return state_; }
    void setControlsAccepted(quint32 accepted) { accepted_ = accepted; }

private:
    QByteArray answer(const QByteArray& request);
    QByteArray stateLine() const;

    QString serviceName_;
    ControlHandler handler_;
    quint32 state_;
    quint32 accepted_;
    LocalChannelServer server_;
};

}  // namespace platform
