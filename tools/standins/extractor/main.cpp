// A stand-in of the Thermo extractor: keeps its command line (flags, then the
// RAW file's name, read from the current folder) and writes one Sequest .dta
// file per spectrum of a RAW fixture into the current folder:
//   # Tavrel stand-in RAW file
//   spectrum <scan> <MH+> <charge>
//   <m/z> <intensity>        (the spectrum's peaks)
//   exit <code>              (optional: the extractor's exit code)
// Its command line and folder are recorded (StandinLog.h) as "extractor".
#include "tools/standins/FixtureLines.h"
#include "tools/standins/StandinLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    standins::record(QStringLiteral("extractor"), QStringList{QDir::currentPath()} + args);
    if (args.isEmpty()) {
        std::fprintf(stderr, "no RAW file named\n");
        return 2;
    }
    const QString raw = args.last();
    const auto lines = standins::readFixture(raw, standins::kRawHeader);
    if (!lines) {
        std::fprintf(stderr, "%s: not a RAW file\n", qPrintable(raw));
        return 1;
    }
    const QString base = QFileInfo(raw).completeBaseName();
    int exitCode = 0;
    QFile dta;
    for (const QString& line : *lines) {
        const QString key = standins::keywordOf(line);
        if (key == u"exit") {
            exitCode = standins::restOf(line).toInt();
        } else if (key == u"spectrum") {
            const QStringList v = standins::restOf(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            dta.close();
            dta.setFileName(QStringLiteral("%1.%2.%2.%3.dta").arg(base, v.value(0), v.value(2)));
            if (!dta.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 3;
            dta.write((v.value(1) + QLatin1Char(' ') + v.value(2)).toLatin1() + "\r\n");
        } else if (dta.isOpen() && !line.trimmed().isEmpty()) {
            dta.write(line.trimmed().toLatin1() + "\r\n");
        }
    }
    return exitCode;
}
