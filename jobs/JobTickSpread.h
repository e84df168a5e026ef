#pragma once
// When the jobs' timers fire. Each job ticks every interval at its own phase:
// a job made on its own first ticks TimerTick seconds after it was made, but
// jobs made together (a thousand tasks taken up at start-up) would all tick in
// the same instant, and a request to the service would wait behind all of
// them. A new job whose phase falls too near another job's takes the middle
// of the widest gap between the others' phases instead, so the ticks come
// one after the other, spread over the interval.
#include <QList>
#include <QtGlobal>

namespace tavrelsvc {

// How much later than its natural phase a new job first ticks, in [0,
// interval). `others` are the phases of the other jobs with the same
// interval and `natural` the new job's own, all in [0, interval).
qint64 tickPhaseOffsetMs(QList<qint64> others, qint64 natural, qint64 intervalMs);

// Milliseconds from `sinceFirstTickMs` (time since the job's first tick,
// negative before it) to the job's next tick: in (0, interval], or the time
// left before the first tick.
qint64 msUntilNextTick(qint64 sinceFirstTickMs, qint64 intervalMs);

}  // namespace tavrelsvc
