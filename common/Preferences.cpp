#include "common/Preferences.h"

#include "common/Password.h"
#include "common/PeakListFolders.h"
#include "common/Settings.h"

#include <limits>
#include <variant>

namespace common {

namespace {


enum class Kind { Text, Long, Integer, Password, AnalystOptions, OptionalInteger };

struct Field {
    const char* name;
    PreferencesPage page;
    Kind kind;
    std::variant<QString Preferences::*, qint32 Preferences::*, qint16 Preferences::*,
                 std::optional<qint16> Preferences::*>
        member;
    bool edited = true;  // written by the preferences dialog
    // The range the programs can work with, beyond what the type holds.
    qint32 minimum = std::numeric_limits<qint32>::min();
    qint32 maximum = std::numeric_limits<qint32>::max();
};

// In the order the preferences dialog writes them.
const QList<Field>& fields() {
    using P = Preferences;
    static const QList<Field> table = {
        {"BaseUrl", PageIntranet, Kind::Text, &P::BaseUrl},
        {"TimeOut", PageIntranet, Kind::Long, &P::TimeOut},
        // The HTTP engine knows three access types; any other refuses every request.
        {"AccessType", PageIntranet, Kind::Integer, &P::AccessType, true, 0, 2},
        {"Proxy", PageIntranet, Kind::Text, &P::Proxy},
        {"Protocol", PageIntranet, Kind::Long, &P::Protocol},
        {"LcqPath", PageDataImportFilters, Kind::Text, &P::LcqPath},
        {"PeakListRoot", PageDataImportFilters, Kind::Text, &P::PeakListRoot},
        {"ADOConnect", PageAdoConnection, Kind::Text, &P::ADOConnect},
        // Timer intervals: 0 or less would be a timer that never ticks or never rests.
        {"TimerTick", PageTimerSettings, Kind::Integer, &P::TimerTick, true, 1},
        {"NoDataDelay", PageTimerSettings, Kind::Integer, &P::NoDataDelay},
        {"LockedOutDelay", PageTimerSettings, Kind::Integer, &P::LockedOutDelay},
        {"MonitorActionDelay", PageTimerSettings, Kind::Integer, &P::MonitorActionDelay},
        {"FollowerActionDelay", PageTimerSettings, Kind::Integer, &P::FollowerActionDelay},
        {"TaskCheckInterval", PageTimerSettings, Kind::Integer, &P::TaskCheckInterval, true, 1},
        {"SorvexUserName", PageAuthentication, Kind::Text, &P::SorvexUserName},
        {"SorvexPassword", PageAuthentication, Kind::Password, &P::SorvexPassword},
        {"ProxyUserName", PageAuthentication, Kind::Text, &P::ProxyUserName},
        {"ProxyPassword", PageAuthentication, Kind::Password, &P::ProxyPassword},
        {"WebUserName", PageAuthentication, Kind::Text, &P::WebUserName},
        {"WebPassword", PageAuthentication, Kind::Password, &P::WebPassword},
        {"TaskOptionsLcq", PageDataImportFilters, Kind::Text, &P::TaskOptionsLcq, false},
        {"TaskOptionsMassLynx", PageDataImportFilters, Kind::Text, &P::TaskOptionsMassLynx, false},
        {"TaskOptionsAnalyst", PageDataImportFilters, Kind::AnalystOptions, &P::TaskOptionsAnalyst, false},
        {"TaskOptionsVoyager", PageDataImportFilters, Kind::Text, &P::TaskOptionsVoyager, false},
        {"TaskOptionsQuellmark", PageDataImportFilters, Kind::Text, &P::TaskOptionsQuellmark, false},
        {"TaskOptionsTS2Sorvex", PageDataImportFilters, Kind::Text, &P::TaskOptionsTS2Sorvex, false},
        {"TaskOptionsAnalystMerge", PageDataImportFilters, Kind::OptionalInteger, &P::TaskOptionsAnalystMerge, false},
    };
    return table;
}

const Field* findField(const QString& name) {
    for (const Field& f : fields())
        if (name == QLatin1String(f.name)) return &f;
    return nullptr;
}

QString storedText(const QVariant& value) {
    try {
        return regValueToText(value);
    } catch (const platform::Error&) {
        return QStringLiteral("(not a single value)");
    }
}

bool isUsableUrl(const QString& url) {
    return url.size() >= 15 && (url.startsWith(QLatin1String("http://")) || url.startsWith(QLatin1String("https://")));
}

qint16 inRange(qint16 n, const Field& f) {
    if (n < f.minimum || n > f.maximum) {
        const QString range = f.maximum == std::numeric_limits<qint32>::max()
                                  ? QStringLiteral("%1 or more").arg(f.minimum)
                                  : QStringLiteral("%1 to %2").arg(f.minimum).arg(f.maximum);
        throw platform::Error(platform::errnum::InvalidProcedureCall, QStringLiteral("Out of range (") + range + ')');
    }
    return n;
}

// Takes one stored value into its member; throws platform::Error when it cannot.
void take(const Field& f, const QVariant& value, Preferences& into) {
    switch (f.kind) {
        case Kind::Text: into.*std::get<QString Preferences::*>(f.member) = regValueToText(value); break;
        case Kind::Password:
            into.*std::get<QString Preferences::*>(f.member) = modGlobal_DecodePassword(regValueToText(value));
            break;
        case Kind::AnalystOptions: {
            const QString text = regValueToText(value);
            // An option string of an older layout: the built-in one stays.
            if (text.split(QLatin1Char(',')).size() >= AnalystOptionsMinimumFields)
                into.*std::get<QString Preferences::*>(f.member) = text;
            break;
        }
        case Kind::Long: into.*std::get<qint32 Preferences::*>(f.member) = settingToLong(value); break;
        case Kind::Integer:
            into.*std::get<qint16 Preferences::*>(f.member) = inRange(settingToInteger(value), f);
            break;
        case Kind::OptionalInteger: {
            std::optional<qint16>& target = into.*std::get<std::optional<qint16> Preferences::*>(f.member);
            if (regValueToText(value).trimmed().isEmpty())
                target = std::nullopt;
            else
                target = settingToInteger(value);
            break;
        }
    }
}

}  // namespace

Preferences Preferences::defaults(const QString& programFolder, const QString& defaultConnectionString) {
    Preferences p;
    p.PeakListRoot = defaultPeakListRoot(programFolder);
    p.ADOConnect = defaultConnectionString;
    return p;
}

QString Preferences::importFilterOptions(int filter) const {
    switch (filter) {
        case FilterLcq: return TaskOptionsLcq;
        case FilterMassLynx: return TaskOptionsMassLynx;
        case FilterAnalyst: return TaskOptionsAnalyst;
        case FilterVoyager: return TaskOptionsVoyager;
        case FilterQuellmark: return TaskOptionsQuellmark;
        case FilterTS2Sorvex: return TaskOptionsTS2Sorvex;
        default: return QString();
    }
}

QString PreferenceProblem::which() const {
    return secret ? name : name + QStringLiteral(" = \"") + storedText + QLatin1Char('"');
}

PreferencesReading readPreferences(const RegValueTable& section, Preferences& into) {
    PreferencesReading reading;
    reading.sectionFound = !section.isEmpty();
    for (const RegValueRow& row : section) {
        const Field* f = findField(row.name);
        if (!f) continue;
        const bool password = f->kind == Kind::Password;
        if (row.name == QLatin1String("BaseUrl")) {
            const QString url = storedText(row.value);
            if (url.isEmpty()) continue;  // no address: the caller's check of BaseUrl says so
            if (!isUsableUrl(url)) {
                reading.problems.append(
                    {f->name, f->page,
                     platform::Error(platform::errnum::InvalidProcedureCall,
                                     QStringLiteral("Sorvex URL must start with http:// or https://")),
                     url});
                break;  // later values are not read
            }
            into.BaseUrl = url;
            continue;
        }
        try {
            take(*f, row.value, into);
        } catch (const platform::Error& e) {
            reading.problems.append({f->name, f->page, e, password ? QString() : storedText(row.value), password});
        }
    }
    return reading;
}

PreferencesReading loadPreferences(Preferences& into) {
    return readPreferences(modGlobal_GetAllSettings(SettingsApplication, PreferencesSection), into);
}

QString savePreferences(const Preferences& prefs) {
    for (const Field& f : fields()) {
        if (!f.edited) continue;
        QString text;
        try {
            if (const auto* s = std::get_if<QString Preferences::*>(&f.member)) {
                text = prefs.*(*s);
                if (f.kind == Kind::Password) text = modGlobal_EncodePassword(text);
            } else if (const auto* l = std::get_if<qint32 Preferences::*>(&f.member)) {
                text = QString::number(prefs.*(*l));
            } else if (const auto* i = std::get_if<qint16 Preferences::*>(&f.member)) {
                text = QString::number(prefs.*(*i));
            }
            if (!modGlobal_SaveSetting(SettingsApplication, PreferencesSection, QLatin1String(f.name), text))
                return QLatin1String(f.name);
        } catch (const platform::Error&) {
            return QLatin1String(f.name);
        }
    }
    return QString();
}

}  // namespace common
