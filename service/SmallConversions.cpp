#include "service/SmallConversions.h"

#include "platform/Error.h"
#include "service/EventLog.h"

#include <QTimeZone>

#include <cmath>
#include <limits>

namespace tavrelsvc {

namespace {

TimeZoneBiasSource& biasSource() {
    static TimeZoneBiasSource source;
    return source;
}

void logError(const QString& code, const platform::Error& e) {
    modGlobal_WriteEventLog(EventError, 0, QStringLiteral(" "), QStringLiteral(" "), e.report(code));
}

const platform::Error kOverflow(platform::errnum::Overflow, QStringLiteral("Overflow"));

}  // namespace

std::optional<double> modGlobal_ToleranceInDaltons(float tolerance, const QString& unit, float mass) {
    try {
        const double t = std::fabs(static_cast<double>(tolerance));
        double result;
        if (unit == QLatin1String("PPM")) {
            result = t * mass / 1000000.0;
        } else if (unit == QLatin1String("%")) {
            result = static_cast<float>(t * mass / 100.0);
        } else if (unit == QLatin1String("MMU")) {
            result = static_cast<float>(t / 1000.0);
        } else {
            result = static_cast<float>(t);
        }
        if (!std::isfinite(result)) throw kOverflow;
        return result;
    } catch (const platform::Error& e) {
        logError(QStringLiteral("(TVS1055) "), e);
        return std::nullopt;
    }
}

int systemStandardBiasMinutes() {
    const QDateTime now = QDateTime::currentDateTime();
    return -QTimeZone::systemTimeZone().standardTimeOffset(now) / 60;
}

TimeZoneBiasSource setTimeZoneBiasSource(TimeZoneBiasSource source) {
    TimeZoneBiasSource previous = std::move(biasSource());
    biasSource() = std::move(source);
    return previous;
}

QString formatIsoDateTime(const QDateTime& when, int biasMinutes) {
    QString text = when.isValid() ? when.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")) : QString();
    // ISO 8601: the offset is local time minus UTC, i.e. minus the bias, so a
    // zone ahead of UTC (negative bias) is written with "+". The old program
    // wrote the opposite sign, which makes every reader that follows the
    // standard place the time twice the offset away from the truth.
    const int offset = -biasMinutes;
    const int magnitude = std::abs(offset);
    text += offset >= 0 ? QLatin1Char('+') : QLatin1Char('-');
    text += QStringLiteral("%1:%2")
                .arg(magnitude / 60, 2, 10, QLatin1Char('0'))
                .arg(magnitude % 60, 2, 10, QLatin1Char('0'));
    return text;
}

QString modGlobal_IsoDateTimeNow(const QDateTime& when) {
    const TimeZoneBiasSource& source = biasSource();
    return formatIsoDateTime(when, source ? source() : systemStandardBiasMinutes());
}

namespace {

// The decimal number as ten-thousandths (the 64-bit fixed-point range of four
// decimal places), rounded half to even at the fourth place.
std::optional<qint64> readFixedPoint(QStringView s) {
    bool negative = false;
    if (!s.isEmpty() && (s.front() == QLatin1Char('-') || s.front() == QLatin1Char('+'))) {
        negative = s.front() == QLatin1Char('-');
        s = s.mid(1);
    }
    constexpr unsigned __int128 kMax = std::numeric_limits<qint64>::max();
    unsigned __int128 value = 0;
    int digits = 0;
    int places = 0;
    bool inFraction = false;
    int beyond = 0;             // first digit after the fourth place
    bool beyondRest = false;    // any non-zero digit after that one
    for (const QChar c : s) {
        if (c == QLatin1Char('.') && !inFraction) {
            inFraction = true;
            continue;
        }
        if (!c.isDigit() || c.unicode() > '9') return std::nullopt;
        const int d = c.unicode() - '0';
        ++digits;
        if (inFraction && places == 4) {
            beyond = d;
            ++places;
            continue;
        }
        if (inFraction && places > 4) {
            beyondRest = beyondRest || d != 0;
            continue;
        }
        value = value * 10 + d;
        if (value > kMax * 10) return std::nullopt;  // far out of range already
        if (inFraction) ++places;
    }
    if (digits == 0) return std::nullopt;
    for (int p = std::min(places, 4); p < 4; ++p) value *= 10;
    if (beyond > 5 || (beyond == 5 && (beyondRest || (value & 1)))) ++value;
    if (value > kMax) return std::nullopt;
    const auto v = static_cast<qint64>(value);
    return negative ? -v : v;
}

}  // namespace

qint64 modGlobal_ParseSignedInt64(const QString& text) {
    QStringView s = QStringView(text).trimmed();
    bool negative = false;
    if (s.startsWith(QLatin1Char('-'))) {
        negative = true;
        s = s.mid(1);
    }
    if (s.startsWith(QLatin1Char('+'))) s = s.mid(1);
    const std::optional<qint64> fixed = readFixedPoint(s);
    if (!fixed) return 0;
    // Whole units, halves to even. No wrap at 2^31: the column is 64-bit and
    // files of 2 GiB and more are common.
    qint64 whole = *fixed / 10000;
    const qint64 rest = *fixed % 10000;
    if (rest > 5000 || (rest == 5000 && (whole & 1))) ++whole;
    else if (rest < -5000 || (rest == -5000 && (whole & 1))) --whole;
    return negative ? -whole : whole;
}

QString modGlobal_GetParameterSetServerUrl(const QString& parameterSetLabel) {
    // Every parameter set is searched on the server of the settings (BaseUrl).
    return QString();
}

}  // namespace tavrelsvc
