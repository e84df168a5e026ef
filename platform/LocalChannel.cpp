#include "platform/LocalChannel.h"

#include "platform/ProgramFolder.h"
#include "platform/UniqueFd.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QVariant>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {
constexpr qsizetype kMaxLine = 256;
}

QString localChannelName(const QString& prefix, const QString& name, const QString& programFolder) {
    const QByteArray key = name.toLower().toUtf8() + '\n' + programFolder.toUtf8();
    const QString hash =
        QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(16));
    return runtimeFolder(programFolder) + QLatin1Char('/') + prefix + QLatin1Char('-') + hash;
}

namespace {

// The address a socket is bound and reached at: its path when that fits the
// kernel's limit, else "/proc/self/fd/<folder>/<name>" through a descriptor of
// its folder, which the holder keeps open while it uses the address.
struct ChannelAddress {
    QString address;
    std::shared_ptr<const void> folder;  // the folder's descriptor, when one is used
    QString error;
};

constexpr qsizetype kMaxSocketPath = sizeof(sockaddr_un::sun_path) - 1;

ChannelAddress channelAddress(const QString& channelName) {
    if (!channelName.startsWith(QLatin1Char('/')) || QFile::encodeName(channelName).size() <= kMaxSocketPath)
        return {channelName, nullptr, QString()};
    const QFileInfo info(channelName);
    auto holder = std::make_shared<const UniqueFd>(
        ::open(QFile::encodeName(info.absolutePath()).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!*holder)
        return {QString(), nullptr,
                QStringLiteral("%1: %2").arg(info.absolutePath(), QString::fromLocal8Bit(std::strerror(errno)))};
    const QString address = QStringLiteral("/proc/self/fd/%1/%2").arg(holder->get()).arg(info.fileName());
    if (QFile::encodeName(address).size() > kMaxSocketPath)
        return {QString(), nullptr, QStringLiteral("the socket name %1 is too long").arg(info.fileName())};
    return {address, std::move(holder), QString()};
}

enum class Attempt { Answered, NoListener, HungUp, TimedOut };

Attempt requestOnce(const QString& channelName, const QByteArray& request, const QDeadlineTimer& deadline,
                    int timeoutMs, QByteArray* answer) {
    const ChannelAddress address = channelAddress(channelName);
    if (address.address.isEmpty()) return Attempt::NoListener;
    QLocalSocket socket;
    socket.connectToServer(address.address);
    // A local connection is made by the kernel, without the listener's help.
    if (!socket.waitForConnected(std::min(timeoutMs, 2000))) return Attempt::NoListener;
    socket.write(request + '\n');
    socket.flush();

    QByteArray received;
    while (true) {
        received += socket.readAll();
        const qsizetype end = received.indexOf('\n');
        if (end >= 0) {
            if (answer) *answer = received.left(end);
            return Attempt::Answered;
        }
        if (socket.state() != QLocalSocket::ConnectedState) {
            // The listener may answer and hang up between our read and this
            // test: whatever it sent is still buffered.
            received += socket.readAll();
            const qsizetype last = received.indexOf('\n');
            if (last < 0) return Attempt::HungUp;
            if (answer) *answer = received.left(last);
            return Attempt::Answered;
        }
        if (deadline.hasExpired() || received.size() > kMaxLine) return Attempt::TimedOut;
        // The listener may be in this program: keep its events served.
        QEventLoop loop;
        QObject::connect(&socket, &QLocalSocket::readyRead, &loop, &QEventLoop::quit);
        QObject::connect(&socket, &QLocalSocket::disconnected, &loop, &QEventLoop::quit);
        QTimer::singleShot(std::max<qint64>(1, deadline.remainingTime()), &loop, &QEventLoop::quit);
        loop.exec();
    }
}

}  // namespace

ChannelResult localChannelRequest(const QString& channelName, const QByteArray& request, int timeoutMs,
                                  QByteArray* answer) {
    const QDeadlineTimer deadline(timeoutMs);
    // A listener that is only coming up (or going) can take a connection and
    // drop it unanswered; ask again a few times before calling it silent.
    for (int attempt = 0;; ++attempt) {
        switch (requestOnce(channelName, request, deadline, timeoutMs, answer)) {
            case Attempt::Answered: return ChannelResult::Answered;
            case Attempt::NoListener: return ChannelResult::NoListener;
            case Attempt::TimedOut: return ChannelResult::NoAnswer;
            case Attempt::HungUp:
                if (attempt >= 3 || deadline.hasExpired()) return ChannelResult::NoAnswer;
                QThread::msleep(20);
                break;
        }
    }
}

LocalChannelServer::LocalChannelServer(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)) {}

LocalChannelServer::~LocalChannelServer() { close(); }

bool LocalChannelServer::listen(const QString& channelName, QString* error, Access access) {
    close();
    if (channelName.startsWith(QLatin1Char('/'))) {
        const QString problem = privateFolderProblem(QFileInfo(channelName).absolutePath());
        if (!problem.isEmpty()) {
            if (error) *error = problem;
            return false;
        }
    }
    ChannelAddress address = channelAddress(channelName);
    if (address.address.isEmpty()) {
        if (error) *error = address.error;
        return false;
    }
    {
        QLocalSocket probe;
        probe.connectToServer(address.address);
        if (probe.waitForConnected(500)) {
            if (error) *error = QStringLiteral("another program answers on %1 already").arg(channelName);
            return false;
        }
    }
    QLocalServer::removeServer(address.address);  // a socket file left by a program that died
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(access == Access::UserAndGroup
                                 ? QLocalServer::UserAccessOption | QLocalServer::GroupAccessOption
                                 : QLocalServer::UserAccessOption);
    if (!server->listen(address.address)) {
        if (error) *error = channelName + QStringLiteral(": ") + server->errorString();
        return false;
    }
    connect(server.get(), &QLocalServer::newConnection, this, &LocalChannelServer::onNewConnection);
    server_ = std::move(server);
    folderHandle_ = std::move(address.folder);
    return true;
}

void LocalChannelServer::close() {
    if (!server_) return;
    server_->close();  // removes the socket file, through the folder's descriptor if need be
    server_.release()->deleteLater();  // may be closed from inside one of its own handlers
    folderHandle_.reset();
}

bool LocalChannelServer::isListening() const { return server_ && server_->isListening(); }

void LocalChannelServer::onNewConnection() {
    while (server_ && server_->hasPendingConnections()) {
        QLocalSocket* socket = server_->nextPendingConnection();
        socket->setParent(this);  // outlives a close() made while it is served
        if (openConnections_ >= kMaxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++openConnections_;
        connect(socket, &QObject::destroyed, this, [this] { --openConnections_; });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // Served or not, a connection ends within its time.
        QTimer::singleShot(kSilentConnectionMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        if (socket->bytesAvailable() > 0) onReadyRead(socket);
    }
}

void LocalChannelServer::onReadyRead(QLocalSocket* socket) {
    QPointer<QLocalSocket> guard(socket);
    if (socket->property("served").toBool()) return;  // one request per connection
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxLine) socket->abort();
        return;
    }
    const QByteArray line = socket->readLine(kMaxLine + 1).trimmed();
    socket->setProperty("served", true);
    QByteArray reply;
    try {
        reply = handler_ ? handler_(line) : QByteArray();
    } catch (...) {
        reply.clear();  // nothing escapes a handler; the caller sees no answer
    }
    if (!guard) return;
    if (!reply.isEmpty()) {
        guard->write(reply + '\n');
        guard->flush();
    }
    guard->disconnectFromServer();
}

}  // namespace platform
