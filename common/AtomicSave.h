#pragma once
// Every file the client writes is written whole or not at all: the bytes go to
// a temporary file beside the target, which is then renamed over it. A crash,
// a full disk or a refused write leaves the old file as it was. The program
// folder is shared by a group of accounts, so the save never writes through a
// link and leaves the file to the folder's group (platform/SharedFile.h).
#include "platform/SharedFile.h"

#include <QByteArray>
#include <QString>

namespace common {

using platform::SaveStage;

// Empty when the file now holds the bytes, else the reason it does not (the
// old file, if any, is unchanged and no temporary file is left behind); a
// failure also sets *failedAt when it is given.
QString saveFileAtomically(const QString& path, const QByteArray& bytes, SaveStage* failedAt = nullptr);

}  // namespace common
