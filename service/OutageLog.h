#pragma once
// One outage of something the service needs (the task database, a search
// server): its error is written when it starts, a reminder at most every few
// minutes while it lasts, and one line when it ends, however many ticks fail
// meanwhile. The caller words the lines; this keeps the time.
#include <QtGlobal>

#include <functional>

namespace tavrelsvc {

class OutageLog {
public:
    // Milliseconds of a clock that never goes back.
    using Clock = std::function<qint64()>;
    static Clock steadyClock();
    // At most this often a reminder: five minutes.
    static constexpr qint64 kReminderMs = 5 * 60 * 1000;

    explicit OutageLog(Clock clock = steadyClock());

    enum class Say { Start, Reminder, Nothing };
    // A failure: whether it starts the outage, is due for a reminder, or
    // passes unwritten.
    Say failed();
    // A success: true once, when it ends an outage (minutesLost() tells how long).
    bool ended();
    bool active() const { return active_; }
    // Whole minutes since the outage began.
    qint64 minutesLost() const;

private:
    Clock clock_;
    bool active_ = false;
    qint64 since_ = 0;
    qint64 lastLine_ = 0;
};

}  // namespace tavrelsvc
