// demo-setup URL: in the program folder ($TAVREL_HOME) makes the task
// database when it is missing, stores the settings the service needs to
// start against the server at URL, and prepares the demo: a parameter set,
// sample peak lists in "samples", and a "monitor" task on "inbox" asked to
// run (once; a later set-up keeps the task). The first sample goes into the
// inbox when the task is new. Used by run.sh.
#include "DemoTask.h"

#include "common/AtomicSave.h"
#include "common/PeakListFolders.h"
#include "common/Preferences.h"
#include "common/Settings.h"
#include "common/TaskDbConnection.h"
#include "common/TaskDbSchema.h"
#include "params/DefaultParameterSet.h"
#include "params/ParameterFile.h"
#include "platform/AdoConnection.h"
#include "platform/Cp1252.h"
#include "platform/Error.h"
#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {

bool saveFile(const QString& path, const QByteArray& bytes) {
    const QString failure = common::saveFileAtomically(path, bytes);
    if (failure.isEmpty()) return true;
    std::fprintf(stderr, "Cannot write %s: %s\n", qPrintable(path), qPrintable(failure));
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: demo-setup SERVER_URL   (program folder: $TAVREL_HOME)\n");
        return 2;
    }
    const QString folder = platform::resolveProgramFolder();
    const QString database = QDir(folder).filePath(common::TaskDatabaseFileName);
    const QString connection = common::defaultConnectionString(folder);
    platform::AdoConnection db;
    try {
        const bool created = !QFileInfo::exists(database);
        if (created) platform::AdoConnection::createDatabase(connection);
        db.open(connection);
        if (created && !tavrel::modGlobal_CreateTaskDatabase(db)) return 1;
    } catch (const platform::Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.report(QStringLiteral("Task database: "))));
        return 1;
    }
    const QString peakListRoot = common::defaultPeakListRoot(folder);
    QDir().mkpath(peakListRoot);
    // Short waits so that a dropped file is searched within seconds: job
    // ticks, the poll for requests, the folder walk and the size check.
    const QList<QPair<QString, QString>> settings = {
        {QStringLiteral("BaseUrl"), QString::fromLocal8Bit(argv[1])},
        {QStringLiteral("AccessType"), QStringLiteral("1")},
        {QStringLiteral("ADOConnect"), connection},
        {QStringLiteral("PeakListRoot"), peakListRoot},
        {QStringLiteral("TimerTick"), QStringLiteral("1")},
        {QStringLiteral("TaskCheckInterval"), QStringLiteral("2")},
        {QStringLiteral("MonitorActionDelay"), QStringLiteral("2")},
        {QStringLiteral("LockedOutDelay"), QStringLiteral("1")},
    };
    for (const auto& [name, value] : settings)
        if (!common::modGlobal_SaveSetting(QStringLiteral("Sorvex Tavrel"), common::PreferencesSection, name, value)) {
            std::fprintf(stderr, "Cannot store the setting %s\n", qPrintable(name));
            return 1;
        }

    // The client opens "default.par" at every start: the built-in set, with
    // the demo server's database so that it loads without a warning.
    if (!QFileInfo::exists(tavrel::defaultParameterSetPath(folder))) {
        QList<tavrel::ParameterLine> lines = tavrel::defaultParameterLines();
        for (tavrel::ParameterLine& line : lines)
            if (line.key == QLatin1String("DB")) line.value = QStringLiteral("SwissProt");
        if (const auto error = tavrel::writeParameterFileLines(tavrel::defaultParameterSetPath(folder), lines)) {
            std::fprintf(stderr, "%s\n", qPrintable(error->message));
            return 1;
        }
    }

    const QString parameterFile = folder + QStringLiteral("/demo.par");
    if (!QFileInfo::exists(parameterFile) &&
        !saveFile(parameterFile, platform::toCp1252(QStringLiteral("DB=SwissProt\r\nSEARCH=MIS\r\nCOM=Tavrel demo: "
                                                                   "<taskname>\r\nTOL=1.5\r\nITOL=0.5\r\n"))))
        return 1;
    const QString inbox = folder + QStringLiteral("/inbox"), samples = folder + QStringLiteral("/samples");
    if (!QDir().mkpath(inbox) || !QDir().mkpath(samples)) {
        std::fprintf(stderr, "Cannot make %s and %s\n", qPrintable(inbox), qPrintable(samples));
        return 1;
    }
    const auto lists = demo::samplePeakLists();
    for (const auto& [name, text] : lists)
        if (!saveFile(samples + QLatin1Char('/') + name, text)) return 1;

    const demo::InboxTask task = demo::addInboxTask(db, inbox, parameterFile, peakListRoot);
    if (task.key == 0) return 1;
    if (!task.existed && !saveFile(inbox + QLatin1Char('/') + lists.first().first, lists.first().second)) return 1;
    std::printf("Program folder %s prepared for %s\n", qPrintable(folder), argv[1]);
    std::printf("%s task %ld \"%s\" watches %s\n", task.existed ? "The" : "New", task.key, qPrintable(task.label),
                qPrintable(inbox));
    return 0;
}
