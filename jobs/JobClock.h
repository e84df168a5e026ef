#pragma once
// The one clock of the job engine. Every "Now" of a job (construction, due
// times, delays, submission times) is read here, so tests can step whole jobs
// through hours of schedule without waiting.
#include "common/TaskDbTables.h"

#include <QDateTime>

#include <functional>
#include <limits>

namespace tavrelsvc {

using JobClock = std::function<QDateTime()>;

// The system clock's "now" is at the local offset from UTC (Qt::OffsetFromUTC):
// the local wall-clock time, which moves and compares without a time-zone
// look-up; the database stores it as local time like any date-time.
QDateTime clsJob_Now();
// The same instant in milliseconds since the epoch, read without converting
// a local time: what the tests every tick of every job make use.
qint64 clsJob_NowMs();

// Installs a clock (empty: the system clock) and returns the previous one.
JobClock setJobClock(JobClock clock);

using common::jetZeroDate;

// A job's due time, kept with its instant, so that the test of whether it
// has come converts no local time.
class JobDueTime {
public:
    JobDueTime& operator=(const QDateTime& when) {
        when_ = when;
        // An invalid time is before every valid one, as QDateTime orders them.
        ms_ = when.isValid() ? when.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min();
        return *this;
    }
    const QDateTime& dateTime() const { return when_; }
    qint64 msSinceEpoch() const { return ms_; }
    bool isAfter(qint64 msSinceEpoch) const { return ms_ > msSinceEpoch; }

private:
    QDateTime when_;
    qint64 ms_ = std::numeric_limits<qint64>::min();
};

// Delays from the settings are whole seconds.
inline QDateTime addDelaySeconds(const QDateTime& when, qint64 seconds) { return when.addSecs(seconds); }

}  // namespace tavrelsvc
