#include "platform/OleDbConnectionString.h"

#include "platform/AdoErrors.h"
#include "platform/Error.h"

namespace platform {

namespace {

Error malformed(const QString& text, qsizetype at, const QString& why) {
    return Error(adoerr::InvalidArgument,
                 QStringLiteral("Invalid connection string (%1 at character %2): %3")
                     .arg(why)
                     .arg(at + 1)
                     .arg(text));
}

}  // namespace

OleDbConnectionString OleDbConnectionString::parse(const QString& text) {
    OleDbConnectionString result;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        // Key: up to "=", blanks around it dropped.
        const qsizetype keyStart = i;
        while (i < n && text[i] != QLatin1Char('=') && text[i] != QLatin1Char(';')) ++i;
        const QString key = text.mid(keyStart, i - keyStart).trimmed();
        if (i >= n || text[i] == QLatin1Char(';')) {
            if (!key.isEmpty()) throw malformed(text, keyStart, QStringLiteral("no \"=\" after \"%1\"").arg(key));
            ++i;  // empty segment, as in "a=b;;c=d" or a trailing ";"
            continue;
        }
        if (key.isEmpty()) throw malformed(text, keyStart, QStringLiteral("empty key"));
        ++i;  // past "="
        while (i < n && text[i].isSpace()) ++i;
        QString value;
        if (i < n && (text[i] == QLatin1Char('\'') || text[i] == QLatin1Char('"'))) {
            const QChar quote = text[i];
            const qsizetype quoteAt = i++;
            bool closed = false;
            while (i < n) {
                if (text[i] == quote) {
                    if (i + 1 < n && text[i + 1] == quote) {
                        value += quote;
                        i += 2;
                        continue;
                    }
                    closed = true;
                    ++i;
                    break;
                }
                value += text[i++];
            }
            if (!closed) throw malformed(text, quoteAt, QStringLiteral("unclosed quote"));
            while (i < n && text[i].isSpace()) ++i;
            if (i < n && text[i] != QLatin1Char(';'))
                throw malformed(text, i, QStringLiteral("text after a quoted value"));
        } else {
            const qsizetype valueStart = i;
            while (i < n && text[i] != QLatin1Char(';')) ++i;
            value = text.mid(valueStart, i - valueStart).trimmed();
        }
        ++i;  // past ";"
        result.values_.insert(key.toLower(), value);  // a repeated key: the last one counts
    }
    return result;
}

QString OleDbConnectionString::quoteValue(const QString& value) {
    if (!value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('"')) && !value.contains(QLatin1Char('\'')) &&
        value.trimmed() == value)
        return value;
    QString inner = value;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

}  // namespace platform
