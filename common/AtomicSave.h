#pragma once
// Every file the client writes is written whole or not at all: the bytes go to
// a temporary file beside the target, which is then renamed over it. A crash,
// a full disk or a refused write leaves the old file as it was.
#include <QByteArray>
#include <QString>

namespace common {

// Empty when the file now holds the bytes, else the reason it does not (the
// old file, if any, is unchanged and no temporary file is left behind).
QString saveFileAtomically(const QString& path, const QByteArray& bytes);

}  // namespace common
