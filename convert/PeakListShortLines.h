#pragma once
// The peak lines of ASC and PKS files taken many at a time: each line's end
// and the classes of its bytes come from one wide read at its start, and the
// output goes straight into the writer's block, so a common line costs a few
// dozen instructions and no call.
#include <QtGlobal>

namespace tavrelsvc {

class PeakListLineReader;
class PeakListWriter;

// Takes the lines from the reader's reading point on that end in CR LF and
// that the short-line rule settles (see shortPeak), writing the peak of each:
// positive fields skip + 1 and skip + 2 (skip is 0 or 1). Stops at the first
// line the rule leaves, or that does not end in CR LF within the block, which
// readLine then gives.
void takeShortPeakLines(unsigned skip, PeakListLineReader& input, PeakListWriter& output);

namespace detail {
// The same with 16-byte compares only, as processors without AVX2 run it.
void takeShortPeakLinesPortably(unsigned skip, PeakListLineReader& input, PeakListWriter& output);
}  // namespace detail

}  // namespace tavrelsvc
