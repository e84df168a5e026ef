#include "convert/PeakListText.h"

#include <charconv>
#include <cmath>
#include <cstddef>

namespace tavrelsvc {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

const char* skipDigits(const char* p, const char* e) {
    while (p < e && isDigit(*p)) ++p;
    return p;
}

// Reads the number at the start of [p, e); returns the end of what was read,
// or p when nothing reads as a number.
const char* readNumber(const char* p, const char* e, double& value) {
    const char* start = p;
    bool negative = false;
    if (p < e && (*p == '+' || *p == '-')) {
        negative = (*p == '-');
        ++p;
    }
    // from_chars would also take "inf" and "nan", which are no numbers here.
    if (p == e || !(isDigit(*p) || (*p == '.' && p + 1 < e && isDigit(p[1])))) return start;
    double v = 0;
    const auto [end, ec] = std::from_chars(p, e, v, std::chars_format::general);
    if (ec != std::errc()) return start;
    value = negative ? -v : v;
    return end;
}

}  // namespace

double leadingNumber(std::string_view text) {
    const char* p = text.data();
    const char* e = p + text.size();
    while (p < e && isBlank(*p)) ++p;
    double value = 0;
    if (readNumber(p, e, value) == p) return 0;
    return value;
}

bool isPositiveGeneral(std::string_view text) {
    const char* p = text.data();
    const char* e = p + text.size();
    while (p < e && isBlank(*p)) ++p;
    if (p < e && *p == '+') ++p;
    else if (p < e && *p == '-') return false;  // negative or zero
    // A plain decimal is positive exactly when one of its digits is not 0.
    const char* start = p;
    const char* intEnd = skipDigits(p, e);
    const char* end = intEnd;
    if (end < e && *end == '.') end = skipDigits(end + 1, e);
    const std::ptrdiff_t digits = (end - start) - (end != intEnd);  // the point is no digit
    if (digits <= 0) return false;
    // An exponent or a very long number may underflow or overflow, so those
    // are converted in full.
    const bool exponent = end + 1 < e && (*end == 'e' || *end == 'E') &&
                          (isDigit(end[1]) || ((end[1] == '+' || end[1] == '-') && end + 2 < e && isDigit(end[2])));
    if (exponent || digits > 300) return leadingNumber(text) > 0;
    while (start < end && (*start == '0' || *start == '.')) ++start;
    return start < end;
}

bool plainNumber(std::string_view text, double& value) {
    const char* p = text.data();
    const char* e = p + text.size();
    while (p < e && isBlank(*p)) ++p;
    while (e > p && isBlank(e[-1])) --e;
    if (p == e) return false;
    // A few digits alone (a charge, say) are exact as an integer.
    if (e - p <= 15 && skipDigits(p, e) == e) {
        long long whole = 0;
        for (const char* q = p; q < e; ++q) whole = whole * 10 + (*q - '0');
        value = double(whole);
        return true;
    }
    double v = 0;
    if (readNumber(p, e, v) != e) return false;
    value = v;
    return true;
}

std::string formatNumber(double value) {
    if (value == 0) return "0";  // no "-0"
    char buf[64];
    // A whole number below 10^15 (a charge, say) reads the same in its
    // shortest form; writing it as an integer spares the search for digits.
    if (std::abs(value) < 1e15 && value == std::trunc(value)) {
        const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(value));
        return std::string(buf, end);
    }
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    if (ec != std::errc()) return "0";
    return std::string(buf, end);
}

}  // namespace tavrelsvc
