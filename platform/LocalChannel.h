#pragma once
// One request line, one answer line over a local socket: the way the service
// control and window message stand-ins reach a running program. The socket
// names carry a hash of the program folder, so programs of two program folders
// (two TAVREL_HOMEs) never reach each other.
#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;

namespace platform {

// "<prefix>-<name, cut and reduced to safe characters>-<hash of name and folder>".
// The name is compared without regard to case.
QString localChannelName(const QString& prefix, const QString& name, const QString& programFolder);

enum class ChannelResult { Answered, NoListener, NoAnswer };

// Sends the request and waits up to timeoutMs for the answer line, serving the
// program's events meanwhile (the listener may live in this very program).
// The answer comes without its line end.
ChannelResult localChannelRequest(const QString& channelName, const QByteArray& request, int timeoutMs,
                                  QByteArray* answer);

// The answering side. Every connection carries one request line; the handler's
// answer goes back and the connection is closed. Requests longer than a line
// of 256 bytes are dropped unanswered.
class LocalChannelServer : public QObject {
public:
    using Handler = std::function<QByteArray(const QByteArray& request)>;

    explicit LocalChannelServer(Handler handler, QObject* parent = nullptr);
    ~LocalChannelServer() override;

    // False with the reason when another program answers on the name already.
    // A socket left behind by a program that died is cleared first. Only the
    // same user may connect.
    bool listen(const QString& channelName, QString* error = nullptr);
    void close();
    bool isListening() const;

private:
    void onNewConnection();
    void onReadyRead(QLocalSocket* socket);

    Handler handler_;
    std::unique_ptr<QLocalServer> server_;
};

}  // namespace platform
