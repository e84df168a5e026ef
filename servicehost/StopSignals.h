#pragma once
// SIGTERM and SIGINT stop the service through its shut-down, banner and all.
// The signal only writes a byte to a pipe; the event loop (also the one a
// waiting request serves) hands it to the program. Whatever the program is
// doing, it is gone two seconds after the first signal: a watchdog thread,
// woken by the same signal, ends the process when the shut-down has not
// finished by then (a call that cannot be interrupted, such as a database
// connection that hangs).
#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class QSocketNotifier;

namespace tavrelsvc {

class StopSignals : public QObject {
public:
    // How long the shut-down may take after the signal before the watchdog ends the process.
    static constexpr int kWatchdogMs = 1800;

    explicit StopSignals(std::function<void()> onStop, QObject* parent = nullptr);
    ~StopSignals() override;

    // Installs the handlers; false when the pipes cannot be made (nothing is installed then).
    bool install();
    // The shut-down has run: the watchdog stands down.
    void stopped() { stopped_ = true; }

private:
    void watch();

    std::function<void()> onStop_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::thread watchdog_;
    std::atomic<bool> stopped_{false};
    std::atomic<bool> leaving_{false};
};

}  // namespace tavrelsvc
