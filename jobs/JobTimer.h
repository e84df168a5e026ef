#pragma once
// The jobs' timers. A service runs a thousand jobs or more, each ticking
// every few seconds; a system timer per job makes every start and stop of one
// walk the whole list of the program's timers, which costs more than the
// ticks themselves. The jobs' timers are kept instead in one queue, ordered by
// when they are due, on a single system timer. The queue hands out one due
// tick per pass of the event loop, so what else waits (a request to the
// service) is served between two jobs' ticks; while a job waits for the
// server, due ticks wait for it to end. Ticks a second or more ahead
// are served in slots of 200 ms: the program wakes at most five times a
// second for them, however many jobs there are.
#include <QElapsedTimer>
#include <QPointer>

#include <functional>
#include <map>

class QTimer;


namespace tavrelsvc {

class JobTimer;

class JobTickQueue {
public:
    JobTickQueue();
    ~JobTickQueue();
    JobTickQueue(const JobTickQueue&) = delete;
    JobTickQueue& operator=(const JobTickQueue&) = delete;

    qsizetype pending() const { return static_cast<qsizetype>(due_.size()); }

private:
    friend class JobTimer;
    using Entries = std::multimap<qint64, JobTimer*>;

    qint64 nowMs() const { return clock_.elapsed(); }
    Entries::iterator add(qint64 dueMs, JobTimer* timer);
    void remove(Entries::iterator entry);
    void fireOne();
    void arm();

    QElapsedTimer clock_;
    Entries due_;
    // Made with the first job's timer as a child of the running application,
    // which deletes it when it ends before this queue (a program-wide queue).
    QPointer<QTimer> timer_;
};

// A single-shot timer of a job, with the part of QTimer's interface the jobs
// and the host use.
class JobTimer {
public:
    JobTimer(JobTickQueue& queue, std::function<void()> timeout);
    ~JobTimer();
    JobTimer(const JobTimer&) = delete;
    JobTimer& operator=(const JobTimer&) = delete;

    void start(int milliseconds);
    void stop();
    bool isActive() const { return active_; }
    // Milliseconds until the tick (0 when overdue), -1 when not active.
    int remainingTime() const;

private:
    friend class JobTickQueue;

    JobTickQueue& queue_;
    std::function<void()> timeout_;
    JobTickQueue::Entries::iterator entry_;
    bool active_ = false;
};

}  // namespace tavrelsvc
