#pragma once
// The small text rules every peak-list reader shares: leading numbers, the
// field split, case-blind prefixes and the way masses are written.
#include <string>
#include <string_view>

namespace tavrelsvc {

// Mass of a proton in daltons; the one value every charge-state sum uses.
inline constexpr double kProtonMass = 1.007276;

// The leading number of a text: blanks (space, TAB) are skipped, then the
// longest prefix that reads as a decimal number with "." as the point,
// whatever the locale; 0 when there is none or it is out of range.
double leadingNumber(std::string_view text);

// A line or field "counts as numeric" when its leading number is above 0.
// Same answer as leadingNumber(text) > 0, without converting the common case.
bool isPositiveGeneral(std::string_view text);

// The common case inline: a first digit 1 to 9, then digits and points up to
// something that is no exponent, is a number of at least 1.
inline bool isPositive(std::string_view text) {
    const char* p = text.data();
    const char* e = p + text.size();
    if (p < e && *p >= '1' && *p <= '9') {
        const char* q = p + 1;
        while (q < e && q - p < 300 && ((*q >= '0' && *q <= '9') || *q == '.')) ++q;
        if (q - p < 300 && (q == e || (*q | 0x20) != 'e')) return true;
    }
    // No blank, sign, digit or point first (a "List:" line, say): no number.
    if (p == e || static_cast<unsigned char>(*p) > '9') return false;
    return isPositiveGeneral(text);
}

// The whole text, blanks around it aside, reads as one number.
bool plainNumber(std::string_view text, double& value);

// Fields are split at TAB when the line holds one anywhere, else at single
// spaces (two spaces in a row give an empty field).
inline char fieldSeparator(std::string_view line) {
    return line.find('\t') != std::string_view::npos ? '\t' : ' ';
}

// Calls f(field) for each field from the left until f returns false.
template <typename F>
void forEachField(std::string_view line, F&& f) {
    const char sep = fieldSeparator(line);
    size_t start = 0;
    for (;;) {
        const size_t at = line.find(sep, start);
        const std::string_view field =
            line.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start);
        if (!f(field) || at == std::string_view::npos) return;
        start = at + 1;
    }
}

// Hands out the fields of a line whose leading number is positive, from the
// left. The search for a field's end also looks for an exponent, so the
// common field (a first digit 1 to 9, no exponent, not absurdly long, hence
// a number of at least 1) is settled without reading it a second time.
class PositiveFields {
public:
    PositiveFields(std::string_view line, char separator)
        : p_(line.data()), end_(line.data() + line.size()), separator_(separator) {}

    // The next positive field; false when the line holds no more.
    bool next(std::string_view& field) {
        while (p_) {
            const char* start = p_;
            const char* stop = start;
            bool exponentMark = false;
            for (; stop < end_ && *stop != separator_; ++stop) exponentMark |= (*stop | 0x20) == 'e';
            p_ = stop < end_ ? stop + 1 : nullptr;
            field = std::string_view(start, size_t(stop - start));
            const bool plainAboveOne = start < stop && *start >= '1' && *start <= '9' && !exponentMark &&
                                       field.size() <= kPlainDigits;
            if (plainAboveOne || isPositive(field)) return true;
        }
        return false;
    }

private:
    static constexpr size_t kPlainDigits = 300;  // longer numbers may overflow
    const char* p_;  // start of the next field; null after the last
    const char* end_;
    char separator_;
};

// Case-blind test of an ASCII prefix such as "list:" or "begin ions".
inline bool startsWithNoCase(std::string_view text, std::string_view lowerPrefix) {
    if (text.size() < lowerPrefix.size()) return false;
    for (size_t i = 0; i < lowerPrefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        if (c != lowerPrefix[i]) return false;
    }
    return true;
}

// Shortest decimal form with up to 15 significant digits ("501.253638").
std::string formatNumber(double value);

}  // namespace tavrelsvc
