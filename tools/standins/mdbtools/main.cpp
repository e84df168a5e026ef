// Stand-ins of the Jet database programs "mdb-tables" and "mdb-export" over a
// text sample list, for tests that cannot make a real one:
//   # Tavrel stand-in sample list
//   table ANALYSIS
//   "file_name","SampleID"        (the table as the export writes it)
//   "liver_01","S1"
// Which program it is comes from the name it was started under.
#include "tools/standins/StandinLog.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

namespace {

int notADatabase() {
    std::fprintf(stderr, "File not found\nCouldn't open database.\n");
    return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    const QString program = QFileInfo(args.takeFirst()).fileName();
    standins::record(program, args);
    const bool tables = program == u"mdb-tables";
    // The file and table are the last arguments; the options before them only
    // shape the output of the real programs.
    if (args.size() < (tables ? 1 : 2)) return 1;
    const QString file = tables ? args.last() : args[args.size() - 2];
    const auto lines = standins::readFixture(file, standins::kSampleListHeader);
    if (!lines) return notADatabase();
    QString current;
    bool found = false;
    for (const QString& line : *lines) {
        if (line.startsWith(QStringLiteral("table "))) {
            current = line.mid(6).trimmed();
            if (tables) std::printf("%s\n", qPrintable(current));
            found = found || current == args.last();
        } else if (!tables && current == args.last() && !line.isEmpty()) {
            std::printf("%s\n", line.toUtf8().constData());
        }
    }
    if (!tables && !found) {
        std::fprintf(stderr, "Error: Table %s does not exist in this database.\n", qPrintable(args.last()));
        return 1;
    }
    return 0;
}
