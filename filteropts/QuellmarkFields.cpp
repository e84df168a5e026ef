#include "filteropts/QuellmarkFields.h"

#include "filteropts/NumberText.h"

#include <QStringList>

namespace filteropts {

std::optional<QuantHits> readQuantHits(const QString& field) {
    if (field == QLatin1String("0")) return QuantHits{QuantHitsChoice::None, {}, {}};
    if (field == QLatin1String("-1")) return QuantHits{QuantHitsChoice::All, {}, {}};
    if (!field.contains(QLatin1Char('-'))) return std::nullopt;
    const QStringList parts = field.split(QLatin1Char('-'));
    return QuantHits{QuantHitsChoice::Range, numberText(readNumber(parts.value(0))),
                     numberText(readNumber(parts.value(1)))};
}

QString composeQuantHits(std::optional<QuantHitsChoice> choice, const QString& first, const QString& last) {
    if (!choice) return {};
    switch (*choice) {
        case QuantHitsChoice::None: return QStringLiteral("0");
        case QuantHitsChoice::All: return QStringLiteral("-1");
        case QuantHitsChoice::Range: return first + QLatin1Char('-') + last;
    }
    return {};
}

double libraryVersionNumber(const QString& version) { return readNumber(version); }

}  // namespace filteropts
