#pragma once
// Every file the client writes is written whole or not at all: the bytes go to
// a temporary file beside the target, which is then renamed over it. A crash,
// a full disk or a refused write leaves the old file as it was.
#include <QByteArray>
#include <QString>

namespace common {

// Where a failed save stopped, for callers whose messages tell the two apart.
enum class SaveStage {
    Create,  // the file could not be created at all
    Write,   // created, but writing it or the final rename failed
};

// Empty when the file now holds the bytes, else the reason it does not (the
// old file, if any, is unchanged and no temporary file is left behind); a
// failure also sets *failedAt when it is given.
QString saveFileAtomically(const QString& path, const QByteArray& bytes, SaveStage* failedAt = nullptr);

}  // namespace common
