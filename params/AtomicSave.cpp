#include "params/AtomicSave.h"

#include <QSaveFile>

namespace tavrel {

std::optional<AtomicSaveError> saveFileAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return AtomicSaveError{false, file.errorString()};
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return AtomicSaveError{true, reason};
    }
    return std::nullopt;
}

}  // namespace tavrel
