#pragma once
// The one clock of the job engine. Every "Now" of a job (construction, due
// times, delays, submission times) is read here, so tests can step whole jobs
// through hours of schedule without waiting.
#include <QDateTime>

#include <functional>

namespace tavrelsvc {

using JobClock = std::function<QDateTime()>;

QDateTime clsJob_Now();

// Installs a clock (empty: the system clock) and returns the previous one.
JobClock setJobClock(JobClock clock);

// The date the task database stores for "number 0": a file row whose
// next_action is not later than this is done.
inline QDateTime jetZeroDate() { return QDateTime(QDate(1899, 12, 30), QTime(0, 0)); }

// Delays from the settings are whole seconds.
inline QDateTime addDelaySeconds(const QDateTime& when, qint64 seconds) { return when.addSecs(seconds); }

}  // namespace tavrelsvc
