#pragma once
// Windows-1252, the 8-bit code page of ".par" files, "server.dat", the event log
// and other text the programs share with their users' tools. Qt 6 has no codec
// for it. Characters outside the code page become "?".
#include <QByteArray>
#include <QString>

namespace platform {

QString fromCp1252(QByteArrayView bytes);
QByteArray toCp1252(QStringView text);

}  // namespace platform
