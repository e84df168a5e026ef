#pragma once
// Database servers that stop answering, for the tests of what waits on them:
// the server process of one connection stopped with SIGSTOP (its host still
// acknowledges what is sent, as a hung server's does), and a relay on
// 127.0.0.1 in front of a server that can fall silent (it cuts what it
// relays and accepts new connections without ever answering) and answer
// again.
#include "platform/AdoConnection.h"
#include "platform/OleDbConnectionString.h"

#include <QSqlQuery>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {

// The process id of the server process that serves a PostgreSQL connection.
inline qint64 serverProcessOf(platform::AdoConnection& c) {
    QSqlQuery q = c.query(QStringLiteral("SELECT pg_backend_pid()"));
    return q.next() ? q.value(0).toLongLong() : 0;
}

// Stops a server process for the guard's life, and at most `longestMs`: a
// test of code that would wait for it without end fails instead of hanging.
class StoppedServerProcess {
public:
    StoppedServerProcess(qint64 pid, int longestMs) : pid_(pid) {
        stopped_ = pid_ > 0 && ::kill(pid_t(pid_), SIGSTOP) == 0;
        if (!stopped_) return;
        guard_ = std::thread([this, longestMs] {
            std::unique_lock lock(mutex_);
            resumed_.wait_for(lock, std::chrono::milliseconds(longestMs), [this] { return resume_; });
            ::kill(pid_t(pid_), SIGCONT);
        });
    }
    ~StoppedServerProcess() { resume(); }
    StoppedServerProcess(const StoppedServerProcess&) = delete;
    StoppedServerProcess& operator=(const StoppedServerProcess&) = delete;

    // False when the process could not be stopped (another user's, say).
    bool stopped() const { return stopped_; }
    void resume() {
        if (!guard_.joinable()) return;
        {
            const std::lock_guard lock(mutex_);
            resume_ = true;
        }
        resumed_.notify_all();
        guard_.join();
    }

private:
    qint64 pid_;
    bool stopped_ = false;
    std::mutex mutex_;
    std::condition_variable resumed_;
    bool resume_ = false;
    std::thread guard_;
};

// Relays TCP connections from a port of 127.0.0.1 to a server, until it is
// told to fall silent.
class SilentRelay {
public:
    SilentRelay(const QString& host, quint16 port) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 || ::listen(listener_, 64) != 0) return;
        socklen_t size = sizeof at;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&at), &size);
        port_ = ntohs(at.sin_port);
        ::inet_pton(AF_INET, host.toLatin1().constData(), &target_.sin_addr);
        target_.sin_family = AF_INET;
        target_.sin_port = htons(port);
        thread_ = std::thread([this] { run(); });
    }
    ~SilentRelay() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        for (const Pair& p : pairs_) closePair(p);
        for (int fd : silent_) ::close(fd);
        if (listener_ >= 0) ::close(listener_);
    }
    SilentRelay(const SilentRelay&) = delete;
    SilentRelay& operator=(const SilentRelay&) = delete;

    quint16 port() const { return port_; }
    // A connection string through the relay: `connectionString` with its
    // Data Source replaced.
    QString through(const QString& connectionString) const {
        auto cs = platform::OleDbConnectionString::parse(connectionString);
        cs.setValue(QStringLiteral("Data Source"), QStringLiteral("127.0.0.1:%1").arg(port_));
        return cs.toString();
    }
    // Cuts every relayed connection (done on return); connections made from
    // now on are accepted and never answered.
    void fallSilent() {
        silent_wanted_ = true;
        while (!silentNow_) std::this_thread::yield();
    }
    void answerAgain() {
        silent_wanted_ = false;
        silentNow_ = false;
    }
    // Connections accepted while silent and still open at the other end.
    int unansweredConnections() const { return unanswered_; }

private:
    struct Pair {
        int client, server;
    };
    static void closePair(const Pair& p) {
        ::close(p.client);
        ::close(p.server);
    }
    void run() {
        char buffer[65536];
        while (!stop_) {
            if (silent_wanted_) {
                for (const Pair& p : pairs_) closePair(p);
                pairs_.clear();
                silentNow_ = true;
            }
            std::vector<pollfd> fds{{listener_, POLLIN, 0}};
            for (const Pair& p : pairs_) {
                fds.push_back({p.client, POLLIN, 0});
                fds.push_back({p.server, POLLIN, 0});
            }
            for (int fd : silent_) fds.push_back({fd, POLLRDHUP, 0});
            if (::poll(fds.data(), fds.size(), 20) <= 0) continue;
            std::vector<Pair> kept;
            for (size_t i = 0; i < pairs_.size(); ++i) {
                bool open = true;
                for (int side = 0; side < 2 && open; ++side) {
                    if (!(fds[1 + 2 * i + side].revents & (POLLIN | POLLHUP | POLLERR))) continue;
                    const int from = side == 0 ? pairs_[i].client : pairs_[i].server;
                    const int to = side == 0 ? pairs_[i].server : pairs_[i].client;
                    const ssize_t n = ::recv(from, buffer, sizeof buffer, 0);
                    open = n > 0 && ::send(to, buffer, size_t(n), MSG_NOSIGNAL) == n;
                }
                if (open)
                    kept.push_back(pairs_[i]);
                else
                    closePair(pairs_[i]);
            }
            std::vector<int> still;
            for (size_t i = 0; i < silent_.size(); ++i) {
                if (fds[1 + 2 * pairs_.size() + i].revents & (POLLRDHUP | POLLHUP | POLLERR))
                    ::close(silent_[i]);
                else
                    still.push_back(silent_[i]);
            }
            pairs_ = kept;
            silent_ = still;
            // Last: the new connection has no place in this round's poll.
            if (fds[0].revents & POLLIN) accept();
            unanswered_ = int(silent_.size());
        }
    }
    void accept() {
        const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) return;
        if (silent_wanted_) {
            silent_.push_back(client);  // never read, never answered
            return;
        }
        const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (::connect(server, reinterpret_cast<const sockaddr*>(&target_), sizeof target_) != 0) {
            ::close(server);
            ::close(client);
            return;
        }
        pairs_.push_back({client, server});
    }

    int listener_ = -1;
    quint16 port_ = 0;
    sockaddr_in target_{};
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> silent_wanted_{false};
    std::atomic<bool> silentNow_{false};
    std::atomic<int> unanswered_{0};
    std::vector<Pair> pairs_;  // the relay's thread only
    std::vector<int> silent_;
};

}  // namespace testsupport
