#include "convert/ImportQuellmarkScans.h"

#include "filteropts/NumberText.h"

#include <cmath>

namespace tavrelsvc {

namespace {
constexpr int kScanNumbers = 2;
}  // namespace

QuellmarkScanRange quellmarkScanRange(platform::automation::QuellmarkScans& scans, const QuellmarkOptions& options,
                                      platform::automation::QuellmarkPeakListFormatOptions& format) {
    using filteropts::readNumber;
    const qint32 count = scans.Count();
    const qint32 firstId = scans.Item(1)->id();
    const qint32 lastId = scans.Item(count)->id();
    QuellmarkScanRange range{firstId, lastId, true};
    const QString start = options.rangeStart(), end = options.rangeEnd();
    if (start.isEmpty() && end.isEmpty()) return range;

    if (options.rangeUnits() != kScanNumbers) {
        const qint16 units = format.TitleTimeUnits();
        const double from = readNumber(start), to = readNumber(end);
        // Positions, turned into ids once the walk is done: ids need not run from 1.
        qint32 firstAt = 1, lastAt = count;
        for (qint32 i = 1; i <= count; ++i) {
            const double time = scans.Item(i)->time(units);
            if (time < from) firstAt = i;
            else if (time <= to) lastAt = i;
            else break;
        }
        range.first = scans.Item(firstAt)->id();
        range.last = scans.Item(lastAt)->id();
    } else {
        if (!start.isEmpty()) range.first = static_cast<qint32>(std::nearbyint(readNumber(start)));
        if (!end.isEmpty()) range.last = static_cast<qint32>(std::nearbyint(readNumber(end)));
    }
    range.valid = range.first >= firstId && range.last <= lastId && range.last >= range.first;
    return range;
}

}  // namespace tavrelsvc
