#include "platform/AdoStepWorker.h"

#include "platform/DatabaseWait.h"
#include "platform/InetWait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>

namespace platform {

namespace {

// A step that answers within this is no wait: nothing is served or shown.
constexpr int kAtOnceMs = 20;
// How often a waiting window serves its events.
constexpr int kServingSliceMs = 20;
// How often a thread without a window looks at the bound.
constexpr int kBlockingSliceMs = 200;

DatabaseWaitPolicy& policy() {
    thread_local DatabaseWaitPolicy value;
    return value;
}

}  // namespace

DatabaseWaitPolicy setDatabaseWaitPolicy(DatabaseWaitPolicy next) { return std::exchange(policy(), std::move(next)); }

struct AdoStepWorker::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    std::function<void()> step;
    bool busy = false;  // a step is given and not done yet
    bool stop = false;

    bool waitDone(int ms) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::milliseconds(ms), [this] { return !busy; });
    }
    void waitDone() {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return !busy; });
    }
};

AdoStepWorker::AdoStepWorker() : shared_(std::make_shared<Shared>()) {
    thread_ = std::thread([shared = shared_] {
        std::unique_lock lock(shared->mutex);
        for (;;) {
            shared->changed.wait(lock, [&] { return shared->stop || shared->step; });
            if (!shared->step) return;
            std::function<void()> step = std::exchange(shared->step, nullptr);
            lock.unlock();
            try {
                step();
            } catch (...) {
                // A step reports through what it captured; nothing may end this thread.
            }
            step = nullptr;  // what an abandoned step owns goes here, on this thread
            lock.lock();
            shared->busy = false;
            shared->changed.notify_all();
        }
    });
}

AdoStepWorker::~AdoStepWorker() {
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->stop = true;
    }
    shared_->changed.notify_all();
    if (abandoned_)
        thread_.detach();
    else
        thread_.join();
}

void AdoStepWorker::start(std::function<void()> step) {
    Q_ASSERT(!abandoned_);
    {
        const std::lock_guard lock(shared_->mutex);
        Q_ASSERT(!shared_->busy);
        shared_->step = std::move(step);
        shared_->busy = true;
    }
    shared_->changed.notify_all();
}

bool AdoStepWorker::finished() const {
    const std::lock_guard lock(shared_->mutex);
    return !shared_->busy;
}

AdoStepWorker::Outcome AdoStepWorker::run(std::function<void()> step, const Wait& wait) {
    start(std::move(step));
    return this->wait(wait);
}

AdoStepWorker::Outcome AdoStepWorker::wait(const Wait& wait) {
    const QDeadlineTimer deadline = wait.boundMs > 0 ? QDeadlineTimer(wait.boundMs) : QDeadlineTimer::Forever;
    if (shared_->waitDone(kAtOnceMs)) return Outcome::Done;

    // A copy: the events served below may install another policy.
    const DatabaseWaitPolicy rule = policy();
    const QCoreApplication* app = QCoreApplication::instance();
    const bool serve = rule.begin && app && QThread::currentThread() == app->thread();
    const ServedWaitMark mark(serve);
    if (serve) rule.begin(wait.address);
    Outcome outcome = Outcome::Done;
    for (;;) {
        const qint64 left = deadline.remainingTime();
        const int slice = serve ? kServingSliceMs : int(left < 0 ? kBlockingSliceMs : std::min<qint64>(left, kBlockingSliceMs));
        if (shared_->waitDone(slice)) break;
        if (serve) {
            if (rule.serve) rule.serve();
            if (rule.cancelled && rule.cancelled() && !finished()) {
                outcome = Outcome::Cancelled;
                break;
            }
        }
        if (deadline.hasExpired() && !finished()) {
            outcome = Outcome::Overran;
            break;
        }
    }
    if (outcome != Outcome::Done) {
        if (wait.interrupt) {
            wait.interrupt();
            shared_->waitDone();  // the shut socket ends the step at once
        } else {
            abandon();
        }
    }
    if (serve && rule.end) rule.end();
    return outcome;
}

}  // namespace platform
