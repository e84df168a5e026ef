#pragma once
// The positive fields of a short line that lies in a PeakListLineReader block,
// found with a few wide compares instead of a byte-by-byte walk.
#include "convert/PeakListIo.h"
#include "convert/PeakListMasks.h"
#include "convert/PeakListText.h"

#include <bit>
#include <string_view>

namespace tavrelsvc {

// Same fields, in the same order, as PositiveFields. Only for lines shorter
// than kMaxLine that a PeakListLineReader handed out: its block has room past
// its end for reads of up to 64 bytes from any line start.
class BlockPositiveFields {
public:
    static constexpr size_t kMaxLine = 64;

    BlockPositiveFields(std::string_view line, char separator) : p_(line.data()), n_(unsigned(line.size())) {
        quint64 separators = 0, exponents = 0;
#if defined(__SSE2__)
        const __m128i sep = _mm_set1_epi8(separator);
        const __m128i lowerE = _mm_set1_epi8('e' | 0x20);
        const __m128i caseBit = _mm_set1_epi8(0x20);
        for (unsigned i = 0; i < n_; i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p_ + i));
            separators |= quint64(quint16(_mm_movemask_epi8(_mm_cmpeq_epi8(v, sep)))) << i;
            exponents |= quint64(quint16(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(v, caseBit), lowerE)))) << i;
        }
#else
        for (unsigned i = 0; i < n_; ++i) {
            separators |= quint64(p_[i] == separator) << i;
            exponents |= quint64((p_[i] | 0x20) == 'e') << i;
        }
#endif
        const quint64 inside = (quint64(1) << n_) - 1;
        separators_ = (separators & inside) | (quint64(1) << n_);  // the line end closes the last field
        exponents_ = exponents & inside;
    }

    // The next positive field; false when the line holds no more.
    bool next(std::string_view& field) {
        while (start_ <= n_) {
            const unsigned start = start_;
            const unsigned stop = start + unsigned(std::countr_zero(separators_ >> start));
            start_ = stop + 1;
            const unsigned size = stop - start;
            if (size == 0) continue;  // an empty field is 0
            field = std::string_view(p_ + start, size);
            const char first = p_[start];
            // A first digit 1 to 9 and no exponent: a number of at least 1.
            const bool exponent = (exponents_ >> start) & ((quint64(1) << size) - 1);
            if (first >= '1' && first <= '9' && !exponent) return true;
            if (size == 1 && first == '0') continue;
            if (isPositive(field)) return true;
        }
        return false;
    }

private:
    const char* p_;
    unsigned n_;
    unsigned start_ = 0;
    quint64 separators_ = 0;  // bit i: byte i is the separator, or i is the line's length
    quint64 exponents_ = 0;   // bit i: byte i is "e" or "E"
};

// Calls take(fields) with the walker that suits the line.
template <typename Take>
bool withPositiveFields(std::string_view line, char separator, Take&& take) {
    if (line.size() < BlockPositiveFields::kMaxLine) {
        BlockPositiveFields fields(line, separator);
        return take(fields);
    }
    PositiveFields fields(line, separator);
    return take(fields);
}

// Writes the peak line "m/z intensity". Where the two fields stand next to
// each other with one space between them, that is one piece of the input.
inline void writePeak(PeakListWriter& output, std::string_view mz, std::string_view intensity) {
    if (intensity.data() == mz.data() + mz.size() + 1 && mz.data()[mz.size()] == ' ')
        output.writeLine(std::string_view(mz.data(), mz.size() + 1 + intensity.size()));
    else
        output.writeLine(mz, " ", intensity);
}

// The common peak line settled from 32 bytes at once: shorter than 32 bytes,
// no "e" or "E" anywhere, a digit 1 to 9 first (so the line counts as
// numeric), and every field either a number from a digit 1 to 9 on (positive,
// whatever follows its digits), "0" or empty (both 0). Such a line gives the
// peak made of positive fields Skip + 1 and Skip + 2, or none when it holds
// fewer; any other line is left to the general rules.
struct ShortPeak {
    enum Verdict { Leave, NoPeak, Peak } verdict = Leave;
    unsigned at0 = 0, size0 = 0;  // the m/z field
    unsigned at1 = 0, size1 = 0;  // the intensity field
};

// `c`: the classes of the n bytes of the line (n < 32).
template <unsigned Skip>
__attribute__((always_inline)) inline ShortPeak shortPeak(const detail::LineClasses& c, unsigned n) {
    ShortPeak peak;
    if (c.exponent) return peak;  // 1e-400 is 0: exponents get the full conversion
    const quint64 separators = c.separators();
    const quint64 ends = separators | (quint64(1) << n);  // where fields end
    const quint64 starts = (1 | (separators << 1));       // where fields start
    const quint64 positive = starts & c.lead;
    // Any other field must be empty or "0"; ".5", "00012", "-3" and the like
    // go to the general rules.
    const quint64 zeroFields = ends | (c.zero & (ends >> 1));
    if (!(positive & 1) || (starts & ~positive & ~zeroFields)) return peak;

    quint64 wanted = positive;
    for (unsigned i = 0; i < Skip; ++i) wanted &= wanted - 1;
    if ((wanted & (wanted - 1)) == 0) {  // fewer than two left: no peak
        peak.verdict = ShortPeak::NoPeak;
        return peak;
    }
    peak.verdict = ShortPeak::Peak;
    peak.at0 = unsigned(std::countr_zero(wanted));
    peak.at1 = unsigned(std::countr_zero(wanted & (wanted - 1)));
    peak.size0 = unsigned(std::countr_zero(ends >> peak.at0));
    peak.size1 = unsigned(std::countr_zero(ends >> peak.at1));
    return peak;
}

// Writes the peak of the line at p to `out` with fixed-size copies, which
// may write up to 64 bytes from `out` and read up to 64 bytes from p; answers
// the end of what it wrote.
__attribute__((always_inline)) inline char* putShortPeak(char* out, const char* p, const ShortPeak& peak) {
    // Each copy takes 32 bytes; the second one overwrites what the first took
    // past the m/z, and the line end follows the intensity.
    std::memcpy(out, p + peak.at0, 32);
    out[peak.size0] = ' ';
    std::memcpy(out + peak.size0 + 1, p + peak.at1, 32);
    char* end = out + peak.size0 + 1 + peak.size1;
    end[0] = '\r';
    end[1] = '\n';
    return end + 2;
}

// Writes the peak line of a short line by the rule above and returns true;
// false leaves the line to the general rules, untouched. Only for lines that a
// PeakListLineReader handed out: its block has room past its end for reads of
// 64 bytes from any line start.
template <unsigned Skip>
__attribute__((always_inline)) inline bool writeShortPeakLine(PeakListWriter& output, std::string_view line) {
    const char* p = line.data();
    const unsigned n = unsigned(line.size());
    if (n >= 32) return false;
    const ShortPeak peak = shortPeak<Skip>(detail::classifyLine(p, n), n);
    if (peak.verdict == ShortPeak::Leave) return false;
    if (peak.verdict == ShortPeak::Peak) output.commitLine(putShortPeak(output.lineRoom(), p, peak));
    return true;
}

}  // namespace tavrelsvc
