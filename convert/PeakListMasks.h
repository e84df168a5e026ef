#pragma once
// Byte classes of a reader's block found with wide compares: bit i of a mask
// tells about byte i. Only for bytes in a PeakListLineReader block, which
// has room for 64 bytes past its last byte, so a wide read from any byte in
// it stays inside.
#include <QtGlobal>

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tavrelsvc::detail {

#if defined(__x86_64__) || defined(__i386__)
// What the widest line loops need of the processor. Every processor with
// AVX2 and BMI2 also counts leading zeros in one instruction (LZCNT).
inline bool processorHasAvx2() {
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2") &&
           __builtin_cpu_supports("popcnt");
}
inline bool processorHasAvx512() {
    return processorHasAvx2() && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
           __builtin_cpu_supports("avx512vbmi2");
}
#endif

#if defined(__SSE2__)
// 16 bytes at a time.
struct ByteTests {
    using Vector = __m128i;
    static Vector load(const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static Vector is(Vector v, char c) { return _mm_cmpeq_epi8(v, _mm_set1_epi8(c)); }
    static Vector exponent(Vector v) { return is(_mm_or_si128(v, _mm_set1_epi8(0x20)), 'e'); }
    // '1' to '9'; bytes above 0x7f compare as negative, so they are none.
    static Vector lead(Vector v) {
        return _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8('0')), _mm_cmplt_epi8(v, _mm_set1_epi8('9' + 1)));
    }
    static quint64 bits(Vector v) { return quint64(quint16(_mm_movemask_epi8(v))); }
};
#endif

// The CR and LF bytes of the 64 bytes at p.
struct LineEnds {
    quint64 cr = 0, lf = 0;
};

inline LineEnds lineEndsAt(const char* p) {
    LineEnds e;
    for (int i = 0; i < 4; ++i) {
#if defined(__SSE2__)
        const ByteTests::Vector v = ByteTests::load(p + 16 * i);
        e.cr |= ByteTests::bits(ByteTests::is(v, '\r')) << (16 * i);
        e.lf |= ByteTests::bits(ByteTests::is(v, '\n')) << (16 * i);
#else
        for (int k = 0; k < 16; ++k) {
            e.cr |= quint64(p[16 * i + k] == '\r') << (16 * i + k);
            e.lf |= quint64(p[16 * i + k] == '\n') << (16 * i + k);
        }
#endif
    }
    return e;
}

// The bytes '1' to '9' and the exponent marks 'e' and 'E' of the 64 bytes
// at p.
struct NumberBytes {
    quint64 lead = 0, exponent = 0;
};

inline NumberBytes numberBytesAt(const char* p) {
    NumberBytes b;
    for (int i = 0; i < 4; ++i) {
#if defined(__SSE2__)
        const ByteTests::Vector v = ByteTests::load(p + 16 * i);
        b.lead |= ByteTests::bits(ByteTests::lead(v)) << (16 * i);
        b.exponent |= ByteTests::bits(ByteTests::exponent(v)) << (16 * i);
#else
        for (int k = 0; k < 16; ++k) {
            const char c = p[16 * i + k];
            b.lead |= quint64(c >= '1' && c <= '9') << (16 * i + k);
            b.exponent |= quint64((c | 0x20) == 'e') << (16 * i + k);
        }
#endif
    }
    return b;
}

// Whether every CR among the 64 bytes at p is followed by LF and every LF
// among the 64 bytes at p + 1 follows a CR: one compare of each byte with
// its successor, without finding where the line ends are.
inline bool crLfPaired(const char* p) {
#if defined(__SSE2__)
    using T = ByteTests;
    __m128i differ = _mm_setzero_si128();
    for (int i = 0; i < 4; ++i)
        differ = _mm_or_si128(differ, _mm_xor_si128(T::is(T::load(p + 16 * i), '\r'), T::is(T::load(p + 16 * i + 1), '\n')));
    return _mm_movemask_epi8(differ) == 0;
#else
    for (int i = 0; i < 64; ++i)
        if ((p[i] == '\r') != (p[i + 1] == '\n')) return false;
    return true;
#endif
}

// Where, in 64 bytes whose CR and LF bits are `e`, a line end is not CR LF:
// an LF after no CR, or a CR before no LF. `crBefore` is 1 when the byte
// before them is CR.
inline quint64 badLineEnds(const LineEnds& e, quint64 crBefore) { return e.lf ^ ((e.cr << 1) | crBefore); }

// The classes the fields of a short line are told by, bit i for byte i of
// the line and nothing past it.
struct LineClasses {
    quint64 space = 0, tab = 0;
    quint64 exponent = 0;  // 'e' or 'E'
    quint64 lead = 0;      // '1' to '9'
    quint64 zero = 0;

    // Fields are split at TAB when the line holds one, else at spaces.
    quint64 separators() const { return tab ? tab : space; }
};

// The classes of a line shorter than 32 bytes, from two wide reads.
__attribute__((always_inline)) inline LineClasses classifyLine(const char* p, unsigned n) {
    const quint64 inside = (quint64(1) << n) - 1;
    LineClasses c;
#if defined(__SSE2__)
    using T = ByteTests;
    const T::Vector lo = T::load(p), hi = T::load(p + 16);
    const auto bits = [inside](T::Vector a, T::Vector b) { return (T::bits(a) | T::bits(b) << 16) & inside; };
    c.space = bits(T::is(lo, ' '), T::is(hi, ' '));
    c.tab = bits(T::is(lo, '\t'), T::is(hi, '\t'));
    c.exponent = bits(T::exponent(lo), T::exponent(hi));
    c.lead = bits(T::lead(lo), T::lead(hi));
    c.zero = bits(T::is(lo, '0'), T::is(hi, '0'));
#else
    for (unsigned i = 0; i < n; ++i) {
        const char b = p[i];
        c.space |= quint64(b == ' ') << i;
        c.tab |= quint64(b == '\t') << i;
        c.exponent |= quint64((b | 0x20) == 'e') << i;
        c.lead |= quint64(b >= '1' && b <= '9') << i;
        c.zero |= quint64(b == '0') << i;
    }
    (void)inside;
#endif
    return c;
}

}  // namespace tavrelsvc::detail
