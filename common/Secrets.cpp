#include "common/Secrets.h"

#include <QRegularExpression>

namespace common {

QString maskSecrets(const QString& text) {
    static const QRegularExpression queryPassword(QStringLiteral("(password=)[^&\\s]*"),
                                                  QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression userInfo(QStringLiteral("(://[^/?#@\\s:]*):[^/?#\\s]*@"));
    QString masked = text;
    masked.replace(queryPassword, QStringLiteral("\\1***"));
    masked.replace(userInfo, QStringLiteral("\\1:***@"));
    return masked;
}

}  // namespace common
