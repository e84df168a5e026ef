// Runs of whole lines that go out as they stand: a Sequest file's peaks, the
// numeric lines of Micromass and API III files, checked 64 bytes at a time.
#include "convert/PeakListIo.h"
#include "convert/PeakListMasks.h"

#include <bit>
#include <cstring>

namespace tavrelsvc {

namespace {

// The end of the longest run of whole lines from `from` on that are each
// ended by CR LF; `from` when the first line is none.
qsizetype crLfRunEnd(const char* base, qsizetype from, qsizetype end) {
    // Most of a run is 64-byte chunks with nothing but CR LF pairs: those
    // only need to be passed over. The chunk where that does not hold, and
    // the last one, are looked into bit by bit.
    qsizetype pos = from;
    if (pos < end && base[pos] != '\n')
        while (end - pos >= 64 && detail::crLfPaired(base + pos)) pos += 64;
    qsizetype lastLf = -1;
    quint64 crBefore = pos > from && base[pos - 1] == '\r';  // the byte before the chunk is CR
    for (; pos < end; pos += 64) {
        const detail::LineEnds e = detail::lineEndsAt(base + pos);
        const qsizetype left = end - pos;
        const quint64 valid = left >= 64 ? ~quint64(0) : (quint64(1) << left) - 1;
        const quint64 lf = e.lf & valid;
        const quint64 bad = detail::badLineEnds(e, crBefore) & valid;
        if (bad) {
            const quint64 good = lf & ((bad & (~bad + 1)) - 1);  // line ends before the first bad byte
            if (good) lastLf = pos + 63 - std::countl_zero(good);
            break;
        }
        if (lf) lastLf = pos + 63 - std::countl_zero(lf);
        crBefore = e.cr >> 63;
    }
    if (lastLf < 0 && pos > from) {  // the run ends in the chunks passed over
        const void* lf = ::memrchr(base + from, '\n', size_t(pos - from));
        if (lf) lastLf = static_cast<const char*>(lf) - base;
    }
    return lastLf < 0 ? from : lastLf + 1;
}

}  // namespace

std::string_view PeakListLineReader::readNumericRun() {
    const qsizetype from = begin_;
    scanLines([](std::string_view line) { return numericInBlock(line); });
    return std::string_view(buffer_.get() + from, size_t(begin_ - from));
}

std::string_view PeakListLineReader::readRun() {
    if (skipLf_ || discardToEol_) return {};  // readLine settles these first
    const char* const base = buffer_.get();
    const qsizetype from = begin_;
    const qsizetype to = crLfRunEnd(base, from, end_);
    if (to == from) return {};
    // The last line of the run becomes the last line read.
    lineEnd_ = to - 2;
    const void* lf = ::memrchr(base + from, '\n', size_t(lineEnd_ - from));
    lineAt_ = lf ? static_cast<const char*>(lf) - base + 1 : from;
    begin_ = to;
    lastTerminated_ = true;
    chunkAt_ = -1;
    return std::string_view(base + from, size_t(to - from));
}

}  // namespace tavrelsvc
