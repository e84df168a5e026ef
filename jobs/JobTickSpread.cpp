#include "jobs/JobTickSpread.h"

#include <algorithm>

namespace tavrelsvc {

namespace {

// Two ticks nearer than this share the event loop's attention: 50 ms, or
// less when there are too many jobs to keep them that far apart.
qint64 spacingMs(qsizetype jobs, qint64 intervalMs) {
    return std::max<qint64>(1, std::min<qint64>(50, intervalMs / (2 * (jobs + 1))));
}

qint64 forward(qint64 from, qint64 to, qint64 intervalMs) { return ((to - from) % intervalMs + intervalMs) % intervalMs; }

}  // namespace

qint64 tickPhaseOffsetMs(QList<qint64> others, qint64 natural, qint64 intervalMs) {
    if (others.isEmpty() || intervalMs <= 1) return 0;
    const qint64 spacing = spacingMs(others.size(), intervalMs);
    const bool crowded = std::any_of(others.cbegin(), others.cend(), [&](qint64 p) {
        const qint64 d = forward(p, natural, intervalMs);
        return std::min(d, intervalMs - d) < spacing;
    });
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

qint64 msUntilNextTick(qint64 sinceFirstTickMs, qint64 intervalMs) {
    if (sinceFirstTickMs < 0) return -sinceFirstTickMs;
    if (intervalMs <= 0) return 0;
    return intervalMs - sinceFirstTickMs % intervalMs;
}

}  // namespace tavrelsvc
