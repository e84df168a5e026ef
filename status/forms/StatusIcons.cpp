#include "status/forms/StatusIcons.h"

#include "status/StatusNodes.h"

#include <QFile>
#include <QHash>

namespace tavrel {

namespace {

QString resourceOf(const QString& imageKey) { return QStringLiteral(":/") + imageKey; }

}  // namespace

QIcon statusIcon(const QString& imageKey) {
    // Icons are shared by thousands of rows; each picture is read once.
    static QHash<QString, QIcon> cache;
    if (imageKey.isEmpty()) return QIcon();
    auto it = cache.find(imageKey);
    if (it == cache.end()) {
        const QString path = resourceOf(imageKey);
        it = cache.insert(imageKey, QFile::exists(path) ? QIcon(path) : QIcon());
    }
    return it.value();
}

QIcon resultNodeIcon() {
    static const QIcon icon = [] {
        QIcon i;
        i.addFile(resourceOf(imagekey::ShutFile), QSize(), QIcon::Normal);
        i.addFile(resourceOf(imagekey::OpenFile), QSize(), QIcon::Selected);
        return i;
    }();
    return icon;
}

QPixmap statusPixmap(const QString& imageKey, int size) { return statusIcon(imageKey).pixmap(size, size); }

}  // namespace tavrel
