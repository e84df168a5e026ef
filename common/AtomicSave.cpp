#include "common/AtomicSave.h"

namespace common {

QString saveFileAtomically(const QString& path, const QByteArray& bytes, SaveStage* failedAt) {
    return platform::saveFileReplacing(path, bytes, failedAt);
}

}  // namespace common
