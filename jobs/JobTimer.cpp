#include "jobs/JobTimer.h"

#include "platform/InetWait.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <limits>

namespace tavrelsvc {

namespace {

constexpr qint64 kSlotMs = 200;
constexpr qint64 kCoalesceFromMs = 1000;
// How often due ticks look whether a request's wait has ended.
constexpr int kWhileRequestWaitsMs = 10;

}  // namespace

JobTickQueue::JobTickQueue() { clock_.start(); }

JobTickQueue::~JobTickQueue() {
    for (auto& [due, timer] : due_) timer->active_ = false;
    delete timer_.data();  // null when the application has gone first
}

JobTickQueue::Entries::iterator JobTickQueue::add(qint64 dueMs, JobTimer* timer) {
    const auto entry = due_.emplace(dueMs, timer);
    if (entry == due_.begin()) arm();
    return entry;
}

void JobTickQueue::remove(Entries::iterator entry) {
    const bool first = entry == due_.begin();
    due_.erase(entry);
    if (first) arm();
}

void JobTickQueue::arm() {
    if (!timer_) {
        timer_ = new QTimer(QCoreApplication::instance());
        timer_->setSingleShot(true);
        timer_->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer_.data(), &QTimer::timeout, timer_.data(), [this] { fireOne(); });
    }
    if (due_.empty()) {
        timer_->stop();
        return;
    }
    const qint64 wait = std::clamp<qint64>(due_.begin()->first - nowMs(), 0, std::numeric_limits<int>::max());
    timer_->start(static_cast<int>(wait));
}

void JobTickQueue::fireOne() {
    if (due_.empty()) return;
    const auto first = due_.begin();
    if (first->first > nowMs()) return arm();
    // A tick never runs inside a job's wait for the server: the wait could
    // not end before the tick's own requests. Due ticks keep their order and
    // come as soon as the wait is over.
    if (platform::requestWaiting()) return timer_->start(kWhileRequestWaitsMs);
    JobTimer* timer = first->second;
    due_.erase(first);
    timer->active_ = false;
    arm();  // before the tick, which may start and stop timers (its own too)
    if (timer->timeout_) timer->timeout_();
    // The ticks that came due while this one waited for the server looked
    // only now and then whether the wait was over: they come at once now.
    if (!platform::requestWaiting()) arm();
}

JobTimer::JobTimer(JobTickQueue& queue, std::function<void()> timeout) : queue_(queue), timeout_(std::move(timeout)) {}

JobTimer::~JobTimer() { stop(); }

void JobTimer::start(int milliseconds) {
    stop();
    qint64 due = queue_.nowMs() + std::max(0, milliseconds);
    // A program that wakes from sleep finds its memory out of the caches: a
    // wake-up costs more than the tick it serves. A tick a second or more
    // ahead is due at the next slot boundary instead (a little late, and the
    // job's next tick keeps its phase), so the ticks of a slot are served
    // together, each in a pass of its own.
    if (milliseconds >= kCoalesceFromMs) due = (due + kSlotMs - 1) / kSlotMs * kSlotMs;
    entry_ = queue_.add(due, this);
    active_ = true;
}

void JobTimer::stop() {
    if (!active_) return;
    active_ = false;
    queue_.remove(entry_);
}

int JobTimer::remainingTime() const {
    if (!active_) return -1;
    return static_cast<int>(std::clamp<qint64>(entry_->first - queue_.nowMs(), 0, std::numeric_limits<int>::max()));
}

}  // namespace tavrelsvc
