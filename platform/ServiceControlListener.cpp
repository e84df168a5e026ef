#include "platform/ServiceControlListener.h"

#include "platform/ProgramFolder.h"
#include "platform/ServiceControl.h"
#include "platform/ServiceStartMarker.h"

namespace platform {

ServiceControlListener::ServiceControlListener(QString serviceName, QObject* parent)
    : QObject(parent),
      serviceName_(std::move(serviceName)),
      state_(SERVICE_RUNNING),
      accepted_(SERVICE_ACCEPT_STOP),
      server_([this](const QByteArray& request) { return answer(request); }) {}

bool ServiceControlListener::listen(QString* error) {
    const QString channel = serviceChannelName(serviceName_, resolveProgramFolder());
    // Clients run by the members of the program folder's group reach it too.
    if (!server_.listen(channel, error, LocalChannelServer::Access::UserAndGroup)) return false;
    ServiceStartMarker(channel).clear();  // started: no longer pending
    state_ = SERVICE_RUNNING;
    return true;
}

void ServiceControlListener::close() { server_.close(); }

QByteArray ServiceControlListener::stateLine() const {
    return "state " + QByteArray::number(state_) + ' ' + QByteArray::number(accepted_);
}

QByteArray ServiceControlListener::answer(const QByteArray& request) {
    if (request == "query") return stateLine();
    const QList<QByteArray> words = request.split(' ');
    bool ok = false;
    const quint32 control = words.size() == 2 && words[0] == "control" ? words[1].toUInt(&ok) : 0;
    if (!ok) return "error " + QByteArray::number(ERROR_INVALID_PARAMETER);
    if (control == SERVICE_CONTROL_INTERROGATE) return stateLine();
    if (state_ != SERVICE_RUNNING && state_ != SERVICE_PAUSED)
        return "error " + QByteArray::number(ERROR_SERVICE_CANNOT_ACCEPT_CTRL);
    const bool user = control >= 128 && control <= 255;
    const bool stop = control == SERVICE_CONTROL_STOP && (accepted_ & SERVICE_ACCEPT_STOP);
    if (!user && !stop) return "error " + QByteArray::number(ERROR_INVALID_SERVICE_CONTROL);
    if (stop) state_ = SERVICE_STOP_PENDING;
    try {
        if (handler_) handler_(control);
    } catch (...) {
        // The service ignores errors of its control handler; the caller still gets the state.
    }
    return stateLine();
}

}  // namespace platform
