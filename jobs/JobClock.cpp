#include "jobs/JobClock.h"

#include <utility>

namespace tavrelsvc {

namespace {
JobClock& clockSlot() {
    static JobClock clock;
    return clock;
}
}  // namespace

QDateTime clsJob_Now() {
    const JobClock& clock = clockSlot();
    return clock ? clock() : QDateTime::currentDateTime();
}

qint64 clsJob_NowMs() {
    const JobClock& clock = clockSlot();
    return clock ? clock().toMSecsSinceEpoch() : QDateTime::currentMSecsSinceEpoch();
}

JobClock setJobClock(JobClock clock) { return std::exchange(clockSlot(), std::move(clock)); }

}  // namespace tavrelsvc
