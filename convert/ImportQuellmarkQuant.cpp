#include "convert/ImportQuellmarkQuant.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

namespace tavrelsvc {

QString QuellmarkQuantCommand::text() const {
    QStringList parts{QLatin1Char('"') + program + QLatin1Char('"')};
    for (const QString& a : arguments)
        parts << (a.isEmpty() || a.contains(QLatin1Char(' ')) ? QLatin1Char('"') + a + QLatin1Char('"') : a);
    return parts.join(QLatin1Char(' '));
}

QuellmarkQuantCommand quellmarkQuantCommand(const QuellmarkQuantRequest& r) {
    QuellmarkQuantCommand c;
    c.program = r.program;
    c.importOnly = !r.canQuantitate || r.quantitation == u"0" || r.quantitationMethod.isEmpty() ||
                   r.quantitationMethod.toLower() == u"none";
    c.arguments << r.projectPath << QStringLiteral("-batch");
    if (!c.importOnly)
        c.arguments << QStringLiteral("-quantitate") << (r.quantitation == u"-1" ? QString() : r.quantitation);
    c.arguments << QStringLiteral("-task_id") << r.taskId << QStringLiteral("-e") << quellmarkErrorFile(r.projectPath)
                << QStringLiteral("-loglevel") << QStringLiteral("7");
    if (!r.userName.isEmpty() && r.acceptsLogin) {
        c.arguments << QStringLiteral("-username") << r.userName;
        c.password = r.password;
    }
    return c;
}

QString firstUtf16Line(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QString();
    const QByteArray bytes = file.readAll();
    auto encoding = QStringConverter::Utf16LE;
    if (bytes.startsWith("\xfe\xff")) encoding = QStringConverter::Utf16BE;
    QStringDecoder decode(encoding);
    QString text = decode(bytes);
    if (text.startsWith(QChar(0xfeff))) text.remove(0, 1);
    const qsizetype end = text.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    return end >= 0 ? text.left(end) : text;
}

}  // namespace tavrelsvc
