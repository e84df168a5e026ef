#include "common/AtomicSave.h"

#include <QSaveFile>

namespace common {

namespace {

// Never an empty text: that would read as success.
QString failed(SaveStage stage, const QString& reason, const QString& fallback, SaveStage* failedAt) {
    if (failedAt) *failedAt = stage;
    return reason.isEmpty() ? fallback : reason;
}

}  // namespace

QString saveFileAtomically(const QString& path, const QByteArray& bytes, SaveStage* failedAt) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(SaveStage::Create, file.errorString(), QStringLiteral("The file could not be created"), failedAt);
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failed(SaveStage::Write, reason, QStringLiteral("Not every byte could be written"), failedAt);
    }
    if (!file.commit())
        return failed(SaveStage::Write, file.errorString(), QStringLiteral("The file could not be replaced"), failedAt);
    return QString();
}

}  // namespace common
