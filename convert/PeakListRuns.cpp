// Runs of whole lines that go out as they stand: a Sequest file's peaks, the
// numeric lines of Micromass and API III files, checked 64 bytes at a time.
#include "convert/PeakListIo.h"
#include "convert/PeakListMasks.h"

#include <bit>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

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

#if defined(__x86_64__) || defined(__i386__)
// Where a row of chunks settled whole stands (see readNumericRun).
struct WholeChunks {
    qsizetype chunk;        // the next chunk to look at
    qsizetype start, last;  // of the next line, and of the last line taken
    quint64 crBefore, lfBefore;
    qsizetype endsChunk;  // the last chunk taken, and its line ends
    quint64 ends;
    bool openKnown;
};

struct ChunkBytes {
    quint64 cr, lf, lead, exponent;
};

#define TAVREL_AVX2 __attribute__((target("avx2,bmi,bmi2,lzcnt,popcnt")))
#define TAVREL_AVX512 __attribute__((target("avx512f,avx512bw,avx2,bmi,bmi2,lzcnt,popcnt")))

struct Avx2Chunk {
    TAVREL_AVX2 static quint64 bits(__m256i lo, __m256i hi) {
        return quint64(quint32(_mm256_movemask_epi8(lo))) | quint64(quint32(_mm256_movemask_epi8(hi))) << 32;
    }
    TAVREL_AVX2 static __m256i lead(__m256i v) {
        return _mm256_and_si256(_mm256_cmpgt_epi8(v, _mm256_set1_epi8('0')), _mm256_cmpgt_epi8(_mm256_set1_epi8('9' + 1), v));
    }
    TAVREL_AVX2 static __m256i exponent(__m256i v) {
        return _mm256_cmpeq_epi8(_mm256_or_si256(v, _mm256_set1_epi8(0x20)), _mm256_set1_epi8('e'));
    }
    TAVREL_AVX2 static ChunkBytes at(const char* p) {
        const __m256i lo = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i hi = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
        const __m256i cr = _mm256_set1_epi8('\r'), lf = _mm256_set1_epi8('\n');
        return {bits(_mm256_cmpeq_epi8(lo, cr), _mm256_cmpeq_epi8(hi, cr)),
                bits(_mm256_cmpeq_epi8(lo, lf), _mm256_cmpeq_epi8(hi, lf)), bits(lead(lo), lead(hi)),
                bits(exponent(lo), exponent(hi))};
    }
};

struct Avx512Chunk {
    TAVREL_AVX512 static ChunkBytes at(const char* p) {
        const __m512i v = _mm512_loadu_si512(p);
        return {_mm512_cmpeq_epi8_mask(v, _mm512_set1_epi8('\r')), _mm512_cmpeq_epi8_mask(v, _mm512_set1_epi8('\n')),
                _mm512_cmplt_epu8_mask(_mm512_sub_epi8(v, _mm512_set1_epi8('1')), _mm512_set1_epi8(9)),
                _mm512_cmpeq_epi8_mask(_mm512_or_si512(v, _mm512_set1_epi8(0x20)), _mm512_set1_epi8('e'))};
    }
};

// The chunks that readNumericRun settles whole, from w.chunk on, with the
// widest compares the processor has; stops at the first other one, which
// the line rules then judge.
template <typename Chunk>
inline void wholeChunks(const char* base, qsizetype end, WholeChunks& w) {
    while (end - w.chunk >= 64) {
        const ChunkBytes b = Chunk::at(base + w.chunk);
        const quint64 starts = (b.lf << 1) | w.lfBefore;
        if (!b.lf || b.exponent || (starts & ~b.lead) || !(w.lfBefore || w.openKnown) ||
            (b.lf ^ ((b.cr << 1) | w.crBefore)))
            return;
        const int lastLf = 63 - std::countl_zero(b.lf);
        const quint64 before = b.lf & ~(quint64(1) << lastLf);
        w.last = before ? w.chunk + 64 - std::countl_zero(before) : w.start;
        w.start = w.chunk + lastLf + 1;
        w.crBefore = b.cr >> 63;
        w.endsChunk = w.chunk;
        w.ends = b.cr | b.lf;
        w.lfBefore = b.lf >> 63;
        w.openKnown = true;
        w.chunk += 64;
    }
}

TAVREL_AVX2 __attribute__((flatten)) void wholeChunksAvx2(const char* base, qsizetype end, WholeChunks& w) {
    wholeChunks<Avx2Chunk>(base, end, w);
}
TAVREL_AVX512 __attribute__((flatten)) void wholeChunksAvx512(const char* base, qsizetype end, WholeChunks& w) {
    wholeChunks<Avx512Chunk>(base, end, w);
}

using WholeChunksFn = void (*)(const char*, qsizetype, WholeChunks&);

WholeChunksFn bestWholeChunks() {
    if (detail::processorHasAvx512()) return wholeChunksAvx512;
    if (detail::processorHasAvx2()) return wholeChunksAvx2;
    return nullptr;  // the 16-byte loop below does it all
}
#endif

}  // namespace

std::string_view PeakListLineReader::readNumericRun() {
    if (skipLf_ || discardToEol_) return {};  // readLine settles these first
    const char* const base = buffer_.get();
    const qsizetype from = begin_;
    // Most chunks of 64 bytes are settled whole, without looking at their
    // lines one by one: when every line end in them is CR LF, every line
    // that starts in them starts with a digit 1 to 9, they hold no "e" or
    // "E", and the line that runs into them from before is known to start
    // so and to hold none either, then each line they end reads as a number
    // of at least 1 (its digits and points end at its CR or at some other
    // byte that is no exponent mark) and counts as numeric. The line is also
    // short enough for that rule: it started after an LF of the chunk
    // before or in this one, so it is under 128 bytes. Any other chunk goes
    // line by line.
    Sweep sweep{begin_};
    quint64 lfBefore = 1;     // a line starts at the chunk's first byte
    bool openKnown = false;  // else: the line running into the chunk starts with 1 to 9 and holds no "e"
#if defined(__x86_64__) || defined(__i386__)
    static const WholeChunksFn wide = bestWholeChunks();  // the processor does not change
#endif
    for (qsizetype chunk = begin_; !sweep.stop && chunk < end_; chunk += 64) {
#if defined(__x86_64__) || defined(__i386__)
        if (wide) {
            WholeChunks w{chunk, sweep.start, sweep.last, sweep.crBefore, lfBefore, sweep.chunk, sweep.ends, openKnown};
            wide(base, end_, w);
            chunk = w.chunk;
            sweep.start = w.start;
            sweep.last = w.last;
            sweep.crBefore = w.crBefore;
            sweep.chunk = w.endsChunk;
            sweep.ends = w.ends;
            lfBefore = w.lfBefore;
            openKnown = w.openKnown;
            if (chunk >= end_) break;
        }
#endif
        const detail::LineEnds e = detail::lineEndsAt(base + chunk);
        const detail::NumberBytes n = detail::numberBytesAt(base + chunk);
        const bool whole = end_ - chunk >= 64;
        const quint64 starts = (e.lf << 1) | lfBefore;
        if (whole && e.lf && !n.exponent && !(starts & ~n.lead) && (lfBefore || openKnown) &&
            !detail::badLineEnds(e, sweep.crBefore)) {
            const int lastLf = 63 - std::countl_zero(e.lf);
            const quint64 before = e.lf & ~(quint64(1) << lastLf);
            sweep.last = before ? chunk + 64 - std::countl_zero(before) : sweep.start;
            sweep.start = chunk + lastLf + 1;
            sweep.crBefore = e.cr >> 63;
            sweep.chunk = chunk;
            sweep.ends = e.cr | e.lf;
            lfBefore = e.lf >> 63;
            openKnown = true;  // the line after the last LF starts in `starts`, or in the next chunk
            continue;
        }
        const quint64 valid = whole ? ~quint64(0) : (quint64(1) << (end_ - chunk)) - 1;
        sweep.take(base, chunk, {e.cr & valid, e.lf & valid}, ~quint64(0),
                   [](std::string_view line, qsizetype) { return numericInBlock(line); });
        lfBefore = e.lf >> 63;
        if (!e.lf) {
            openKnown = false;  // the line may be long: let the line rules judge it
        } else {
            const int open = 64 - std::countl_zero(e.lf);  // where the line after the last LF starts
            // At 64 the line starts the next chunk, which lfBefore tells of.
            openKnown = open == 64 || (((n.lead >> open) & 1) && !(n.exponent >> open));
        }
    }
    endSweep(sweep);
    return std::string_view(base + from, size_t(begin_ - from));
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
