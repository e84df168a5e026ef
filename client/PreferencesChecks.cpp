#include "client/PreferencesChecks.h"

#include <QLocale>
#include <QStringList>

#include <cmath>
#include <limits>

namespace tavrel {

namespace {

std::optional<double> number(const QString& text) {
    const QString t = text.trimmed();
    bool ok = false;
    double value = QLocale::c().toDouble(t, &ok);
    if (!ok) value = QLocale::system().toDouble(t, &ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<qint32> rounded(const QString& text, double lowest, double highest) {
    const std::optional<double> value = number(text);
    if (!value) return std::nullopt;
    // The default rounding mode is to the nearest, ties to even.
    const double whole = std::nearbyint(*value);
    if (whole < lowest || whole > highest) return std::nullopt;
    return static_cast<qint32>(whole);
}

}  // namespace

std::optional<qint32> wholeNumber16(const QString& text) {
    return rounded(text, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max());
}

std::optional<qint32> wholeNumber32(const QString& text) {
    return rounded(text, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
}

bool isFullUrl(const QString& url) {
    return url.size() >= 15 && (url.startsWith(QLatin1String("http://")) || url.startsWith(QLatin1String("https://")));
}

QString withTrailingSlash(const QString& url) { return url.endsWith(QLatin1Char('/')) ? url : url + QLatin1Char('/'); }

// The extractor programs a setting may name, in the order the message gives them.
constexpr const char* kExtractorNames[] = {"LCQ_DTA", "EXTRACT_MSN", "EXTRACT_MSN_COM", "EXTRACTMSN"};

bool isExtractorPath(const QString& path) {
    if (path.size() <= kExtractorPathUntested) return true;
    const QString upper = path.toUpper();
    // Programs here have no ".exe": the names are taken with or without it.
    for (const char* name : kExtractorNames) {
        const QString bare = QLatin1String(name);
        if (upper.endsWith(bare + QLatin1String(".EXE")) || upper.endsWith(QLatin1Char('/') + bare) ||
            upper.endsWith(QLatin1Char('\\') + bare) || upper == bare)
            return true;
    }
    return false;
}

QString extractorNameRefusal() {
    QStringList names;
    for (const char* name : kExtractorNames) names << QLatin1String(name) + QLatin1String(".EXE");
    // Another extractor is plugged in through a wrapper script or a link of one of these names.
    return QStringLiteral("You must enter the full path to ") + names.join(QStringLiteral(" or ")) +
           QStringLiteral("\r\nThe program's name is taken in any letter case, with or without \".exe\" "
                          "(/usr/local/bin/extract_msn, for example); to use another extractor, name a wrapper "
                          "script or a link to it so.");
}

bool preferencesChanged(const common::RegValueTable& before, const common::RegValueTable& after) {
    if (before.isEmpty()) return false;
    if (before.size() != after.size()) return true;
    for (int i = 0; i < before.size(); ++i)
        if (common::regValueToText(before[i].value) != common::regValueToText(after[i].value)) return true;
    return false;
}

}  // namespace tavrel
