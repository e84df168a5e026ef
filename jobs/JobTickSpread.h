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

#include <map>
#include <set>

namespace tavrelsvc {

// How much later than its natural phase a new job first ticks, in [0,
// interval). `others` are the phases of the other jobs with the same
// interval and `natural` the new job's own, all in [0, interval).
qint64 tickPhaseOffsetMs(QList<qint64> others, qint64 natural, qint64 intervalMs);

// The same answer from phases kept in order with the gaps between them, so
// that the ten-thousandth job made at start-up costs a look-up, not a walk
// over every job made before it.
class TickPhaseSet {
public:
    explicit TickPhaseSet(qint64 intervalMs) : interval_(intervalMs) {}

    void add(qint64 phase);
    void remove(qint64 phase);  // one of equal phases; nothing when none is there
    qsizetype size() const { return static_cast<qsizetype>(phases_.size()); }
    // What tickPhaseOffsetMs answers for the phases held.
    qint64 offsetFor(qint64 natural) const;

private:
    using Phases = std::multiset<qint64>;
    Phases::const_iterator before(Phases::const_iterator it) const;
    qint64 gapAfter(Phases::const_iterator it) const;  // to the next phase, across the interval's end
    void dropGap(qint64 start, qint64 width);

    qint64 interval_;
    Phases phases_;
    std::map<qint64, std::multiset<qint64>> gaps_;  // width -> the phases each such gap starts at
};

// The phases of every job, by the job's interval.
class JobTickPhases {
public:
    qint64 offsetFor(qint64 intervalMs, qint64 natural) const;
    void add(qint64 intervalMs, qint64 phase);
    void remove(qint64 intervalMs, qint64 phase);

private:
    std::map<qint64, TickPhaseSet> sets_;
};

// Milliseconds from `sinceFirstTickMs` (time since the job's first tick,
// negative before it) to the job's next tick: in (0, interval], or the time
// left before the first tick.
qint64 msUntilNextTick(qint64 sinceFirstTickMs, qint64 intervalMs);

}  // namespace tavrelsvc
