#include "convert/PeakListShortLines.h"

#include "convert/PeakListBlockFields.h"
#include "convert/PeakListIo.h"

#include <bit>
#include <string_view>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace tavrelsvc {

namespace {

// The classes of the 32 bytes from a line's start.
struct Bytes32 {
    quint32 cr, lf, space, tab, exponent, lead, zero;
};

struct PortableBytes {
    static Bytes32 at(const char* p) {
        const detail::LineClasses c = detail::classifyLine(p, 31);  // bytes 0 to 30
        // The line ends, which classifyLine does not give, and the last byte.
        quint32 cr = 0, lf = 0;
        for (unsigned i = 0; i < 32; ++i) {
            cr |= quint32(p[i] == '\r') << i;
            lf |= quint32(p[i] == '\n') << i;
        }
        return {cr, lf, quint32(c.space), quint32(c.tab), quint32(c.exponent), quint32(c.lead), quint32(c.zero)};
    }
};

#if defined(__SSE2__)
struct Sse2Bytes {
    __attribute__((always_inline)) static Bytes32 at(const char* p) {
        using T = detail::ByteTests;
        const T::Vector lo = T::load(p), hi = T::load(p + 16);
        const auto bits = [](T::Vector a, T::Vector b) { return quint32(T::bits(a) | T::bits(b) << 16); };
        return {bits(T::is(lo, '\r'), T::is(hi, '\r')),       bits(T::is(lo, '\n'), T::is(hi, '\n')),
                bits(T::is(lo, ' '), T::is(hi, ' ')),         bits(T::is(lo, '\t'), T::is(hi, '\t')),
                bits(T::exponent(lo), T::exponent(hi)),       bits(T::lead(lo), T::lead(hi)),
                bits(T::is(lo, '0'), T::is(hi, '0'))};
    }
};
#endif

#if defined(__x86_64__) || defined(__i386__)
#define TAVREL_AVX2 __attribute__((target("avx2,bmi,bmi2,lzcnt,popcnt")))
struct Avx2Bytes {
    TAVREL_AVX2 __attribute__((always_inline)) static quint32 bits(__m256i v) {
        return quint32(_mm256_movemask_epi8(v));
    }
    TAVREL_AVX2 __attribute__((always_inline)) static __m256i is(__m256i v, char c) {
        return _mm256_cmpeq_epi8(v, _mm256_set1_epi8(c));
    }
    // Not always_inline: the kernel is built for every processor, and only
    // its AVX2 build, which is flattened, takes this in.
    TAVREL_AVX2 static Bytes32 at(const char* p) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        // '1' to '9'; bytes above 0x7f compare as negative, so they are none.
        const __m256i lead = _mm256_and_si256(_mm256_cmpgt_epi8(v, _mm256_set1_epi8('0')),
                                              _mm256_cmpgt_epi8(_mm256_set1_epi8('9' + 1), v));
        return {bits(is(v, '\r')), bits(is(v, '\n')), bits(is(v, ' ')), bits(is(v, '\t')),
                bits(is(_mm256_or_si256(v, _mm256_set1_epi8(0x20)), 'e')), bits(lead), bits(is(v, '0'))};
    }
};
#endif

// Why a kernel gave the lines back.
enum class Stop {
    Left,    // at a line it leaves, or at the end of the block
    Full,    // the output has no room left
    Passed,  // it went past `until`: the bulk sweep may take over again
};

// The lines from p on, up to `end`, while the output stays below `outEnd`
// (which has 64 bytes of room past it) and p has not passed `until`. Leaves
// p at the first line not taken and `last` at the start of the last one
// taken.
template <unsigned Skip, typename Bytes>
inline Stop shortLines(const char*& p, const char* const end, const char* const until, char*& outRef,
                       char* const outEnd, const char*& last) {
    const char* q = p;
    char* out = outRef;
    Stop stop = Stop::Left;
    while (q < end) {
        if (out > outEnd) {
            stop = Stop::Full;
            break;
        }
        if (q >= until) {
            stop = Stop::Passed;
            break;
        }
        const Bytes32 b = Bytes::at(q);
        const quint32 lineEnds = b.cr | b.lf;
        const unsigned n = lineEnds ? unsigned(std::countr_zero(lineEnds)) : 32;
        // The first line end is CR LF, the line is short enough for the
        // rule, and its LF is in the block.
        if (n > 30 || !((b.cr >> n) & (b.lf >> (n + 1)) & 1) || qsizetype(n) + 2 > end - q) break;
        const quint32 inside = (quint32(1) << n) - 1;
        const detail::LineClasses c{b.space & inside, b.tab & inside, b.exponent & inside, b.lead & inside,
                                    b.zero & inside};
        const ShortPeak peak = shortPeak<Skip>(c, n);
        if (peak.verdict == ShortPeak::Leave) break;
        if (peak.verdict == ShortPeak::Peak) {
            if (peak.at1 == peak.at0 + peak.size0 + 1 && peak.at1 + peak.size1 == n && !c.tab) {
                // m/z, one space, intensity and the line end, as they stand:
                // one copy.
                std::memcpy(out, q + peak.at0, 32);
                out += n + 2 - peak.at0;
            } else {
                out = putShortPeak(out, q, peak);
            }
        }
        last = q;
        q += n + 2;
    }
    p = q;
    outRef = out;
    return stop;
}

using Kernel = Stop (*)(const char*&, const char*, const char*, char*&, char*, const char*&);
// Takes whole lines from p on while every 64 bytes hold nothing but lines of
// the format's usual shape; answers where the per-line kernel should hand
// back to it (p itself when it took nothing it could).
using Bulk = const char* (*)(const char*&, const char*, char*&, char*, const char*&);

template <unsigned Skip>
__attribute__((flatten)) Stop portableLines(const char*& p, const char* end, const char* until, char*& out,
                                            char* outEnd, const char*& last) {
#if defined(__SSE2__)
    return shortLines<Skip, Sse2Bytes>(p, end, until, out, outEnd, last);
#else
    return shortLines<Skip, PortableBytes>(p, end, until, out, outEnd, last);
#endif
}

#if defined(__x86_64__) || defined(__i386__)
template <unsigned Skip>
TAVREL_AVX2 __attribute__((flatten)) Stop avx2Lines(const char*& p, const char* end, const char* until, char*& out,
                                                    char* outEnd, const char*& last) {
    return shortLines<Skip, Avx2Bytes>(p, end, until, out, outEnd, last);
}

// The usual line of a format, as the kinds of its fields and the parts of it
// that the peak line leaves out. Sets are of field numbers (from 0); a
// field's start is its first byte, its end the space or CR after it.
struct LineShape {
    unsigned fields;
    quint32 zero;                  // fields that are "0"; the others start with a digit 1 to 9
    quint32 cutFromStart, cutToStart;  // left out: from the start of these fields to the start of those
    quint32 cutFromEnd, cutToEnd;      // and from the end of these to the end of those
};
// Finnigan: "1 m/z intensity"; the first field goes.
constexpr LineShape kAscShape{3, 0, 1u << 0, 1u << 1, 0, 0};
// PerSeptive: "m/z 0 intensity 1"; the "0 " and the " 1" go.
constexpr LineShape kPksShape{4, 1u << 1, 1u << 1, 1u << 2, 1u << 2, 1u << 3};

// Bit j: field number (phase + j) of a line's fields, counted in a row of
// lines, is in `set`.
constexpr quint64 fieldPattern(quint32 set, unsigned fields, unsigned phase) {
    quint64 bits = 0;
    for (unsigned j = 0; j < 64; ++j)
        if ((set >> ((phase + j) % fields)) & 1) bits |= quint64(1) << j;
    return bits;
}

struct ShapePatterns {
    quint64 zero[4], last[4], fromStart[4], toStart[4], fromEnd[4], toEnd[4];
};

constexpr ShapePatterns patternsOf(const LineShape& s) {
    ShapePatterns p{};
    for (unsigned phase = 0; phase < s.fields; ++phase) {
        p.zero[phase] = fieldPattern(s.zero, s.fields, phase);
        p.last[phase] = fieldPattern(1u << (s.fields - 1), s.fields, phase);
        p.fromStart[phase] = fieldPattern(s.cutFromStart, s.fields, phase);
        p.toStart[phase] = fieldPattern(s.cutToStart, s.fields, phase);
        p.fromEnd[phase] = fieldPattern(s.cutFromEnd, s.fields, phase);
        p.toEnd[phase] = fieldPattern(s.cutToEnd, s.fields, phase);
    }
    return p;
}

#define TAVREL_AVX512 __attribute__((target("avx512f,avx512bw,avx512vbmi2,bmi,bmi2,lzcnt,popcnt")))

// 64 bytes at a time: a chunk is taken whole when every line end in it is
// CR LF, it holds no TAB and no "e" or "E", at least one LF (so no line in
// it is longer than 127 bytes, and no field near the length at which the
// general rules stop trusting a number), and its fields, counted on from the
// chunks before, are of the shape's kinds in the shape's order. Those lines
// are what the short-line rule and the general rules take alike; the peak
// lines are the chunk less the parts the shape leaves out, packed with one
// compress. The cuts that run on into the next chunk are carried as the
// borrow of one long subtraction: (interval ends) - (interval starts).
// The output is committed at the last LF of each chunk taken, so a chunk
// that fails leaves the reader at a line start.
template <const LineShape& Shape>
TAVREL_AVX512 const char* bulkLines(const char*& p, const char* const end, char*& outRef, char* const outEnd,
                                    const char*& last) {
    static constexpr ShapePatterns P = patternsOf(Shape);
    constexpr unsigned K = Shape.fields;
    const __m512i cr = _mm512_set1_epi8('\r'), lf = _mm512_set1_epi8('\n'), space = _mm512_set1_epi8(' ');
    const __m512i tab = _mm512_set1_epi8('\t'), caseBit = _mm512_set1_epi8(0x20), e = _mm512_set1_epi8('e');
    const __m512i one = _mm512_set1_epi8('1'), nine = _mm512_set1_epi8(9), zero = _mm512_set1_epi8('0');

    const char* c = p;
    char* out = outRef;
    const char* takenTo = p;  // the start of the line after the last one committed
    const char* lastStart = last;
    char* committed = out;
    unsigned phaseStart = 0, phaseEnd = 0;  // field numbers of the chunk's first start and end
    quint64 startIn = 1, crIn = 0;          // a field starts at the chunk's first byte; its byte before is CR
    unsigned char borrow = 0;
    while (end - c > 64 && out <= outEnd) {
        const __m512i v = _mm512_loadu_si512(c);
        const quint64 crs = _mm512_cmpeq_epi8_mask(v, cr), lfs = _mm512_cmpeq_epi8_mask(v, lf);
        const quint64 spaces = _mm512_cmpeq_epi8_mask(v, space);
        const quint64 odd = _mm512_cmpeq_epi8_mask(v, tab) | _mm512_cmpeq_epi8_mask(_mm512_or_si512(v, caseBit), e);
        if (odd || !lfs || lfs != ((crs << 1) | crIn)) break;
        const quint64 lead = _mm512_cmplt_epu8_mask(_mm512_sub_epi8(v, one), nine);
        const quint64 zeros = _mm512_cmpeq_epi8_mask(v, zero);
        const quint64 starts = ((spaces | lfs) << 1) | startIn;
        const quint64 ends = spaces | crs;
        const unsigned char next = static_cast<unsigned char>(c[64]);
        const quint64 endsNext = (ends >> 1) | (quint64(next == ' ' || next == '\r') << 63);
        const quint64 other = starts & ~lead;  // must be "0" fields, where the shape has them
        if (other & ~(zeros & endsNext)) break;
        const unsigned nStarts = unsigned(_mm_popcnt_u64(starts)), nEnds = unsigned(_mm_popcnt_u64(ends));
        if (_pext_u64(other, starts) != _bzhi_u64(P.zero[phaseStart], nStarts)) break;
        if (_pext_u64(crs, ends) != _bzhi_u64(P.last[phaseEnd], nEnds)) break;

        const quint64 from = _pdep_u64(P.fromStart[phaseStart], starts) | _pdep_u64(P.fromEnd[phaseEnd], ends);
        const quint64 to = _pdep_u64(P.toStart[phaseStart], starts) | _pdep_u64(P.toEnd[phaseEnd], ends);
        unsigned long long cut;
        borrow = _subborrow_u64(borrow, to, from, &cut);
        const quint64 keep = ~cut;
        _mm512_storeu_si512(out, _mm512_maskz_compress_epi8(keep, v));

        const unsigned lastLf = 63 - unsigned(_lzcnt_u64(lfs));
        const quint64 before = lfs & ~(quint64(1) << lastLf);
        lastStart = before ? c + 64 - _lzcnt_u64(before) : takenTo;
        committed = out + _mm_popcnt_u64(lastLf == 63 ? keep : keep & ((quint64(2) << lastLf) - 1));
        takenTo = c + lastLf + 1;
        out += _mm_popcnt_u64(keep);
        phaseStart = (phaseStart + nStarts) % K;
        phaseEnd = (phaseEnd + nEnds) % K;
        startIn = (spaces | lfs) >> 63;
        crIn = crs >> 63;
        c += 64;
    }
    if (takenTo != p) {
        last = lastStart;
        p = takenTo;
    }
    outRef = committed;
    return c + 64;
}

#endif

struct Kernels {
    Kernel lines;
    Bulk bulk;  // null where the processor lacks what it takes
};

Kernels portableKernels(unsigned skip) { return {skip ? portableLines<1> : portableLines<0>, nullptr}; }

Kernels bestKernels(unsigned skip) {
#if defined(__x86_64__) || defined(__i386__)
    static const bool avx2 = detail::processorHasAvx2(), avx512 = detail::processorHasAvx512();  // the processor does not change
    if (avx2)
        return {skip ? avx2Lines<1> : avx2Lines<0>,
                avx512 ? (skip ? bulkLines<kAscShape> : bulkLines<kPksShape>) : nullptr};
#endif
    return portableKernels(skip);
}

// Room the writer is asked for at a time: a few thousand lines.
constexpr qsizetype kRoom = 64 << 10;

void run(const Kernels& kernels, PeakListLineReader& input, PeakListWriter& output) {
    for (;;) {
        const std::string_view unread = input.unreadInBlock();
        if (unread.empty()) return;
        const char* p = unread.data();
        const char* const end = unread.data() + unread.size();
        const char* last = nullptr;
        char* const room = output.room(kRoom);
        char* const outEnd = room + kRoom - PeakListWriter::kLineRoom;
        char* out = room;
        Stop stop;
        do {
            // The bulk sweep takes what it can; the lines of the chunk it
            // stopped at go one by one, and then it tries again.
            const char* until = kernels.bulk ? kernels.bulk(p, end, out, outEnd, last) : end;
            stop = kernels.lines(p, end, until, out, outEnd, last);
        } while (stop == Stop::Passed);
        output.commitLine(out);
        if (last) input.tookLines(last, p);
        if (stop == Stop::Left) return;
    }
}

}  // namespace

void takeShortPeakLines(unsigned skip, PeakListLineReader& input, PeakListWriter& output) {
    run(bestKernels(skip), input, output);
}

namespace detail {
void takeShortPeakLinesPortably(unsigned skip, PeakListLineReader& input, PeakListWriter& output) {
    run(portableKernels(skip), input, output);
}
}  // namespace detail

}  // namespace tavrelsvc
