#include "filteropts/NumberText.h"

#include "common/ServerReplies.h"
#include "platform/Error.h"

#include <QRegularExpression>

#include <cmath>

namespace filteropts {

namespace {

QString withoutBlanks(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (QChar c : text)
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\n')) kept.append(c);
    return kept;
}

// "&H1F" and "&O17": the digits of the base, as far as they go. Values that
// fit 16 bits are taken as a signed 16-bit integer (&HFFFF is -1), wider ones
// as signed 32 bits, as the classic reading does.
std::optional<double> radixNumber(const QString& text) {
    if (text.size() < 2 || text[0] != QLatin1Char('&')) return std::nullopt;
    const QChar kind = text[1].toUpper();
    const int base = kind == QLatin1Char('H') ? 16 : kind == QLatin1Char('O') ? 8 : 0;
    if (base == 0) return std::nullopt;
    quint64 value = 0;
    for (qsizetype i = 2; i < text.size(); ++i) {
        bool ok = false;
        const uint digit = QString(text[i]).toUInt(&ok, base);
        if (!ok) break;
        value = value * base + digit;
        if (value > 0xFFFFFFFFull) return 0.0;  // does not fit: no number
    }
    if (value <= 0xFFFF) return static_cast<double>(static_cast<qint16>(static_cast<quint16>(value)));
    return static_cast<double>(static_cast<qint32>(static_cast<quint32>(value)));
}

const QRegularExpression& leadingNumberPattern() {
    static const QRegularExpression re(QStringLiteral("^[+-]?(\\d|\\.\\d)"));
    return re;
}

const QRegularExpression& wholeNumberPattern() {
    static const QRegularExpression re(
        QStringLiteral("^(&[Hh][0-9A-Fa-f]+|&[Oo][0-7]+|[+-]?(\\d+\\.?\\d*|\\.\\d+)([Ee][+-]?\\d+)?)$"));
    return re;
}

}  // namespace

double readNumber(const QString& text) {
    const QString kept = withoutBlanks(text);
    if (const auto radix = radixNumber(kept)) return *radix;
    return common::leadingNumber(kept);
}

bool startsWithNumber(const QString& text) {
    const QString kept = withoutBlanks(text);
    if (kept.startsWith(QLatin1Char('&'))) return wholeNumberPattern().match(kept.left(3)).hasMatch();
    return leadingNumberPattern().match(kept).hasMatch();
}

bool isNumber(const QString& text) { return wholeNumberPattern().match(withoutBlanks(text)).hasMatch(); }

std::optional<bool> readYesNo(const QString& text) {
    const QString word = text.trimmed();
    if (word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
    if (word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    if (isNumber(word)) return readNumber(word) != 0;
    return std::nullopt;
}

qint16 integer16Of(const QString& text) {
    if (!isNumber(text)) throw platform::Error(13, QStringLiteral("Type mismatch"));
    const double rounded = std::nearbyint(readNumber(text));
    if (!(rounded >= -32768 && rounded <= 32767))
        throw platform::Error(platform::errnum::Overflow, QStringLiteral("Overflow"));
    return static_cast<qint16>(rounded);
}

bool yesNoOf(const QString& text) {
    const std::optional<bool> value = readYesNo(text);
    if (!value) throw platform::Error(13, QStringLiteral("Type mismatch"));
    return *value;
}

QString numberText(double value) {
    if (value == 0 || !std::isfinite(value)) return QStringLiteral("0");
    QString text = QString::number(value, 'g', 15).toUpper();
    if (text.startsWith(QLatin1String("0."))) text.remove(0, 1);
    else if (text.startsWith(QLatin1String("-0."))) text.remove(1, 1);
    return text;
}

QString normaliseReal(const QString& text) { return numberText(readNumber(text)); }

QString normaliseInteger(const QString& text) { return numberText(std::floor(readNumber(text))); }

}  // namespace filteropts
