#include "filteropts/FieldChecks.h"

#include "filteropts/NumberText.h"

#include <cmath>

namespace filteropts {

LeaveResult leaveCheck(LeaveCheck kind, const QString& text) {
    if (text.isEmpty()) return {text};
    switch (kind) {
        case LeaveCheck::None: return {text};
        case LeaveCheck::Comma: return {text, text.contains(QLatin1Char(','))};
        case LeaveCheck::Letters: {
            const QString upper = text.toUpper();
            for (QChar c : upper)
                if (c < QLatin1Char('A') || c > QLatin1Char('Z')) return {upper, true};
            return {upper};
        }
        case LeaveCheck::Integer: return {normaliseInteger(text)};
        case LeaveCheck::Real: return {normaliseReal(text)};
    }
    return {text};
}

QString checkNoiseParameter(int noiseFilter, QString& parameter) {
    switch (noiseFilter) {
        case 1: {
            parameter = normaliseReal(parameter);
            const double value = readNumber(parameter);
            return value < 0 || value > 1 ? QStringLiteral("Valid range for Correlation factor is 0 to 1") : QString();
        }
        case 2: {
            parameter = normaliseInteger(parameter);
            const double width = readNumber(parameter);
            const bool odd = std::fmod(width, 2.0) == 1.0;
            return !odd || width < 1 || width > 197
                       ? QStringLiteral("Gaussian smooth width must be an odd integer, less than 199")
                       : QString();
        }
        case 3: {
            parameter = normaliseInteger(parameter);
            const double deviation = readNumber(parameter);
            return deviation < 1 || deviation > 9
                       ? QStringLiteral("Valid range for Standard deviation is a positive integer, less than 10")
                       : QString();
        }
        default: return {};
    }
}

QString checkIntensitySelection(const QString& peaks, const QString& interval) {
    if (readNumber(peaks) < 1) return QStringLiteral("Valid range for number of peaks to select is positive integer");
    const double width = readNumber(interval);
    if (width < 10 || width > 1000) return QStringLiteral("Valid range for peak selection interval is 10 to 1000 Da");
    return {};
}

QString checkQuantRange(const QString& first, const QString& last) {
    const double from = readNumber(first);
    return from < 1 || readNumber(last) < from ? QStringLiteral("Invalid range for quantitate protein hits") : QString();
}

QString checkTs2SorvexValues(QString& minMass, QString& maxMass, QString& signalToNoise) {
    struct Check {
        QString& text;
        const char* message;
    };
    for (const Check& check : {Check{minMass, "Minimum mass cannot be less than 0"},
                               Check{maxMass, "Maximum mass cannot be less than 0"},
                               Check{signalToNoise, "Minimum S/N cannot be less than 0"}}) {
        check.text = normaliseReal(check.text);
        if (readNumber(check.text) < 0) return QString::fromLatin1(check.message);
    }
    return {};
}

}  // namespace filteropts
