// Value conversions and environment references of RegOp.
#include "common/RegOp.h"

#include "platform/Error.h"

#include <QDateTime>
#include <QLocale>
#include <QProcessEnvironment>

#include <cmath>
#include <limits>
#include <optional>

namespace common {

namespace {

constexpr long kTypeMismatch = 13;

[[noreturn]] void typeMismatch() { throw platform::Error(kTypeMismatch, QStringLiteral("Type mismatch")); }

bool isArray(const QVariant& v) {
    return v.typeId() == QMetaType::QStringList || v.typeId() == QMetaType::QVariantList;
}

// Reads a number the way a user types it: "15", " 15.5 ", "1e3", or in the
// user's locale ("15,5" where "," is the decimal separator).
bool textToDouble(const QString& text, double& out) {
    const QString t = text.trimmed();
    bool ok = false;
    out = QLocale::c().toDouble(t, &ok);
    if (!ok) out = QLocale::system().toDouble(t, &ok);
    return ok && std::isfinite(out);
}

// The variable of that name, letter case ignored as the environment of the
// original platform does; an exact match wins.
std::optional<QString> environmentValue(const QProcessEnvironment& env, const QString& name) {
    if (env.contains(name)) return env.value(name);
    for (const QString& key : env.keys())
        if (key.compare(name, Qt::CaseInsensitive) == 0) return env.value(key);
    return std::nullopt;
}

}  // namespace

QString regValueToText(const QVariant& value) {
    if (isArray(value)) typeMismatch();
    switch (value.typeId()) {
        case QMetaType::Bool: return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        case QMetaType::Double:
        case QMetaType::Float: return QString::number(value.toDouble(), 'g', 15);
        case QMetaType::QDateTime: return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        case QMetaType::QDate: return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
        default: return value.toString();
    }
}

qint32 regValueToLong(const QVariant& value) {
    double number = 0;
    switch (value.typeId()) {
        case QMetaType::Bool: return value.toBool() ? -1 : 0;
        case QMetaType::Int:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::UChar:
        case QMetaType::SChar:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Double:
        case QMetaType::Float: number = value.toDouble(); break;
        case QMetaType::QString:
            if (!textToDouble(value.toString(), number)) typeMismatch();
            break;
        default: typeMismatch();
    }
    number = std::nearbyint(number);  // halves to the even neighbour
    if (!(number >= std::numeric_limits<qint32>::min() && number <= std::numeric_limits<qint32>::max()))
        throw platform::Error(platform::errnum::Overflow, QStringLiteral("Overflow"));
    return static_cast<qint32>(number);
}

QByteArray RegOp::TrimAtNull(const QByteArray& data) {
    const qsizetype nul = data.indexOf('\0');
    return nul < 0 ? data : data.left(nul);
}

QByteArray RegOp::TrimAtDoubleNull(const QByteArray& data) {
    const qsizetype end = data.indexOf(QByteArrayView("\0\0", 2));
    return end < 0 ? data : data.left(end);
}

// Every reference to a variable that exists is replaced; others stay as written.
QString RegOp::ExpandEnvironment(const QString& text) {
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QString out;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype open = text.indexOf(u'%', pos);
        const qsizetype close = open < 0 ? -1 : text.indexOf(u'%', open + 1);
        if (close < 0) break;
        out += text.mid(pos, open - pos);
        const QString name = text.mid(open + 1, close - open - 1);
        if (const auto value = name.isEmpty() ? std::nullopt : environmentValue(env, name)) {
            out += *value;
            pos = close + 1;
        } else {
            out += u'%' + name;
            pos = close;
        }
    }
    return out + text.mid(pos);
}

// The whole environment is searched, so whether a text is stored as
// expandable does not depend on the order of the variables.
bool RegOp::HasEnvironmentReference(const QString& text) {
    const qsizetype first = text.indexOf(u'%');
    if (first < 0 || text.indexOf(u'%', first + 1) < 0) return false;
    for (const QString& name : QProcessEnvironment::systemEnvironment().keys())
        if (text.contains(u'%' + name + u'%', Qt::CaseInsensitive)) return true;
    return false;
}

}  // namespace common
