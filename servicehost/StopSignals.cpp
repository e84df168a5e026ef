#include "servicehost/StopSignals.h"

#include "platform/SysLog.h"

#include <QSocketNotifier>

#include <chrono>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tavrelsvc {

namespace {

// The signal handler can reach only what lives outside any object.
int signalPipe[2] = {-1, -1};
int watchdogPipe[2] = {-1, -1};

void onSignal(int) {
    const char c = 1;
    [[maybe_unused]] ssize_t n = ::write(signalPipe[1], &c, 1);
    n = ::write(watchdogPipe[1], &c, 1);
}

void closePair(int (&pair)[2]) {
    for (int& fd : pair) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

}  // namespace

StopSignals::StopSignals(std::function<void()> onStop, QObject* parent) : QObject(parent), onStop_(std::move(onStop)) {}

StopSignals::~StopSignals() {
    if (watchdog_.joinable()) {
        leaving_ = true;
        const char c = 0;
        [[maybe_unused]] const ssize_t n = ::write(watchdogPipe[1], &c, 1);
        watchdog_.join();
    }
    struct sigaction plain = {};
    plain.sa_handler = SIG_DFL;
    sigaction(SIGTERM, &plain, nullptr);
    sigaction(SIGINT, &plain, nullptr);
    notifier_.reset();
    closePair(signalPipe);
    closePair(watchdogPipe);
}

bool StopSignals::install() {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return false;
    if (::pipe2(watchdogPipe, O_CLOEXEC) != 0) {
        closePair(signalPipe);
        return false;
    }
    notifier_ = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        char c = 0;
        [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], &c, 1);
        if (onStop_) onStop_();
    });
    watchdog_ = std::thread([this] { watch(); });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    return true;
}

void StopSignals::watch() {
    char c = 0;
    while (::read(watchdogPipe[0], &c, 1) < 0 && errno == EINTR) {
    }
    if (leaving_) return;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWatchdogMs);
    while (!stopped_ && !leaving_ && std::chrono::steady_clock::now() < deadline) {
        pollfd wake{watchdogPipe[0], POLLIN, 0};
        ::poll(&wake, 1, 50);
        if (wake.revents & POLLIN) {
            [[maybe_unused]] const ssize_t n = ::read(watchdogPipe[0], &c, 1);
        }
    }
    if (stopped_ || leaving_) return;
    static const char text[] = "Sorvex Tavrel Service did not finish its shut-down within two seconds of the stop "
                               "signal; it ends now\n";
    [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, text, sizeof text - 1);
    platform::writeSystemEvent(1, 109, QString::fromLatin1(text).trimmed());
    ::_exit(1);
}

}  // namespace tavrelsvc
