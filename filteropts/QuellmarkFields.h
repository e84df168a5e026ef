#pragma once
// The Quellmark option string's quantitation field (field 11) and the way the
// Quellmark library's version text is compared.
#include <QString>

#include <optional>

namespace filteropts {

// The quantitation choices, in the order of their option buttons.
enum class QuantHitsChoice { None = 0, All = 1, Range = 2 };

struct QuantHits {
    QuantHitsChoice choice = QuantHitsChoice::All;
    QString first;  // Range only: the first and last hit as normalised numbers
    QString last;
};

// "0" None, "-1" All, "first-last" a range (each part shown as its number,
// an empty part as "0"); nothing for any other text, which leaves the
// dialog's choice as it is.
std::optional<QuantHits> readQuantHits(const QString& field);

// The field for a choice: "0", "-1", the two texts as typed joined by "-",
// or empty when no choice is made.
QString composeQuantHits(std::optional<QuantHitsChoice> choice, const QString& first, const QString& last);

// A version text read as a number: its leading digits and first decimal
// point ("2.3.1" counts as 2.3).
double libraryVersionNumber(const QString& version);

}  // namespace filteropts
