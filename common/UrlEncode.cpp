#include "common/UrlEncode.h"

#include "platform/Cp1252.h"

namespace common {

QString modGlobal_UrlEncode(const QString& text) {
    QString encoded;
    encoded.reserve(text.size() * 3);
    for (const char ch : platform::toCp1252(text)) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')
            encoded += QLatin1Char(static_cast<char>(c));
        else
            encoded += QLatin1Char('%') + QStringLiteral("%1").arg(c, 2, 16, QLatin1Char('0')).toUpper();
    }
    return encoded;
}

}  // namespace common
