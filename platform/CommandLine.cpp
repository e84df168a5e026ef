#include "platform/CommandLine.h"

namespace platform {

namespace {

bool isSeparator(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
           c == QLatin1Char('\r');
}

bool escapableInDoubleQuotes(QChar c) {
    return c == QLatin1Char('"') || c == QLatin1Char('\\') || c == QLatin1Char('$') ||
           c == QLatin1Char('`');
}

}  // namespace

SplitCommand splitCommandLine(const QString& line) {
    enum class Quote { None, Single, Double };
    SplitCommand result;
    QString current;
    bool inArgument = false;  // also true for an argument that is only ""
    Quote quote = Quote::None;
    qsizetype quoteStart = 0;

    const qsizetype n = line.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = line[i];
        switch (quote) {
            case Quote::Single:
                if (c == QLatin1Char('\'')) quote = Quote::None;
                else current += c;
                break;
            case Quote::Double:
                if (c == QLatin1Char('"')) {
                    quote = Quote::None;
                } else if (c == QLatin1Char('\\') && i + 1 < n && escapableInDoubleQuotes(line[i + 1])) {
                    current += line[++i];
                } else {
                    current += c;
                }
                break;
            case Quote::None:
                if (isSeparator(c)) {
                    if (inArgument) result.arguments << current;
                    current.clear();
                    inArgument = false;
                    break;
                }
                inArgument = true;
                if (c == QLatin1Char('\'')) {
                    quote = Quote::Single;
                    quoteStart = i;
                } else if (c == QLatin1Char('"')) {
                    quote = Quote::Double;
                    quoteStart = i;
                } else if (c == QLatin1Char('\\') && i + 1 < n) {
                    current += line[++i];
                } else {
                    current += c;
                }
                break;
        }
    }
    if (quote != Quote::None) {
        result.error = QStringLiteral("Unterminated %1 quote at column %2 of the command line: %3")
                           .arg(quote == Quote::Single ? QStringLiteral("single") : QStringLiteral("double"))
                           .arg(quoteStart + 1)
                           .arg(line);
        result.arguments.clear();
        return result;
    }
    if (inArgument) result.arguments << current;
    return result;
}

}  // namespace platform
