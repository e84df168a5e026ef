#include "common/ParameterFile.h"

#include "common/AtomicSave.h"
#include "platform/BoundedRead.h"
#include "platform/Cp1252.h"

#include <QFileInfo>

namespace tavrel {

namespace {

// Run-time error numbers the handlers report with these failures.
constexpr long kPathFileAccessError = 75;
// Keys and values of a search, a few kilobytes: a file far larger is no set.
constexpr qint64 kParameterFileLimit = qint64(16) << 20;
constexpr long kBadFileFormat = 321;  // "Invalid file format"

ParameterFileError makeError(ParameterFileError::Kind kind, const QString& path, const QString& message,
                             int lineNumber = 0) {
    return ParameterFileError{kind, path, message, lineNumber};
}

bool isBlank(QStringView text) {
    for (QChar c : text) {
        if (c != u' ' && c != u'\t') return false;
    }
    return true;
}

// The first character the code page cannot hold, described for a message:
// the character itself and its code point.
std::optional<QString> firstUnencodable(const QString& text) {
    const QByteArray bytes = platform::toCp1252(text);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (bytes[i] != '?' || text[i] == u'?') continue;
        char32_t code = text[i].unicode();
        qsizetype length = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(text[i], text[i + 1]);
            length = 2;
        }
        return QStringLiteral("\"%1\" (U+%2)")
            .arg(text.mid(i, length), QString::number(code, 16).toUpper().rightJustified(4, u'0'));
    }
    return std::nullopt;
}

std::optional<QString> unwritableReason(const ParameterLine& line) {
    const QString name = line.key.isEmpty() ? QStringLiteral("an empty key") : QStringLiteral("key ") + line.key;
    if (line.key.contains(u'='))
        return QStringLiteral("the key %1 holds \"=\"").arg(line.key);
    if (line.key.contains(u'\r') || line.key.contains(u'\n'))
        return QStringLiteral("the key %1 holds a line break").arg(line.key.simplified());
    if (line.value.contains(u'\r') || line.value.contains(u'\n'))
        return QStringLiteral("the value of %1 holds a line break").arg(name);
    if (auto c = firstUnencodable(line.key))
        return QStringLiteral("the key %1 holds the character %2, which the file's code page cannot hold")
            .arg(line.key, *c);
    if (auto c = firstUnencodable(line.value))
        return QStringLiteral("the value of %1 holds the character %2, which the file's code page cannot hold")
            .arg(name, *c);
    return std::nullopt;
}

}  // namespace

platform::Error ParameterFileError::toError() const {
    switch (kind) {
    case Kind::NotFound: return platform::Error(platform::errnum::FileNotFound, message);
    case Kind::LineWithoutEquals:
    case Kind::NotWritable: return platform::Error(kBadFileFormat, message);
    case Kind::Unreadable:
    case Kind::CannotCreate:
    case Kind::WriteFailed: break;
    }
    return platform::Error(kPathFileAccessError, message);
}

ParameterFileLines parseParameterFileLines(const QByteArray& bytes, const QString& path,
                                           ParameterLineRule rule) {
    ParameterFileLines result;
    const QString text = platform::fromCp1252(bytes);
    qsizetype start = 0;
    int lineNumber = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        const qsizetype next = end < 0 ? text.size() : end + 1;
        if (end < 0) end = text.size();
        qsizetype lineEnd = end;
        if (lineEnd > start && text[lineEnd - 1] == u'\r') --lineEnd;  // CR LF
        const QStringView line = QStringView(text).mid(start, lineEnd - start);
        start = next;
        ++lineNumber;

        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0) {
            if (rule == ParameterLineRule::SkipLinesWithoutEquals || isBlank(line)) continue;
            result.error = makeError(
                ParameterFileError::Kind::LineWithoutEquals, path,
                QStringLiteral("Parameter file %1, line %2 is not KEY=VALUE: \"%3\"")
                    .arg(path, QString::number(lineNumber), line.toString()),
                lineNumber);
            result.lines.clear();
            return result;
        }
        result.lines.append(ParameterLine{line.left(eq).toString(), line.mid(eq + 1).toString(), lineNumber});
    }
    return result;
}

ParameterFileLines readParameterFileLines(const QString& path, ParameterLineRule rule) {
    ParameterFileLines result;
    // A set the user chose may be reached through a link; a fifo is never
    // waited on, and a file grown far past any set is never read.
    QByteArray bytes;
    QString why;
    switch (platform::readBoundedFile(path, kParameterFileLimit, bytes, &why, platform::Links::Follow)) {
        case platform::ReadOutcome::Missing:
            result.error = makeError(ParameterFileError::Kind::NotFound, path,
                                     QStringLiteral("Parameter file not found: ") + path);
            return result;
        case platform::ReadOutcome::Failed:
            result.error = makeError(ParameterFileError::Kind::Unreadable, path,
                                     QStringLiteral("Cannot read parameter file %1: %2").arg(path, why));
            return result;
        case platform::ReadOutcome::Read:
            break;
    }
    return parseParameterFileLines(bytes, path, rule);
}

std::optional<ParameterFileError> encodeParameterFileLines(const QList<ParameterLine>& lines,
                                                           const QString& path, QByteArray& out) {
    out.clear();
    for (const ParameterLine& line : lines) {
        if (auto reason = unwritableReason(line)) {
            out.clear();
            return makeError(ParameterFileError::Kind::NotWritable, path,
                             QStringLiteral("Cannot save parameter file %1: %2").arg(path, *reason));
        }
        out += platform::toCp1252(line.key);
        out += '=';
        out += platform::toCp1252(line.value);
        out += "\r\n";
    }
    return std::nullopt;
}

std::optional<ParameterFileError> writeParameterFileLines(const QString& path,
                                                          const QList<ParameterLine>& lines) {
    QByteArray bytes;
    if (auto error = encodeParameterFileLines(lines, path, bytes)) return error;

    // Renaming a temporary file over the target would replace a read-only
    // file without asking; a read-only file is the user's "do not change".
    const QFileInfo info(path);
    if (info.exists() && (info.isDir() || !info.isWritable())) {
        return makeError(ParameterFileError::Kind::CannotCreate, path,
                         QStringLiteral("Cannot create parameter file %1: %2")
                             .arg(path, info.isDir() ? QStringLiteral("it is a folder")
                                                     : QStringLiteral("the file is read-only")));
    }
    common::SaveStage stage = common::SaveStage::Write;
    const QString failure = common::saveFileAtomically(path, bytes, &stage);
    if (failure.isEmpty()) return std::nullopt;
    if (stage == common::SaveStage::Create) {
        return makeError(ParameterFileError::Kind::CannotCreate, path,
                         QStringLiteral("Cannot create parameter file %1: %2").arg(path, failure));
    }
    return makeError(ParameterFileError::Kind::WriteFailed, path,
                     QStringLiteral("Cannot write parameter file %1: %2").arg(path, failure));
}

QString joinParameterList(const QStringList& entries) {
    return entries.join(u',');
}

QStringList splitParameterList(const QString& value) {
    if (value.isEmpty()) return {};
    return value.split(u',');
}

}  // namespace tavrel
