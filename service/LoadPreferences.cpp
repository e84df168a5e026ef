#include "service/LoadPreferences.h"

#include "common/Password.h"
#include "common/PreferenceDefaults.h"
#include "common/RegOp.h"
#include "common/Secrets.h"
#include "common/Settings.h"
#include "common/UncName.h"
#include "platform/AdoErrors.h"
#include "platform/Error.h"
#include "platform/SysLog.h"
#include "service/EventLog.h"
#include "service/Globals.h"
#include "service/HttpGet.h"
#include "service/Preferences.h"
#include "service/TaskDb.h"

#include <QByteArray>
#include <QList>

#include <exception>
#include <utility>
#include <variant>

namespace tavrelsvc {

namespace {

const QString kNone = QStringLiteral(" ");
const QString kApplication = QStringLiteral("Sorvex Tavrel");
const QString kBaseUrlName = QStringLiteral("BaseUrl");
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

// A process-wide value of Preferences.h, filled from the stored value of the same name.
struct Target {
    QString name;
    std::variant<QString*, qint32*, qint16*> value;
};

const QList<Target>& targets() {
    static const QList<Target> table = {
        {QStringLiteral("TimeOut"), &TimeOut},
        {QStringLiteral("AccessType"), &AccessType},
        {QStringLiteral("Proxy"), &Proxy},
        {QStringLiteral("Protocol"), &Protocol},
        {QStringLiteral("PeakListRoot"), &PeakListRoot},
        {QStringLiteral("LcqPath"), &LcqPath},
        {QStringLiteral("ADOConnect"), &ADOConnect},
        {QStringLiteral("TimerTick"), &TimerTick},
        {QStringLiteral("NoDataDelay"), &NoDataDelay},
        {QStringLiteral("LockedOutDelay"), &LockedOutDelay},
        {QStringLiteral("MonitorActionDelay"), &MonitorActionDelay},
        {QStringLiteral("FollowerActionDelay"), &FollowerActionDelay},
        {QStringLiteral("TaskCheckInterval"), &TaskCheckInterval},
        {QStringLiteral("SorvexUserName"), &SorvexUserName},
        {QStringLiteral("SorvexPassword"), &SorvexPassword},
        {QStringLiteral("ProxyUserName"), &ProxyUserName},
        {QStringLiteral("ProxyPassword"), &ProxyPassword},
        {QStringLiteral("WebUserName"), &WebUserName},
        {QStringLiteral("WebPassword"), &WebPassword},
        {QStringLiteral("TaskOptionsAnalystMerge"), &TaskOptionsAnalystMerge},
    };
    return table;
}

const Target* findTarget(const QString& name) {
    for (const Target& t : targets())
        if (t.name == name) return &t;  // letter case counts: "timertick" is not TimerTick
    return nullptr;
}

// Folders the service opens: stored in UNC form, used in local form.
bool isPathSetting(const QString& name) {
    return name == QLatin1String("PeakListRoot") || name == QLatin1String("LcqPath");
}

// Intervals of timers: 0 or less would mean "never poll" (or a timer that
// spins), so such a value falls back to the default.
bool needsPositive(const QString& name) {
    return name == QLatin1String("TimerTick") || name == QLatin1String("TaskCheckInterval");
}

QString localPath(const QString& path) {
    return LocalComputerName.isEmpty() ? common::modUncName_GetLocalPathFromUnc(path)
                                       : common::modUncName_GetLocalPathFromUnc(path, LocalComputerName);
}

struct Defaults {
    QList<common::PreferenceDefault> table = common::preferenceDefaults(ProgramFolder, DefaultConnectionString);
    const common::PreferenceDefault* find(const QString& name) const {
        for (const auto& d : table)
            if (d.name == name) return &d;
        return nullptr;
    }
};

void setDefaults(const Defaults& defaults) {
    for (const common::PreferenceDefault& d : defaults.table) {
        const Target* t = findTarget(d.name);
        if (!t) continue;  // BaseUrl keeps what it holds; the client's own values are not the service's
        if (auto* s = std::get_if<QString*>(&t->value)) **s = d.value.toString();
        else if (auto* l = std::get_if<qint32*>(&t->value)) **l = d.value.value<qint32>();
        else *std::get<qint16*>(t->value) = d.value.value<qint16>();
    }
}

void takeBaseUrl(const QVariant& value) {
    const QString url = common::regValueToText(value);
    // An empty value is no address at all; the check after the last entry says so.
    if (url.isEmpty()) return;
    if (url.size() < 15 ||
        !(url.startsWith(QLatin1String("http://")) || url.startsWith(QLatin1String("https://"))))
        throw LoadFailure{QStringLiteral("Sorvex URL must start with http:// or https://")};
    BaseUrl = url;
}

// The stored text of a number for a message; a password's never.
QString shownValue(const QVariant& value) {
    try {
        return QLatin1Char('"') + common::regValueToText(value) + QLatin1Char('"');
    } catch (const platform::Error&) {
        return QStringLiteral("(not a single value)");
    }
}

void takeInteger(const Target& t, const QVariant& value, const Defaults& defaults) {
    qint16& target = *std::get<qint16*>(t.value);
    if (!needsPositive(t.name)) {
        target = common::settingToInteger(value);
        return;
    }
    qint16 n = 0;
    try {
        n = common::settingToInteger(value);
    } catch (const platform::Error&) {
        n = 0;
    }
    if (n > 0) {
        target = n;
        return;
    }
    const common::PreferenceDefault* d = defaults.find(t.name);
    Q_ASSERT(d);  // every interval has its default in the shared table
    if (d) target = d->value.value<qint16>();
    modGlobal_WriteEventLog(EventWarning, 0, kNone, kNone,
                            QStringLiteral("Setting %1 = %2 is not a positive number of seconds, using %3")
                                .arg(t.name, shownValue(value))
                                .arg(target));
}

void takeValue(const Target& t, const QVariant& value, const Defaults& defaults) {
    const common::PreferenceDefault* d = defaults.find(t.name);
    const bool password = d && d->kind == common::PreferenceKind::Password;
    try {
        if (auto* s = std::get_if<QString*>(&t.value)) {
            const QString text = common::regValueToText(value);
            if (password) **s = common::modGlobal_DecodePassword(text);
            else if (isPathSetting(t.name)) **s = localPath(text);
            else **s = text;
        } else if (auto* l = std::get_if<qint32*>(&t.value)) {
            **l = common::settingToLong(value);
        } else {
            takeInteger(t, value, defaults);
        }
    } catch (const platform::Error& e) {
        // Name the setting so the user knows what to mend; a password's text is never shown.
        const QString which = password ? t.name : t.name + QStringLiteral(" = ") + shownValue(value);
        throw LoadFailure{e.report(QStringLiteral("(TVS1042) ")) + QStringLiteral(" (setting ") + which +
                          QLatin1Char(')')};
    }
}

void load() {
    const common::RegValueTable section = common::modGlobal_GetAllSettings(kApplication, common::PreferencesSection);
    if (section.isEmpty()) throw LoadFailure{QStringLiteral("Unable to retrieve preferences from registry")};

    const Defaults defaults;
    setDefaults(defaults);

    for (const common::RegValueRow& row : section) {
        if (row.name == kBaseUrlName) {
            takeBaseUrl(row.value);
            continue;
        }
        if (const Target* t = findTarget(row.name)) takeValue(*t, row.value, defaults);
    }
    if (BaseUrl.isEmpty()) throw LoadFailure{QStringLiteral("No default Sorvex URL in registry")};

    modGlobal_SetWinInetOptions(Protocol);
    QByteArray reply;  // only that the server answers matters, not what it says
    if (!modGlobal_HttpGetDocument(InternetHandle, ProxyUserName, ProxyPassword, WebUserName, WebPassword, AccessType,
                                   Proxy, Protocol, BaseUrl + QStringLiteral("client.pl?version"), false, reply))
        throw LoadFailure{QStringLiteral("Failed to connect to the default Sorvex server")};

    try {
        TaskDbConnection.open(ADOConnect);
    } catch (const platform::Error& e) {
        throw LoadFailure{QStringLiteral("Problem connecting to task database. Error number ") +
                          platform::adoerr::hexNumber(e.number()) + QLatin1Char(' ') + e.description()};
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
