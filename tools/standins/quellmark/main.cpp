// A stand-in of the Quellmark program, built as "SorvexQuellmark.exe":
//   SorvexQuellmark.exe /version
//       prints its version (TAVREL_STANDIN_QUELLMARK_PROGRAM_VERSION);
//   SorvexQuellmark.exe <project> -batch [-quantitate <hits>] -task_id <id>
//                       -e <error file> -loglevel <n> [-username <user>]
//       imports the search into the project file (a stand-in project): the
//       import is added to the project's list of imports. The password comes
//       in the environment variable SORVEX_QUELLMARK_PASSWORD, never on the
//       command line.
// A "program-exit <code> [<text>]" line of the project's data file makes it
// end with that code, writing the text as UTF-16 to the error file, and
// "program-delay <ms>" makes it take its time first. Its
// arguments are recorded (StandinLog.h) as "SorvexQuellmark.exe", and a
// password as "SorvexQuellmark.password" with its SHA-256 digest.
#include "tools/standins/QuellmarkFiles.h"
#include "tools/standins/StandinLog.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QThread>

#include <cstdio>

namespace {

// UTF-16 with its byte-order mark, as the program writes its error file.
void writeErrorFile(const QString& path, const QString& message) {
    if (path.isEmpty()) return;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
    QByteArray bytes("\xff\xfe", 2);
    const QString text = message + QStringLiteral("\r\n");
    for (QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xff));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    file.write(bytes);
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    standins::record(QStringLiteral("SorvexQuellmark.exe"), args);
    if (args.value(0) == u"/version") {
        const QString version =
            qEnvironmentVariable(standins::kQuellmarkProgramVersionVariable, QStringLiteral("2.4.1 (stand-in)"));
        std::fputs(qPrintable(version + QLatin1Char('\n')), stdout);
        return 0;
    }
    const QByteArray password = qgetenv("SORVEX_QUELLMARK_PASSWORD");
    if (!password.isEmpty())
        standins::record(QStringLiteral("SorvexQuellmark.password"),
                         {QString::fromLatin1(QCryptographicHash::hash(password, QCryptographicHash::Sha256).toHex())});

    const QString project = args.value(0);
    QVariantMap import;
    QString errorFile;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == u"-quantitate") import.insert(QStringLiteral("quantitate"), args.value(++i));
        else if (a == u"-task_id") import.insert(QStringLiteral("task_id"), args.value(++i));
        else if (a == u"-username") import.insert(QStringLiteral("username"), args.value(++i));
        else if (a == u"-e") errorFile = args.value(++i);
        else if (a == u"-loglevel") ++i;
    }
    auto file = standins::readQuellmarkProject(project);
    if (!file) {
        writeErrorFile(errorFile, QStringLiteral("Cannot open the project ") + project);
        return 2;
    }
    try {
        const standins::QuellmarkData data = standins::readQuellmarkData(file->sources);
        if (data.programDelayMs > 0) QThread::msleep(static_cast<unsigned long>(data.programDelayMs));
        if (data.programExit && *data.programExit != 0) {
            if (data.programMessage) writeErrorFile(errorFile, *data.programMessage);
            return *data.programExit;
        }
    } catch (const platform::Error&) {
        // A project whose data file is gone still takes the import.
    }
    file->imports.append(import);
    if (!standins::writeQuellmarkProject(project, *file)) {
        writeErrorFile(errorFile, QStringLiteral("Cannot save the project ") + project);
        return 3;
    }
    return 0;
}
