#include "common/AtomicSave.h"

#include <QSaveFile>

namespace common {

QString saveFileAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason.isEmpty() ? QStringLiteral("Not every byte could be written") : reason;
    }
    if (!file.commit()) return file.errorString();
    return QString();
}

}  // namespace common
