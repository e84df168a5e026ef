// demo-setup URL: in the program folder ($TAVREL_HOME) makes the task
// database when it is missing, stores the settings the service needs to
// start against the server at URL, and prepares the demo: a parameter set,
// sample peak lists in "samples", and a "monitor" task on "inbox" asked to
// run (once; a later set-up keeps the task). The first sample goes into the
// inbox when the task is new. Used by run.sh at every start.
//
// The settings are the user's once the folder has any: only a new folder
// gets the demo's, and a later run changes nothing but an address that still
// names an earlier run's simulated server (its port is new at each run).
#include "DemoTask.h"

#include "common/AtomicSave.h"
#include "common/PeakListFolders.h"
#include "common/Preferences.h"
#include "common/Settings.h"
#include "common/TaskDbConnection.h"
#include "clientcommon/TaskDbSchema.h"
#include "params/DefaultParameterSet.h"
#include "common/ParameterFile.h"
#include "platform/AdoConnection.h"
#include "platform/Cp1252.h"
#include "platform/Error.h"
#include "platform/ProgramFolder.h"
#include "platform/RegistryApi.h"
#include "platform/SharedFolder.h"
#include "platform/ShellAssoc.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <cstdio>

namespace {

bool saveFile(const QString& path, const QByteArray& bytes) {
    const QString failure = common::saveFileAtomically(path, bytes);
    if (failure.isEmpty()) return true;
    std::fprintf(stderr, "Cannot write %s: %s\n", qPrintable(path), qPrintable(failure));
    return false;
}

QString storedValue(const common::RegValueTable& section, const QString& name) {
    for (const common::RegValueRow& row : section)
        if (row.name.compare(name, Qt::CaseInsensitive) == 0) return row.value.toString();
    return {};
}

// The address of a simulated server that differs from URL only in its port.
bool namesEarlierSimulatedServer(const QString& stored, const QString& url) {
    QUrl earlier(stored, QUrl::StrictMode);
    const QUrl now(url, QUrl::StrictMode);
    if (!earlier.isValid() || !now.isValid() || earlier.port() < 0) return false;
    earlier.setPort(now.port());
    return earlier == now;
}

bool saveSetting(const QString& name, const QString& value) {
    if (common::modGlobal_SaveSetting(common::SettingsApplication, common::PreferencesSection, name, value))
        return true;
    std::fprintf(stderr, "Cannot store the setting %s\n", qPrintable(name));
    return false;
}

// A stand-in program that the build put beside demo-setup ("standins/..."),
// or nothing when it was not built.
QString standinProgram(const QString& name) {
    const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/standins/") + name;
    return QFileInfo(path).isFile() ? path : QString();
}

// ".rov" files open with the stand-in Quellmark program, as an installation of
// the real one sets it up; a value already there is the user's.
bool associateQuellmark(const QString& program) {
    platform::RegKeyHandle key;
    if (platform::RegCreateKeyEx(platform::HKEY_LOCAL_MACHINE, platform::kFileAssociationsKey, 0,
                                 platform::KEY_ALL_ACCESS, key.out()) == platform::ERROR_SUCCESS) {
        quint32 type = 0;
        QByteArray value;
        if (platform::RegQueryValueEx(key.get(), QStringLiteral(".rov"), &type, &value, nullptr) ==
            platform::ERROR_SUCCESS)
            return true;
        if (platform::RegSetValueEx(key.get(), QStringLiteral(".rov"), platform::REG_SZ,
                                    program.toUtf8().append('\0')) == platform::ERROR_SUCCESS)
            return true;
    }
    std::fprintf(stderr, "Cannot associate \".rov\" files with %s\n", qPrintable(program));
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    platform::anchorProgramFolder();
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: demo-setup SERVER_URL   (program folder: $TAVREL_HOME)\n");
        return 2;
    }
    const QString folder = platform::resolveProgramFolder();
    const QString url = QString::fromLocal8Bit(argv[1]);
    const QString database = QDir(folder).filePath(common::TaskDatabaseFileName);
    const common::RegValueTable stored =
        common::modGlobal_GetAllSettings(common::SettingsApplication, common::PreferencesSection);
    const bool newFolder = stored.isEmpty();
    // The demo's task goes where the programs will look for it.
    const QString defaultConnection = common::defaultConnectionString(folder);
    const QString storedConnection = storedValue(stored, QStringLiteral("ADOConnect"));
    const QString connection = storedConnection.isEmpty() ? defaultConnection : storedConnection;
    platform::AdoConnection db;
    try {
        const bool created = connection == defaultConnection && !QFileInfo::exists(database);
        if (created) platform::AdoConnection::createDatabase(connection);
        db.open(connection);
        if (created && !tavrel::modGlobal_CreateTaskDatabase(db)) return 1;
    } catch (const platform::Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.report(QStringLiteral("Task database: "))));
        return 1;
    }
    const QString storedRoot = storedValue(stored, QStringLiteral("PeakListRoot"));
    const QString peakListRoot = storedRoot.isEmpty() ? common::defaultPeakListRoot(folder) : storedRoot;
    // The lab's users and the service write below these: the group's.
    platform::makeSharedPath(peakListRoot);
    // Short waits so that a dropped file is searched within seconds: job
    // ticks, the poll for requests, the folder walk and the size check.
    const QList<QPair<QString, QString>> settings = {
        {QStringLiteral("BaseUrl"), url},
        {QStringLiteral("AccessType"), QStringLiteral("1")},
        {QStringLiteral("ADOConnect"), connection},
        {QStringLiteral("PeakListRoot"), peakListRoot},
        {QStringLiteral("TimerTick"), QStringLiteral("1")},
        {QStringLiteral("TaskCheckInterval"), QStringLiteral("2")},
        {QStringLiteral("MonitorActionDelay"), QStringLiteral("2")},
        {QStringLiteral("LockedOutDelay"), QStringLiteral("1")},
    };
    if (newFolder) {
        for (const auto& [name, value] : settings)
            if (!saveSetting(name, value)) return 1;
        // The stand-in extractor under a name that Preferences accepts, so
        // that the demo offers the RAW import filter too.
        const QString extractor = standinProgram(QStringLiteral("extract_msn"));
        if (!extractor.isEmpty() && !saveSetting(QStringLiteral("LcqPath"), extractor)) return 1;
        const QString quellmark = standinProgram(QStringLiteral("quellmark/SorvexQuellmark.exe"));
        if (!quellmark.isEmpty() && !associateQuellmark(quellmark)) return 1;
    } else {
        const QString storedUrl = storedValue(stored, QStringLiteral("BaseUrl"));
        if (storedUrl != url && (storedUrl.isEmpty() || namesEarlierSimulatedServer(storedUrl, url))) {
            if (!saveSetting(QStringLiteral("BaseUrl"), url)) return 1;
        } else if (storedUrl != url) {
            std::printf("The settings name the server %s: kept\n", qPrintable(storedUrl));
        }
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
    if (!platform::makeSharedPath(inbox).isEmpty() || !platform::makeSharedPath(samples).isEmpty()) {
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
