#include "common/UrlEncode.h"

#include "platform/Cp1252.h"

namespace common {

QString modGlobal_UrlEncode(const QString& text) {
    static const char kHex[] = "0123456789ABCDEF";
    const QByteArray bytes = platform::toCp1252(text);
    QString out;
    out.reserve(bytes.size() * 3);
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (keep) {
            out += QLatin1Char(static_cast<char>(c));
        } else {
            out += QLatin1Char('%');
            out += QLatin1Char(kHex[c >> 4]);
            out += QLatin1Char(kHex[c & 0x0F]);
        }
    }
    return out;
}

}  // namespace common
