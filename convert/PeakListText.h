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
bool isPositive(std::string_view text);

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

// Case-blind test of an ASCII prefix such as "list:" or "begin ions".
bool startsWithNoCase(std::string_view text, std::string_view lowerPrefix);

// Shortest decimal form with up to 15 significant digits ("501.253638").
std::string formatNumber(double value);

}  // namespace tavrelsvc
