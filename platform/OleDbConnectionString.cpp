#include "platform/OleDbConnectionString.h"

#include "platform/AdoErrors.h"
#include "platform/Error.h"

#include <QList>
#include <QStringList>

#include <algorithm>

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

// Walks the pairs of a whole connection string, each key with its value as
// read and where the key starts; a malformed string throws.
template <typename Visit>
void walk(const QString& text, Visit&& visit) {
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
        visit(key, v, keyStart);
    }
}

// A key of a connection string proper ("Password", "ProxyPassword", "Pwd"),
// not a text that merely ends in the word ("Problem: Password", a URL's query).
bool isPasswordKey(const QString& key) {
    for (const QChar c : key)
        if (!isKeyLetter(c) && c != QLatin1Char(' ')) return false;
    const QString lower = key.toLower();
    return lower == QLatin1String("pwd") || lower.endsWith(QLatin1String("password"));
}

struct Span {
    qsizetype start, end;
};

// Each run of overlapping spans written "***" once.
QString replaced(const QString& text, QList<Span> spans) {
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.start < b.start; });
    QString out;
    qsizetype copied = 0;
    for (qsizetype i = 0; i < spans.size();) {
        const qsizetype start = spans[i].start;
        qsizetype end = spans[i].end;
        for (++i; i < spans.size() && spans[i].start <= end; ++i) end = std::max(end, spans[i].end);
        out += QStringView(text).mid(copied, start - copied);
        out += QStringLiteral("***");
        copied = end;
    }
    out += QStringView(text).mid(copied);
    return out;
}

// Password keys wherever they stand in a text that is no connection string
// as a whole (a message quoting one, a URL's query): each value is read as
// the parser reads one, up to the end of its line.
QList<Span> looseSpans(const QString& text) {
    QList<Span> spans;
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
        Span span{valueAt, valueAt};
        const QChar before = keyStart > 0 ? text[keyStart - 1] : QChar();
        if (before == QLatin1Char('?') || before == QLatin1Char('&')) {
            // A query field of a URL: its value ends where the field does.
            while (span.end < text.size() && text[span.end] != QLatin1Char('&') && text[span.end] != QLatin1Char('#') &&
                   !text[span.end].isSpace())
                ++span.end;
        } else {
            // A quoted value runs to its closing quote (or the end); any
            // other value to the end of its line at most.
            qsizetype i = valueAt;
            while (i < text.size() && text[i].isSpace()) ++i;
            qsizetype lineEnd = i;
            while (lineEnd < text.size() && text[lineEnd] != QLatin1Char('\r') && text[lineEnd] != QLatin1Char('\n'))
                ++lineEnd;
            const bool quoted = i < text.size() && (text[i] == QLatin1Char('\'') || text[i] == QLatin1Char('"'));
            const ScannedValue v = scanValue(quoted ? text : text.left(lineEnd), i);
            span = Span{v.start, v.end};
        }
        if (span.end <= span.start) continue;
        spans << span;
        from = std::max(from, span.end);
    }
    return spans;
}

}  // namespace

OleDbConnectionString OleDbConnectionString::parse(const QString& text) {
    OleDbConnectionString result;
    // A repeated key: the last one counts.
    walk(text, [&result](const QString& key, const ScannedValue& v, qsizetype) {
        result.values_.insert(key.toLower(), v.value);
    });
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

QString OleDbConnectionString::toString() const {
    QStringList pairs;
    for (auto it = values_.cbegin(); it != values_.cend(); ++it) pairs << it.key() + QLatin1Char('=') + quoteValue(it.value());
    return pairs.join(QLatin1Char(';'));
}

QString OleDbConnectionString::withValues(const QString& text, const QList<std::pair<QString, QString>>& values) {
    // Where the value that counts (the last of a repeated key) stands, quotes included.
    struct Place {
        QString value;
        qsizetype start = -1, end = -1;
    };
    QMap<QString, Place> places;
    walk(text, [&places](const QString& key, const ScannedValue& v, qsizetype) {
        places.insert(key.toLower(), {v.value, v.quoted ? v.start - 1 : v.start, v.quoted ? v.next : v.end});
    });
    QList<std::pair<Place, QString>> rewrites;
    QString added;
    for (const auto& [key, value] : values) {
        const auto it = places.constFind(key.toLower());
        if (it == places.cend()) {
            if (!value.isEmpty()) added += key + QLatin1Char('=') + quoteValue(value) + QLatin1Char(';');
        } else if (it->value != value) {
            rewrites.append({*it, quoteValue(value)});
        }
    }
    std::sort(rewrites.begin(), rewrites.end(), [](const auto& a, const auto& b) { return a.first.start > b.first.start; });
    QString out = text;
    for (const auto& [place, quoted] : rewrites) out.replace(place.start, place.end - place.start, quoted);
    if (added.isEmpty()) return out;
    added.chop(1);
    if (!out.trimmed().isEmpty() && !out.trimmed().endsWith(QLatin1Char(';'))) out += QLatin1Char(';');
    return out + added;
}

QString OleDbConnectionString::maskPasswords(const QString& text) {
    // Exactly the values the parser reads, when the text is a connection
    // string; and, in any text, the values after password keys found loosely.
    QList<Span> spans = looseSpans(text);
    try {
        walk(text, [&spans](const QString& key, const ScannedValue& v, qsizetype) {
            if (isPasswordKey(key) && v.end > v.start) spans << Span{v.start, v.end};
        });
    } catch (const Error&) {
        // Not a connection string as a whole: the loose spans are all there is.
    }
    return replaced(text, spans);
}

}  // namespace platform
