// Save of the preferences dialog, step by step. Each failed check shows its
// message and stops with the dialog open and the user's (trimmed) text kept;
// nothing is written before every check has passed.
#include "client/ConnectionStringBox.h"
#include "client/MessagesOverPage.h"
#include "client/NewTaskDatabase.h"
#include "client/PreferencesChecks.h"
#include "client/frmPreferences.h"
#include "clientcommon/BusyCursor.h"
#include "clientcommon/Globals.h"
#include "clientcommon/HttpGet.h"
#include "common/Preferences.h"
#include "common/Secrets.h"
#include "clientcommon/ServerDocuments.h"
#include "clientcommon/ServerLogin.h"
#include "common/UncName.h"
#include "platform/Inet.h"
#include "platform/MessageBox.h"
#include "platform/SharedFolder.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>

namespace tavrel {

namespace {

const QString kTitle = QStringLiteral("Sorvex Tavrel");

void say(const QString& text) { platform::MsgBox(common::maskSecrets(text), platform::vbOKOnly, kTitle); }

bool stop(const QString& text) {
    say(text);
    return false;
}

QString trimmedIn(QLineEdit* edit) {
    edit->setText(edit->text().trimmed());
    return edit->text();
}

int protocolOf(const std::array<QRadioButton*, 2>& options) { return options[0]->isChecked() ? 0 : 1; }

QString versionMessage() {
    return QStringLiteral("Sorvex server must be version 2.1, (or version 2.0 with new client.pl script). The chosen "
                          "server appears to be an earlier version.");
}

}  // namespace

bool frmPreferences::frmPreferences_cmdSave_Click() {
    const auto onPage = [this](common::PreferencesPage page, bool (frmPreferences::*step)()) {
        const MessagesOverPage over(tabPreferences, page);
        return (this->*step)();
    };
    if (!onPage(common::PageIntranet, &frmPreferences::checkConnectionFields) || !testServer() ||
        !onPage(common::PageDataImportFilters, &frmPreferences::checkPeakListRoot) ||
        !onPage(common::PageDataImportFilters, &frmPreferences::checkExtractor) ||
        !onPage(common::PageAdoConnection, &frmPreferences::checkTaskDatabase) ||
        !onPage(common::PageTimerSettings, &frmPreferences::checkTimerFields) || !writeValues())
        return false;
    askForRestart();
    accept();
    return true;
}

bool frmPreferences::checkConnectionFields() {
    trimmedIn(txtUrl);
    const std::optional<qint32> timeout = wholeNumber32(txtTimeout->text());
    if (timeout) txtTimeout->setText(QString::number(*timeout));
    trimmedIn(txtProxy);
    if (!timeout || *timeout > 86400 || *timeout < 20)
        return stop(QStringLiteral("Valid range for HTTP timeout is between 20 and 86400 seconds"));
    if (cboAccessType->currentIndex() == 2 && txtProxy->text().isEmpty())
        return stop(QStringLiteral("No proxy server specified"));
    if (!isFullUrl(txtUrl->text())) return stop(QStringLiteral("You must enter a full URL"));
    txtUrl->setText(withTrailingSlash(txtUrl->text()));
    for (QLineEdit* e : {txtSorvexUserName, txtSorvexPassword, txtProxyUserName, txtProxyPassword, txtWebUserName,
                         txtWebPassword})
        trimmedIn(e);
    return true;
}

bool frmPreferences::testServer() {
    const QString url = txtUrl->text();
    const int access = cboAccessType->currentIndex();
    const int protocol = protocolOf(optProtocol);
    const bool connectionChanged = txtProxyUserName->text() != ProxyUserName ||
                                   txtProxyPassword->text() != ProxyPassword ||
                                   txtWebUserName->text() != WebUserName || txtWebPassword->text() != WebPassword ||
                                   access != AccessType || txtProxy->text() != Proxy || protocol != Protocol ||
                                   url != BaseUrl;
    // A new connection is tested on its own, a new login only when the connection stays.
    const MessagesOverPage over(tabPreferences, connectionChanged ? common::PageIntranet : common::PageAuthentication);
    BusyCursor hourglass;
    // The user waits for this check: a server that says nothing is reported soon.
    ShortHttpTimeouts shortWaits(kInteractiveRequestTimeoutSeconds);
    if (connectionChanged) {
        // Cached proxy and web credentials of the running session must not answer for the new ones.
        platform::InternetSetOption(platform::HInternet(), platform::inet::INTERNET_OPTION_END_BROWSER_SESSION);
        platform::HInternet session;
        QByteArray reply;
        return modGlobal_HttpGetDocument(session, txtProxyUserName->text(), txtProxyPassword->text(),
                                         txtWebUserName->text(), txtWebPassword->text(), access, txtProxy->text(),
                                         protocol, url + QStringLiteral("client.pl?version"), false, reply);
    }
    if (txtSorvexUserName->text() == SorvexUserName && txtSorvexPassword->text() == SorvexPassword) return true;
    if (!ServerSessionID.isEmpty()) {
        QByteArray ignored;
        modGlobal_HttpGet(BaseUrl + QStringLiteral("login.pl?display=nothing&onerrdisplay=nothing&action=logout&"
                                                   "sessionID=") +
                              ServerSessionID,
                          true, ignored);
        ServerSessionID.clear();
    }
    bool securityEnabled = false;
    if (!modGlobal_SorvexLogin(url, txtSorvexUserName->text(), txtSorvexPassword->text(), securityEnabled))
        return false;
    ServerSecurityEnabled = securityEnabled;
    if (!modGlobal_CheckSessionPermitted(url, false)) return false;
    if (!modGlobal_ProbeGetErrorScript(url)) return stop(QStringLiteral("Cannot connect to Sorvex server at ") + url);
    if (!modGlobal_GetServerVersion(url)) return stop(versionMessage());
    return modGlobal_GetServerParameters(url);
}

bool frmPreferences::checkPeakListRoot() {
    QString path = common::modUncName_GetLocalPathFromUnc(txtPeakListRoot->text().trimmed());
    while (path.size() > 1 && (path.endsWith(QLatin1Char('\\')) || path.endsWith(QLatin1Char('/')))) path.chop(1);
    txtPeakListRoot->setText(path);
    if (QFileInfo(path).isDir()) return true;
    if (platform::MsgBox(path + QStringLiteral(" doesn't exist, OK to create it?"), platform::vbOKCancel, kTitle) !=
        platform::vbOK)
        return false;
    platform::makeSharedPath(path);
    if (!QFileInfo(path).isDir()) return stop(QStringLiteral("Unable to create ") + path);
    return true;
}

bool frmPreferences::checkExtractor() {
    const QString path = common::modUncName_GetLocalPathFromUnc(txtLcq->text().trimmed());
    txtLcq->setText(path);
    if (!isExtractorPath(path))
        return stop(extractorNameRefusal());
    if (path.size() > kExtractorPathUntested && !QFileInfo(path).isFile())
        return stop(QStringLiteral("LCQ_DTA.EXE or EXTRACT_MSN.EXE or EXTRACT_MSN_COM.EXE or EXTRACTMSN.EXE not "
                                   "found on specified path"));
    return true;
}

bool frmPreferences::checkTaskDatabase() {
    DialogConnectionString = editedConnectionString(txtADOConnect->text(), DialogConnectionString);
    BusyCursor hourglass;
    return ensureTaskDatabase(DialogConnectionString);
}

bool frmPreferences::checkTimerFields() {
    struct Field {
        QLineEdit* edit;
        int lowest, highest;
        const char* what;
    };
    const Field fields[] = {
        {txtTimerTick, 1, 60, "Valid range for timer tick interval is between 1 and 60 seconds"},
        {txtNoDataDelay, 0, 3600, "Valid range for delay after opening empty dataset is between 0 and 3600 seconds"},
        {txtLockedOutDelay, 0, 3600,
         "Valid range for delay after failing to open read locked file is between 0 and 3600 seconds"},
        {txtMonitorActionDelay, 0, 3600,
         "Valid range for minimum delay between monitor searches is between 0 and 3600 seconds"},
        {txtFollowerActionDelay, 0, 3600,
         "Valid range for Minimum delay between follower searches is between 0 and 3600 seconds"},
        {txtTaskCheckInterval, 1, 65,
         "Valid range for interval between checks for new tasks is between 1 and 65 seconds"},
    };
    for (const Field& f : fields) {
        const std::optional<qint32> value = wholeNumber16(f.edit->text());
        if (value) f.edit->setText(QString::number(*value));
        if (!value || *value < f.lowest || *value > f.highest) {
            f.edit->setFocus();
            return stop(QString::fromLatin1(f.what));
        }
    }
    return true;
}

}  // namespace tavrel
