#pragma once
// One request line, one answer line over a local socket: the way the service
// control and window message stand-ins reach a running program. The sockets
// live in the program folder's runtime folder (platform/ProgramFolder.h),
// which only its owner and group may enter, never under names anyone could
// take in the shared temporary folder; their names are a hash of the name
// and the program folder, so programs of two program folders never reach
// each other. A socket's address holds at most 107 bytes: a runtime folder
// deeper than that is reached through a descriptor of the folder, so any
// program-folder path works.
#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;

namespace platform {

// "<runtime folder>/<prefix>-<16 hex digits of a hash of name and folder>".
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
// of 256 bytes are dropped unanswered. A connection that sends no whole line
// within a few seconds is closed, and no more than a few dozen are open at a
// time (more are closed at once): silent connections never use up the
// program's descriptors.
class LocalChannelServer : public QObject {
public:
    static constexpr int kSilentConnectionMs = 5000;
    static constexpr int kMaxConnections = 64;

    using Handler = std::function<QByteArray(const QByteArray& request)>;

    // Who may connect: the listening user alone, or also the members of the
    // runtime folder's group (a client of the service run by a lab user).
    enum class Access { User, UserAndGroup };

    explicit LocalChannelServer(Handler handler, QObject* parent = nullptr);
    ~LocalChannelServer() override;

    // False with the reason when another program answers on the name already.
    // A socket left behind by a program that died is cleared first. A socket
    // folder that others could enter is refused.
    bool listen(const QString& channelName, QString* error = nullptr, Access access = Access::User);
    void close();
    bool isListening() const;

private:
    void onNewConnection();
    void onReadyRead(QLocalSocket* socket);

    Handler handler_;
    std::unique_ptr<QLocalServer> server_;
    std::shared_ptr<const void> folderHandle_;  // keeps a deep socket's folder reachable
    int openConnections_ = 0;
};

}  // namespace platform
