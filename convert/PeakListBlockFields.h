#pragma once
// The positive fields of a short line that lies in a PeakListLineReader block,
// found with a few wide compares instead of a byte-by-byte walk.
#include "convert/PeakListIo.h"
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

}  // namespace tavrelsvc
