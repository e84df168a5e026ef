#pragma once
// The scans of a Quellmark sample that are processed: all of them, or the
// part that the option string's range gives in minutes, seconds or scan numbers.
#include "convert/ImportQuellmarkOptions.h"
#include "platform/AutomationComponents.h"

namespace tavrelsvc {

struct QuellmarkScanRange {
    qint32 first = 0;  // scan ids
    qint32 last = 0;
    // Inside the sample's scans and not reversed; else the range is refused
    // with "Invalid scan range: <first> to <last>".
    bool valid = true;
};

// Without a range, the first and last scan. A time range walks the scans in
// order, their times asked in the format options' title units: the range
// starts at the last scan before its start (the first scan when none is) and
// ends at the last scan up to its end (an open end keeps the last scan).
// Throws the library's errors.
QuellmarkScanRange quellmarkScanRange(platform::automation::QuellmarkScans& scans, const QuellmarkOptions& options,
                                      platform::automation::QuellmarkPeakListFormatOptions& format);

}  // namespace tavrelsvc
