#include "jobs/JobTickSpread.h"

#include <algorithm>
#include <iterator>

namespace tavrelsvc {

namespace {

// Two ticks nearer than this share the event loop's attention: 50 ms, or
// less when there are too many jobs to keep them that far apart.
qint64 spacingMs(qsizetype jobs, qint64 intervalMs) {
    return std::max<qint64>(1, std::min<qint64>(50, intervalMs / (2 * (jobs + 1))));
}

qint64 forward(qint64 from, qint64 to, qint64 intervalMs) { return ((to - from) % intervalMs + intervalMs) % intervalMs; }

bool near(qint64 phase, qint64 natural, qint64 spacing, qint64 intervalMs) {
    const qint64 d = forward(phase, natural, intervalMs);
    return std::min(d, intervalMs - d) < spacing;
}

}  // namespace

qint64 tickPhaseOffsetMs(QList<qint64> others, qint64 natural, qint64 intervalMs) {
    if (others.isEmpty() || intervalMs <= 1) return 0;
    const qint64 spacing = spacingMs(others.size(), intervalMs);
    const bool crowded =
        std::any_of(others.cbegin(), others.cend(), [&](qint64 p) { return near(p, natural, spacing, intervalMs); });
    if (!crowded) return 0;
    std::sort(others.begin(), others.end());
    // The widest gap; of equally wide ones the first after the natural phase.
    qint64 bestWidth = -1, bestOffset = 0;
    for (qsizetype i = 0; i < others.size(); ++i) {
        const qint64 start = others[i];
        const qint64 end = i + 1 < others.size() ? others[i + 1] : others.front() + intervalMs;
        const qint64 width = end - start;
        const qint64 offset = forward(natural, start + width / 2, intervalMs);
        if (width > bestWidth || (width == bestWidth && offset < bestOffset)) {
            bestWidth = width;
            bestOffset = offset;
        }
    }
    return bestOffset;
}

TickPhaseSet::Phases::const_iterator TickPhaseSet::before(Phases::const_iterator it) const {
    return it == phases_.begin() ? std::prev(phases_.end()) : std::prev(it);
}

qint64 TickPhaseSet::gapAfter(Phases::const_iterator it) const {
    const auto next = std::next(it);
    return next == phases_.end() ? *phases_.begin() + interval_ - *it : *next - *it;
}

void TickPhaseSet::dropGap(qint64 start, qint64 width) {
    const auto gaps = gaps_.find(width);
    if (gaps == gaps_.end()) return;
    const auto one = gaps->second.find(start);
    if (one != gaps->second.end()) gaps->second.erase(one);
    if (gaps->second.empty()) gaps_.erase(gaps);
}

void TickPhaseSet::add(qint64 phase) {
    const auto it = phases_.insert(phase);
    if (phases_.size() == 1) {
        gaps_[interval_].insert(phase);
        return;
    }
    // The gap the new phase falls into becomes two.
    const auto previous = before(it);
    dropGap(*previous, gapAfter(previous) + gapAfter(it));
    gaps_[gapAfter(previous)].insert(*previous);
    gaps_[gapAfter(it)].insert(phase);
}

void TickPhaseSet::remove(qint64 phase) {
    const auto it = phases_.find(phase);
    if (it == phases_.end()) return;
    if (phases_.size() == 1) {
        phases_.clear();
        gaps_.clear();
        return;
    }
    // The two gaps beside it become one.
    const auto previous = before(it);
    const qint64 left = gapAfter(previous), right = gapAfter(it);
    dropGap(*previous, left);
    dropGap(phase, right);
    const qint64 start = *previous;
    phases_.erase(it);
    gaps_[left + right].insert(start);
}

qint64 TickPhaseSet::offsetFor(qint64 natural) const {
    if (phases_.empty() || interval_ <= 1) return 0;
    const qint64 spacing = spacingMs(size(), interval_);
    // The nearest phases on either side are the only ones that can crowd it.
    auto after = phases_.lower_bound(natural);
    if (after == phases_.end()) after = phases_.begin();
    if (!near(*after, natural, spacing, interval_) && !near(*before(after), natural, spacing, interval_)) return 0;
    // Of the widest gaps, the one whose middle comes first after the natural phase.
    const auto& [width, starts] = *gaps_.rbegin();
    const qint64 half = width / 2;
    auto start = starts.lower_bound(forward(half, natural, interval_));
    if (start == starts.end()) start = starts.begin();
    return forward(natural, *start + half, interval_);
}

qint64 JobTickPhases::offsetFor(qint64 intervalMs, qint64 natural) const {
    const auto set = sets_.find(intervalMs);
    return set == sets_.end() ? 0 : set->second.offsetFor(natural);
}

void JobTickPhases::add(qint64 intervalMs, qint64 phase) {
    sets_.try_emplace(intervalMs, intervalMs).first->second.add(phase);
}

void JobTickPhases::remove(qint64 intervalMs, qint64 phase) {
    const auto set = sets_.find(intervalMs);
    if (set == sets_.end()) return;
    set->second.remove(phase);
    if (set->second.size() == 0) sets_.erase(set);
}

qint64 msUntilNextTick(qint64 sinceFirstTickMs, qint64 intervalMs) {
    if (sinceFirstTickMs < 0) return -sinceFirstTickMs;
    if (intervalMs <= 0) return 0;
    return intervalMs - sinceFirstTickMs % intervalMs;
}

}  // namespace tavrelsvc
