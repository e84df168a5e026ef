// service-unit PROGRAM FOLDER USER GROUP: prints the systemd unit that
// "-install" would write for those values; the package ships its output.
#include "servicehost/ServiceUnit.h"

#include <QString>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "Usage: service-unit PROGRAM PROGRAM_FOLDER USER GROUP\n");
        return 2;
    }
    const auto arg = [&](int i) { return QString::fromLocal8Bit(argv[i]); };
    QString problem;
    const QString unit = tavrelsvc::serviceUnitText({arg(1), arg(2), arg(3), arg(4)}, &problem);
    if (unit.isEmpty()) {
        std::fprintf(stderr, "service-unit: %s\n", qPrintable(problem));
        return 1;
    }
    std::fputs(unit.toUtf8().constData(), stdout);
    return 0;
}
