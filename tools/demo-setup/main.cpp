// demo-setup URL: in the program folder ($TAVREL_HOME) makes the task
// database when it is missing and stores the settings the service needs to
// start against the server at URL. Used by run.sh.
#include "common/PreferenceDefaults.h"
#include "common/Settings.h"
#include "common/TaskDbSchema.h"
#include "platform/AdoConnection.h"
#include "platform/Error.h"
#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: demo-setup SERVER_URL   (program folder: $TAVREL_HOME)\n");
        return 2;
    }
    const QString folder = platform::resolveProgramFolder();
    const QString database = folder + QStringLiteral("/TaskDB.mdb");
    const QString connection = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + database;
    try {
        if (!QFileInfo::exists(database)) {
            platform::AdoConnection::createDatabase(connection);
            platform::AdoConnection db;
            db.open(connection);
            if (!tavrel::modGlobal_CreateTaskDatabase(db)) return 1;
        }
    } catch (const platform::Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.report(QStringLiteral("Task database: "))));
        return 1;
    }
    QDir().mkpath(folder + QStringLiteral("/qpl"));
    const QList<QPair<QString, QString>> settings = {
        {QStringLiteral("BaseUrl"), QString::fromLocal8Bit(argv[1])},
        {QStringLiteral("AccessType"), QStringLiteral("1")},
        {QStringLiteral("ADOConnect"), connection},
        {QStringLiteral("PeakListRoot"), folder + QStringLiteral("/qpl")},
    };
    for (const auto& [name, value] : settings)
        if (!common::modGlobal_SaveSetting(QStringLiteral("Sorvex Tavrel"), common::PreferencesSection, name, value)) {
            std::fprintf(stderr, "Cannot store the setting %s\n", qPrintable(name));
            return 1;
        }
    std::printf("Program folder %s prepared for %s\n", qPrintable(folder), argv[1]);
    return 0;
}
