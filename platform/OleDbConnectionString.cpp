#include "platform/OleDbConnectionString.h"

#include "platform/AdoErrors.h"
#include "platform/Error.h"

namespace platform {

namespace {

// Says where and why, never the text itself: it may hold a password.
Error malformed(qsizetype at, const QString& why) {
    return Error(adoerr::InvalidArgument,
                 QStringLiteral("Invalid connection string (%1 at character %2)").arg(why).arg(at + 1));
}

// One value as the parser reads it, from `i` (past "=" and its blanks).
struct ScannedValue {
    QString value;
    qsizetype start = 0;  // the value's own characters: inside the quotes when quoted
    qsizetype end = 0;
    qsizetype next = 0;   // the first character after the value (and its closing quote)
    bool quoted = false;
    bool closed = true;   // false: a quote left open
};

ScannedValue scanValue(const QString& text, qsizetype i) {
    const qsizetype n = text.size();
    ScannedValue v;
    if (i < n && (text[i] == QLatin1Char('\'') || text[i] == QLatin1Char('"'))) {
        const QChar quote = text[i++];
        v.quoted = true;
        v.closed = false;
        v.start = i;
        while (i < n) {
            if (text[i] == quote) {
                if (i + 1 < n && text[i + 1] == quote) {
                    v.value += quote;
                    i += 2;
                    continue;
                }
                v.closed = true;
                break;
            }
            v.value += text[i++];
        }
        v.end = i;
        v.next = v.closed ? i + 1 : i;
        return v;
    }
    qsizetype end = i;
    while (end < n && text[end] != QLatin1Char(';')) ++end;
    v.next = end;
    while (end > i && text[end - 1].isSpace()) --end;
    v.start = i;
    v.end = end;
    v.value = text.mid(i, end - i);
    return v;
}

bool isKeyLetter(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

// Where the password key at `at` (of length `length`) has its value, or -1.
qsizetype valueAfterKey(const QString& text, qsizetype at, qsizetype length) {
    if (at + length < text.size() && isKeyLetter(text[at + length])) return -1;  // a longer word
    qsizetype i = at + length;
    while (i < text.size() && text[i].isSpace()) ++i;
    if (i >= text.size() || text[i] != QLatin1Char('=')) return -1;
    return i + 1;
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
            if (!key.isEmpty()) throw malformed(keyStart, QStringLiteral("no \"=\" after a key"));
            ++i;  // empty segment, as in "a=b;;c=d" or a trailing ";"
            continue;
        }
        if (key.isEmpty()) throw malformed(keyStart, QStringLiteral("empty key"));
        ++i;  // past "="
        while (i < n && text[i].isSpace()) ++i;
        const ScannedValue v = scanValue(text, i);
        if (!v.closed) throw malformed(v.start - 1, QStringLiteral("unclosed quote in the value of \"%1\"").arg(key));
        i = v.next;
        if (v.quoted) {
            while (i < n && text[i].isSpace()) ++i;
            if (i < n && text[i] != QLatin1Char(';'))
                throw malformed(i, QStringLiteral("text after the quoted value of \"%1\"").arg(key));
        }
        ++i;  // past ";"
        result.values_.insert(key.toLower(), v.value);  // a repeated key: the last one counts
    }
    return result;
}

QString OleDbConnectionString::maskPasswords(const QString& text) {
    QString out;
    qsizetype copied = 0;
    for (qsizetype from = 0; from < text.size();) {
        const qsizetype password = text.indexOf(QStringLiteral("password"), from, Qt::CaseInsensitive);
        const qsizetype pwd = text.indexOf(QStringLiteral("pwd"), from, Qt::CaseInsensitive);
        qsizetype at = password;
        qsizetype length = 8;
        if (pwd >= 0 && (password < 0 || pwd < password)) at = pwd, length = 3;
        if (at < 0) break;
        from = at + length;
        // The key's word: "Password", "ProxyPassword", "pwd" - not "pwdx".
        qsizetype keyStart = at;
        while (keyStart > 0 && isKeyLetter(text[keyStart - 1])) --keyStart;
        if (length == 3 && keyStart != at) continue;
        const qsizetype valueAt = valueAfterKey(text, at, length);
        if (valueAt < 0) continue;
        qsizetype start = 0, end = 0;
        const QChar before = keyStart > 0 ? text[keyStart - 1] : QChar();
        if (before == QLatin1Char('?') || before == QLatin1Char('&')) {
            // A query field of a URL: its value ends where the field does.
            start = end = valueAt;
            while (end < text.size() && text[end] != QLatin1Char('&') && text[end] != QLatin1Char('#') &&
                   !text[end].isSpace())
                ++end;
        } else {
            // A connection-string value, read as the parser reads it (up to
            // the end of its line when it stands in a longer text).
            qsizetype i = valueAt;
            while (i < text.size() && text[i].isSpace()) ++i;
            qsizetype lineEnd = i;
            while (lineEnd < text.size() && text[lineEnd] != QLatin1Char('\r') && text[lineEnd] != QLatin1Char('\n'))
                ++lineEnd;
            const ScannedValue v = scanValue(text.left(lineEnd), i);
            start = v.start;
            end = v.end;
        }
        if (end <= start) continue;
        out += QStringView(text).mid(copied, start - copied);
        out += QStringLiteral("***");
        copied = end;
        from = std::max(from, end);
    }
    out += QStringView(text).mid(copied);
    return out;
}

}  // namespace platform
