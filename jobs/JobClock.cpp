#include "jobs/JobClock.h"

#include <limits>
#include <utility>

namespace tavrelsvc {

namespace {

struct ClockSlot {
    JobClock clock;
    // The local offset from UTC, looked up once a second. A local "now" that
    // is converted whenever it is compared or moved costs a look at the time
    // zone (a file's status) each time, and ten thousand jobs do that a
    // thousand times a second; a "now" at its offset costs nothing, shows
    // the same wall-clock time and is stored as local time as any other.
    qint64 offsetSecond = std::numeric_limits<qint64>::min();
    int offsetSeconds = 0;
};

ClockSlot& clockSlot() {
    static ClockSlot slot;
    return slot;
}

}  // namespace

QDateTime clsJob_Now() {
    ClockSlot& slot = clockSlot();
    if (slot.clock) return slot.clock();
    const qint64 ms = QDateTime::currentMSecsSinceEpoch();
    if (ms / 1000 != slot.offsetSecond) {
        slot.offsetSecond = ms / 1000;
        slot.offsetSeconds = QDateTime::fromMSecsSinceEpoch(ms).offsetFromUtc();
    }
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::OffsetFromUTC, slot.offsetSeconds);
}

qint64 clsJob_NowMs() {
    const ClockSlot& slot = clockSlot();
    return slot.clock ? slot.clock().toMSecsSinceEpoch() : QDateTime::currentMSecsSinceEpoch();
}

JobClock setJobClock(JobClock clock) { return std::exchange(clockSlot().clock, std::move(clock)); }

}  // namespace tavrelsvc
