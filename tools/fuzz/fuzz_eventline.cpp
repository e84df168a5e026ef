// Event-log lines: any line splits without failing badly, and any seven
// fields written as a line split back into the same seven.
#include "FuzzCheck.h"
#include "service/EventLog.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString input = fuzzcheck::text(data, size);
    tavrelsvc::splitEventLine(input);

    QStringList parts = input.split(QChar(0x1f));
    while (parts.size() < 5) parts << QString();
    const short type = size > 0 ? short(data[0] % 3) : 0;
    const long task = long(size);
    const QString line = tavrelsvc::formatEventLine(type, parts[0], parts[1], task, parts[2], parts[3],
                                                    parts.mid(4).join(QChar(0x1f)));
    const QStringList fields = tavrelsvc::splitEventLine(line);
    fuzzcheck::require(fields.size() == 7, "a written line has seven fields");
    fuzzcheck::require(fields[1] == parts[0] && fields[2] == parts[1] && fields[4] == parts[2] &&
                           fields[5] == parts[3] && fields[6] == parts.mid(4).join(QChar(0x1f)),
                       "the fields of a written line read back the same");
    fuzzcheck::require(fields[3] == (task == 0 ? QStringLiteral(" ") : QString::number(task)), "the task number");
    return 0;
}
