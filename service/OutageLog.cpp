#include "service/OutageLog.h"

#include <QElapsedTimer>

namespace tavrelsvc {

OutageLog::Clock OutageLog::steadyClock() {
    return [] {
        static QElapsedTimer started = [] {
            QElapsedTimer t;
            t.start();
            return t;
        }();
        return started.elapsed();
    };
}

OutageLog::OutageLog(Clock clock) : clock_(std::move(clock)) {}

OutageLog::Say OutageLog::failed() {
    const qint64 now = clock_();
    if (!active_) {
        active_ = true;
        since_ = lastLine_ = now;
        return Say::Start;
    }
    if (now - lastLine_ < kReminderMs) return Say::Nothing;
    lastLine_ = now;
    return Say::Reminder;
}

bool OutageLog::ended() {
    if (!active_) return false;
    active_ = false;
    lastLine_ = clock_();
    return true;
}

qint64 OutageLog::minutesLost() const { return ((active_ ? clock_() : lastLine_) - since_) / 60000; }

}  // namespace tavrelsvc
