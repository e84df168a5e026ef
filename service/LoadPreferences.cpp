#include "service/LoadPreferences.h"

#include "common/Password.h"
#include "common/Preferences.h"
#include "common/Secrets.h"
#include "common/Settings.h"
#include "common/UncName.h"
#include "platform/AdoErrors.h"
#include "common/TaskDbConnection.h"
#include "platform/Error.h"
#include "platform/RegistryHive.h"
#include "platform/SysLog.h"
#include "service/EventLog.h"
#include "service/Globals.h"
#include "service/HttpGet.h"
#include "service/Preferences.h"
#include "service/TaskDb.h"

#include <QByteArray>
#include <QFileInfo>

#include <exception>
#include <utility>

namespace tavrelsvc {

namespace {

const QString kNone = QStringLiteral(" ");
const QString kApplication = QStringLiteral("Sorvex Tavrel");
constexpr long kSettingsEventId = 109;
constexpr int kSystemEventError = 1;

SystemEventWriter& systemEventWriter() {
    static SystemEventWriter writer = platform::writeSystemEvent;
    return writer;
}

// Thrown inside the loader to stop it; the message is what both logs receive.
struct LoadFailure {
    QString message;
};

// Where the settings are read from, for the messages that say what is missing.
QString sectionInFile() {
    return QStringLiteral("HKEY_LOCAL_MACHINE\\") + common::SettingsKey + common::PreferencesSection +
           QStringLiteral(" in ") + platform::RegistryHive::defaultPath();
}

// Why the section gave no values: the file is missing, unreadable, damaged, or holds none.
QString whySectionIsEmpty() {
    const platform::RegistryHive hive(platform::RegistryHive::defaultPath());
    if (!QFileInfo::exists(platform::RegistryHive::defaultPath())) return QStringLiteral("the file does not exist");
    platform::HiveKey top;
    if (hive.read(top) != platform::ERROR_SUCCESS) return hive.lastProblem();
    return QStringLiteral("the section holds no values");
}

// Folders the service opens: stored in UNC form, used in local form.
QString localPath(const QString& path) {
    return LocalComputerName.isEmpty() ? common::modUncName_GetLocalPathFromUnc(path)
                                       : common::modUncName_GetLocalPathFromUnc(path, LocalComputerName);
}

// Timer intervals that cannot be used fall back to their defaults with a
// warning: a service that does not start over a timer value helps nobody.
bool isInterval(const QString& name) {
    return name == QLatin1String("TimerTick") || name == QLatin1String("TaskCheckInterval");
}

void load() {
    const common::RegValueTable section = common::modGlobal_GetAllSettings(kApplication, common::PreferencesSection);
    if (section.isEmpty())
        throw LoadFailure{QStringLiteral("Unable to retrieve preferences from registry (") + sectionInFile() +
                          QStringLiteral(": ") + whySectionIsEmpty() + QLatin1Char(')')};

    const QString url = BaseUrl;  // not reset: an empty stored value is no address
    common::ProgramPreferences = common::Preferences::defaults(ProgramFolder, DefaultConnectionString);
    BaseUrl = url;
    const common::PreferencesReading reading = common::readPreferences(section, common::ProgramPreferences);
    PeakListRoot = localPath(PeakListRoot);
    LcqPath = localPath(LcqPath);
    // Written only by the client's WIFF probe: nothing stored keeps what the service holds.
    if (const auto merge = common::ProgramPreferences.TaskOptionsAnalystMerge) TaskOptionsAnalystMerge = *merge;

    for (const common::PreferenceProblem& problem : reading.problems) {
        if (problem.badUrl())
            throw LoadFailure{problem.error.description() + QStringLiteral(" (value BaseUrl of ") + sectionInFile() +
                              QLatin1Char(')')};
        if (isInterval(problem.name)) {
            // The value was left at its default.
            const qint16 fallback = problem.name == QLatin1String("TimerTick") ? TimerTick : TaskCheckInterval;
            modGlobal_WriteEventLog(EventWarning, 0, kNone, kNone,
                                    QStringLiteral("Setting %1 is not a positive number of seconds, using %2")
                                        .arg(problem.which())
                                        .arg(fallback));
            continue;
        }
        // Name the setting so the user knows what to mend; a password's text is never shown.
        throw LoadFailure{problem.error.report(QStringLiteral("(TVS1042) ")) + QStringLiteral(" (setting ") +
                          problem.which() + QLatin1Char(')')};
    }
    if (BaseUrl.isEmpty())
        throw LoadFailure{QStringLiteral("No default Sorvex URL in registry (the value BaseUrl is missing from ") +
                          sectionInFile() + QLatin1Char(')')};

    modGlobal_SetWinInetOptions(Protocol);
    QByteArray reply;  // only that the server answers matters, not what it says
    if (!modGlobal_HttpGetDocument(InternetHandle, ProxyUserName, ProxyPassword, WebUserName, WebPassword, AccessType,
                                   Proxy, Protocol, BaseUrl + QStringLiteral("client.pl?version"), false, reply))
        throw LoadFailure{QStringLiteral("Failed to connect to the default Sorvex server at ") + BaseUrl +
                          QStringLiteral(": ") + lastHttpGetFailure()};

    try {
        TaskDbConnection.open(ADOConnect);
    } catch (const platform::Error& e) {
        throw LoadFailure{QStringLiteral("Problem connecting to task database. Error number ") +
                          platform::adoerr::hexNumber(e.number()) + QLatin1Char(' ') + e.description() +
                          QStringLiteral(" (") + common::describeTaskDatabase(ADOConnect) + QLatin1Char(')')};
    }
}

void reportFailure(const QString& message) {
    const QString masked = common::maskSecrets(message);
    try {
        if (const SystemEventWriter& writer = systemEventWriter()) writer(kSystemEventError, kSettingsEventId, masked);
    } catch (...) {
        // The event log file below still gets the message.
    }
    modGlobal_WriteEventLog(EventError, 0, kNone, kNone, masked);
}

}  // namespace

bool modGlobal_LoadPreferences() {
    try {
        load();
        return true;
    } catch (const LoadFailure& f) {
        reportFailure(f.message);
    } catch (const platform::Error& e) {
        reportFailure(e.report(QStringLiteral("(TVS1042) ")));
    } catch (const std::exception& e) {
        reportFailure(QStringLiteral("(TVS1042) 51: ") + QString::fromLocal8Bit(e.what()));
    } catch (...) {
        reportFailure(QStringLiteral("(TVS1042) 51: Internal error"));
    }
    return false;
}

QString modGlobal_DecodePassword(const QString& stored) {
    try {
        return common::modGlobal_DecodePassword(stored);
    } catch (const platform::Error& e) {
        modGlobal_WriteEventLog(EventError, 0, kNone, kNone, e.report(QStringLiteral("(TVS1054) ")));
    } catch (const std::exception& e) {
        modGlobal_WriteEventLog(EventError, 0, kNone, kNone, QStringLiteral("(TVS1054) 51: ") + QString::fromLocal8Bit(e.what()));
    }
    return QString();
}

SystemEventWriter setSystemEventWriter(SystemEventWriter writer) {
    return std::exchange(systemEventWriter(), std::move(writer));
}

}  // namespace tavrelsvc
