#include "common/Password.h"

#include "platform/Cp1252.h"
#include "platform/Error.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace common {

namespace {

// The scrambling constants, applied in this order. Stored passwords depend on
// them: never change them.
constexpr double kA = 1.62;
constexpr double kB = 2.87;
constexpr double kC = 1.31;

// The number at the start of a piece, 0 when there is none (as Val reads it).
double leadingNumber(const QString& piece) {
    static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?"));
    const QRegularExpressionMatch m = number.match(piece);
    return m.hasMatch() ? QLocale::c().toDouble(m.captured(0)) : 0.0;
}

}  // namespace

QString modGlobal_EncodePassword(const QString& password) {
    const QByteArray codes = platform::toCp1252(password);
    if (platform::fromCp1252(codes) != password)
        throw platform::Error(platform::errnum::InvalidProcedureCall,
                              QStringLiteral("The password holds a character that cannot be stored"));
    QString result;
    for (qsizetype i = 0; i < codes.size(); ++i) {
        const double c = static_cast<unsigned char>(codes[i]);
        const double v = c * kA / kB * kC * static_cast<double>(i + 1);
        result += u' ' + QString::number(v, 'g', 15);
    }
    return result;
}

QString modGlobal_DecodePassword(const QString& stored) {
    const QString text = stored.trimmed();
    if (text.isEmpty()) return QString();
    const QStringList pieces = text.split(u' ');
    QByteArray codes;
    for (qsizetype k = 0; k < pieces.size(); ++k) {
        const double w = leadingNumber(pieces[k].trimmed()) / kA * kB / kC / static_cast<double>(k + 1);
        const double code = std::nearbyint(w);  // halves to the even neighbour
        if (!(code >= 0 && code <= 255))
            throw platform::Error(platform::errnum::InvalidProcedureCall,
                                  QStringLiteral("Invalid procedure call or argument"));
        codes += static_cast<char>(static_cast<unsigned char>(code));
    }
    return platform::fromCp1252(codes);
}

}  // namespace common
