#include "clientcommon/LoadPreferences.h"

#include "clientcommon/Globals.h"
#include "clientcommon/HttpGet.h"
#include "common/Preferences.h"
#include "common/Secrets.h"
#include "common/Settings.h"
#include "clientcommon/ServerDocuments.h"
#include "clientcommon/ServerLogin.h"
#include "clientcommon/TaskDatabase.h"
#include "common/TaskDbConnection.h"
#include "common/TaskDbProblem.h"
#include "clientcommon/BusyCursor.h"
#include "platform/AdoErrors.h"
#include "platform/Error.h"
#include "platform/MessageBox.h"

#include <QDir>
#include <QFileInfo>

#include <exception>
#include <utility>

namespace tavrel {

namespace {

const QString kTitle = QStringLiteral("Sorvex Tavrel");

SplashMessage& splashMessage() {
    static SplashMessage show;
    return show;
}

void showBox(const QString& text) { platform::MsgBox(common::maskSecrets(text), platform::vbOKOnly, kTitle); }

bool fail(common::PreferencesPage page) {
    StartupStatus = page;
    return false;
}

// The first stored value the client cannot use, in stored order. The WIFF
// probe's own value is read by the probe, not here.
const common::PreferenceProblem* firstProblem(const common::PreferencesReading& reading) {
    for (const common::PreferenceProblem& problem : reading.problems)
        if (problem.name != QLatin1String("TaskOptionsAnalystMerge")) return &problem;
    return nullptr;
}

bool openTaskDatabase() {
    if (const SplashMessage& show = splashMessage()) show(QStringLiteral("Connecting to task database"));
    BusyCursor hourglass;
    try {
        TaskDbConnection.open(ADOConnect);
        return true;
    } catch (const platform::Error& e) {
        showBox(QStringLiteral("Problem connecting to task database.\r\n\r\nError number ") +
                platform::adoerr::hexNumber(e.number()) + QStringLiteral("\r\n\r\n") + e.description() +
                QStringLiteral("\r\n\r\n") + common::taskDatabaseProblemAdvice(e, ADOConnect));
    }
    return false;
}

bool load() {
    const common::RegValueTable section = common::modGlobal_GetAllSettings(kTitle, common::PreferencesSection);
    if (section.isEmpty()) return fail(common::PageIntranet);

    const QString builtIn =
        DefaultConnectionString.isEmpty() ? common::defaultConnectionString(ProgramFolder) : DefaultConnectionString;
    // Every call starts again from the defaults.
    common::ProgramPreferences = common::Preferences::defaults(ProgramFolder, builtIn);
    const common::PreferencesReading reading = common::readPreferences(section, common::ProgramPreferences);
    for (int i = 0; i < common::ImportFilterCount; ++i) {
        ImportFilterName[i] = common::importFilterName(i);
        ImportFilterOptions[i] = common::ProgramPreferences.importFilterOptions(i);
    }
    if (const common::PreferenceProblem* problem = firstProblem(reading)) {
        // A malformed address sends the user to its field without a word, as an absent one does.
        if (!problem->badUrl())
            showBox(QStringLiteral("The setting ") + problem->which() +
                    QStringLiteral(" of the preferences cannot be used: ") + problem->error.description());
        return fail(problem->page);
    }
    if (BaseUrl.isEmpty()) return fail(common::PageIntranet);

    modGlobal_SetWinInetOptions(Protocol);
    QByteArray reply;  // only that the server answers matters
    bool unanswered = false;
    if (!modGlobal_HttpGetDocument(InternetSession, ProxyUserName, ProxyPassword, WebUserName, WebPassword, AccessType,
                                   Proxy, Protocol, BaseUrl + QStringLiteral("client.pl?version"), false, reply,
                                   &unanswered)) {
        if (!unanswered) return fail(common::PageAuthentication);
        // No server at the address: the user can still see and manage the
        // tasks on the cached parameter document (start-up's server check
        // then says it goes on off-line); without one, the address is what
        // must change.
        if (!QFileInfo::exists(QDir(ProgramFolder).filePath(kServerDataFileName))) return fail(common::PageIntranet);
        ServerSessionID.clear();
        ImportFilterDefaultOptions = ImportFilterOptions;
        if (!openTaskDatabase()) return fail(common::PageAdoConnection);
        return true;
    }
    ServerSessionID.clear();
    if (!modGlobal_SorvexLogin(BaseUrl, SorvexUserName, SorvexPassword, ServerSecurityEnabled))
        return fail(common::PageAuthentication);
    if (!modGlobal_CheckSessionPermitted(BaseUrl, false)) {
        ServerSessionID.clear();
        return fail(common::PageAuthentication);
    }
    ImportFilterDefaultOptions = ImportFilterOptions;
    if (!openTaskDatabase()) return fail(common::PageAdoConnection);
    return true;
}

}  // namespace

bool modGlobal_LoadPreferences() {
    try {
        return load();
    } catch (const platform::Error& e) {
        showBox(QStringLiteral("Problem loading the preferences: ") + QString::number(e.number()) +
                QStringLiteral(": ") + e.description());
    } catch (const std::exception& e) {
        showBox(QStringLiteral("Problem loading the preferences: ") + QString::fromLocal8Bit(e.what()));
    }
    return fail(common::PageIntranet);
}

SplashMessage setSplashMessage(SplashMessage show) { return std::exchange(splashMessage(), std::move(show)); }

}  // namespace tavrel
