#pragma once
// The values of the settings section "Preferences" that both programs load at
// start-up, with their defaults; one reading of the stored section and one
// writing of the values the preferences dialog edits. Each program reports a
// value it cannot take in its own way: the client by the page of its
// preferences dialog, the service in its event log.
#include "common/ImportFilters.h"
#include "common/RegOp.h"
#include "platform/Error.h"

#include <QList>
#include <QString>

#include <optional>

namespace common {

inline const QString PreferencesSection = QStringLiteral("Preferences");

// The pages of the preferences dialog, by index.
enum PreferencesPage : qint16 {
    PageIntranet = 0,
    PageDataImportFilters = 1,
    PageAdoConnection = 2,
    PageTimerSettings = 3,
    PageAuthentication = 4,
};

// Named as the stored values. Passwords are held in clear.
struct Preferences {
    QString BaseUrl;  // must begin with "http://" or "https://" and be at least 15 characters long
    qint32 TimeOut = 3600;
    qint16 AccessType = 0;  // 0 system settings, 1 direct, 2 named proxy
    QString Proxy;
    qint32 Protocol = 1;  // HTTP/1.<Protocol>
    QString LcqPath;
    QString PeakListRoot;  // default: defaultPeakListRoot(program folder)
    QString ADOConnect;    // default: the program's DefaultConnectionString
    qint16 TimerTick = 10;
    qint16 NoDataDelay = 10;
    qint16 LockedOutDelay = 60;
    qint16 MonitorActionDelay = 60;
    qint16 FollowerActionDelay = 60;
    qint16 TaskCheckInterval = 60;
    QString SorvexUserName;
    QString SorvexPassword;
    QString ProxyUserName;
    QString ProxyPassword;
    QString WebUserName;
    QString WebPassword;
    // The saved default option strings of the import filters.
    QString TaskOptionsLcq = builtInImportFilterOptions(FilterLcq);
    QString TaskOptionsMassLynx = builtInImportFilterOptions(FilterMassLynx);
    QString TaskOptionsAnalyst = builtInImportFilterOptions(FilterAnalyst);
    QString TaskOptionsVoyager = builtInImportFilterOptions(FilterVoyager);
    QString TaskOptionsQuellmark = builtInImportFilterOptions(FilterQuellmark);
    QString TaskOptionsTS2Sorvex = builtInImportFilterOptions(FilterTS2Sorvex);
    // Stored by the WIFF library's probe; nothing until then.
    std::optional<qint16> TaskOptionsAnalystMerge;

    // Every value at its default for programs in that folder.
    static Preferences defaults(const QString& programFolder, const QString& defaultConnectionString);

    // The saved option string of import filter 0 to 6 ("" for "--- None ---").
    QString importFilterOptions(int filter) const;

    bool operator==(const Preferences&) const = default;
};

// The program's preferences. Client and service are separate processes, so
// each has exactly one; both name its values as the stored ones.
inline Preferences ProgramPreferences;

// Its values under the names the programs use for them (each program's
// namespace takes these names in: tavrel::BaseUrl is tavrelsvc::BaseUrl).
namespace preferencevalues {
inline QString& BaseUrl = ProgramPreferences.BaseUrl;
inline qint32& TimeOut = ProgramPreferences.TimeOut;
inline qint16& AccessType = ProgramPreferences.AccessType;
inline QString& Proxy = ProgramPreferences.Proxy;
inline qint32& Protocol = ProgramPreferences.Protocol;
inline QString& LcqPath = ProgramPreferences.LcqPath;
inline QString& PeakListRoot = ProgramPreferences.PeakListRoot;
inline QString& ADOConnect = ProgramPreferences.ADOConnect;
inline qint16& TimerTick = ProgramPreferences.TimerTick;
inline qint16& NoDataDelay = ProgramPreferences.NoDataDelay;
inline qint16& LockedOutDelay = ProgramPreferences.LockedOutDelay;
inline qint16& MonitorActionDelay = ProgramPreferences.MonitorActionDelay;
inline qint16& FollowerActionDelay = ProgramPreferences.FollowerActionDelay;
inline qint16& TaskCheckInterval = ProgramPreferences.TaskCheckInterval;
inline QString& SorvexUserName = ProgramPreferences.SorvexUserName;
inline QString& SorvexPassword = ProgramPreferences.SorvexPassword;
inline QString& ProxyUserName = ProgramPreferences.ProxyUserName;
inline QString& ProxyPassword = ProgramPreferences.ProxyPassword;
inline QString& WebUserName = ProgramPreferences.WebUserName;
inline QString& WebPassword = ProgramPreferences.WebPassword;
}  // namespace preferencevalues

// A stored value that was not taken; the value keeps what it held.
struct PreferenceProblem {
    QString name;
    PreferencesPage page = PageIntranet;
    platform::Error error{0, QString()};
    QString storedText;   // the stored value as text; never set for a password
    bool secret = false;  // a password: its text is never shown

    // For messages: TimerTick = "0", or only the name for a password.
    QString which() const;
    bool badUrl() const { return name == QLatin1String("BaseUrl"); }
};

struct PreferencesReading {
    bool sectionFound = false;  // false: no values at all (or the section cannot be read)
    // In stored order. A malformed BaseUrl ends the reading, so it is the last.
    QList<PreferenceProblem> problems;
};

// Takes the section's rows in their order over `into`, each whose name is a
// value of Preferences (letter case counts; other names are passed over): texts
// as they are, numbers converted to their type, passwords descrambled.
// TaskOptionsAnalyst is taken only with at least AnalystOptionsMinimumFields
// fields. An empty BaseUrl is taken as "no address"; one that is malformed
// stops the reading. A number that does not convert, does not fit its type or
// is outside the range the programs can use, and a damaged password, are
// problems; reading goes on with the next row.
PreferencesReading readPreferences(const RegValueTable& section, Preferences& into);

// readPreferences of the section "Preferences" of the settings store.
PreferencesReading loadPreferences(Preferences& into);

// Writes the values the preferences dialog edits, in its order, as text, the
// passwords scrambled. Answers the name of the first value that could not be
// stored (those before it are stored), empty when every one was.
QString savePreferences(const Preferences& prefs);

}  // namespace common
