#pragma once
// The one clock of the job engine. Every "Now" of a job (construction, due
// times, delays, submission times) is read here, so tests can step whole jobs
// through hours of schedule without waiting.
#include "common/TaskDbTables.h"

#include <QDateTime>

#include <functional>

namespace tavrelsvc {

using JobClock = std::function<QDateTime()>;

QDateTime clsJob_Now();

// Installs a clock (empty: the system clock) and returns the previous one.
JobClock setJobClock(JobClock clock);

using common::jetZeroDate;

// Delays from the settings are whole seconds.
inline QDateTime addDelaySeconds(const QDateTime& when, qint64 seconds) { return when.addSecs(seconds); }

}  // namespace tavrelsvc
