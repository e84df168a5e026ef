#include "client/ConnectionStringBox.h"

#include "common/Secrets.h"
#include "platform/Error.h"
#include "platform/OleDbConnectionString.h"

#include <QRegularExpression>

namespace tavrel {

namespace {

const QString kMask = QStringLiteral("***");

QString passwordOf(const QString& connection) {
    try {
        const auto cs = platform::OleDbConnectionString::parse(connection);
        return cs.contains(QStringLiteral("Password")) ? cs.value(QStringLiteral("Password"))
                                                       : cs.value(QStringLiteral("Pwd"));
    } catch (const platform::Error&) {
        return {};
    }
}

}  // namespace

QString shownConnectionString(const QString& connection) { return common::maskSecrets(connection); }

QString editedConnectionString(const QString& shown, const QString& current) {
    if (shown == shownConnectionString(current)) return current;
    const QString password = passwordOf(current);
    if (password.isEmpty()) return shown;
    // A password key whose whole value is the mask, as the parser reads keys.
    static const QRegularExpression masked(QStringLiteral(R"((?:^|;)\s*(?:password|pwd)\s*=\s*(\*\*\*)\s*(?=;|$))"),
                                           QRegularExpression::CaseInsensitiveOption);
    QString text = shown;
    QList<QRegularExpressionMatch> found;
    for (auto it = masked.globalMatch(shown); it.hasNext();) found.prepend(it.next());
    for (const QRegularExpressionMatch& m : found)
        text.replace(m.capturedStart(1), kMask.size(), platform::OleDbConnectionString::quoteValue(password));
    return text;
}

}  // namespace tavrel
