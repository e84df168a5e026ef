// The last steps of the preferences dialog's Save: every value written or,
// when one cannot be, none; then the restart both programs need when the
// stored section changed.
#include "client/ClientGlobals.h"
#include "client/MessagesOverPage.h"
#include "client/PreferencesChecks.h"
#include "client/frmPreferences.h"
#include "clientcommon/BusyCursor.h"
#include "common/CommandLineArgs.h"
#include "clientcommon/Globals.h"
#include "common/Preferences.h"
#include "common/Secrets.h"
#include "clientcommon/ServiceWakeUp.h"
#include "common/Settings.h"
#include "platform/Error.h"
#include "platform/MessageBox.h"
#include "platform/WindowMessages.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>

namespace tavrel {

namespace {

const QString kTitle = QStringLiteral("Sorvex Tavrel");
constexpr quint32 kWmClose = 0x0010;

void say(const QString& text) { platform::MsgBox(common::maskSecrets(text), platform::vbOKOnly, kTitle); }

int protocolOf(const std::array<QRadioButton*, 2>& options) { return options[0]->isChecked() ? 0 : 1; }

// Puts back the values Save writes as they were before it (removing those that
// were absent), so that a save that failed half-way leaves nothing changed.
void restoreSection(const common::RegValueTable& before) {
    static const char* const kEdited[] = {
        "BaseUrl",        "TimeOut",           "AccessType",          "Proxy",          "Protocol",
        "LcqPath",        "PeakListRoot",      "ADOConnect",          "TimerTick",      "NoDataDelay",
        "LockedOutDelay", "MonitorActionDelay", "FollowerActionDelay", "TaskCheckInterval", "SorvexUserName",
        "SorvexPassword", "ProxyUserName",     "ProxyPassword",       "WebUserName",    "WebPassword"};
    common::RegOp reg;
    reg.Root(platform::HKEY_LOCAL_MACHINE);
    reg.Key(common::SettingsKey + common::PreferencesSection);
    for (const char* name : kEdited) {
        const QString valueName = QLatin1String(name);
        const auto old = std::find_if(before.begin(), before.end(), [&](const common::RegValueRow& row) {
            return row.name.compare(valueName, Qt::CaseInsensitive) == 0;
        });
        try {
            if (old != before.end()) reg.Value(valueName, old->value);
            else reg.DeleteValue(valueName);
        } catch (const platform::Error&) {
        }
    }
}

}  // namespace

bool frmPreferences::writeValues() {
    common::Preferences values = common::ProgramPreferences;
    values.BaseUrl = txtUrl->text();
    values.TimeOut = txtTimeout->text().toInt();
    values.AccessType = static_cast<qint16>(cboAccessType->currentIndex());
    values.Proxy = txtProxy->text();
    values.Protocol = protocolOf(optProtocol);
    values.LcqPath = txtLcq->text();
    values.PeakListRoot = txtPeakListRoot->text();
    values.ADOConnect = DialogConnectionString;
    values.TimerTick = static_cast<qint16>(txtTimerTick->text().toInt());
    values.NoDataDelay = static_cast<qint16>(txtNoDataDelay->text().toInt());
    values.LockedOutDelay = static_cast<qint16>(txtLockedOutDelay->text().toInt());
    values.MonitorActionDelay = static_cast<qint16>(txtMonitorActionDelay->text().toInt());
    values.FollowerActionDelay = static_cast<qint16>(txtFollowerActionDelay->text().toInt());
    values.TaskCheckInterval = static_cast<qint16>(txtTaskCheckInterval->text().toInt());
    values.SorvexUserName = txtSorvexUserName->text();
    values.SorvexPassword = txtSorvexPassword->text();
    values.ProxyUserName = txtProxyUserName->text();
    values.ProxyPassword = txtProxyPassword->text();
    values.WebUserName = txtWebUserName->text();
    values.WebPassword = txtWebPassword->text();
    QString failed;
    try {
        failed = common::savePreferences(values);
    } catch (const platform::Error& e) {
        failed = e.description();
    }
    if (failed.isEmpty()) {
        PreferencesCancelled = false;
        return true;
    }
    // Nothing half-saved: what was written goes back to what was stored before.
    restoreSection(SavedPreferences);
    showPageOf(tabPreferences, textFieldOf(failed));
    say(QStringLiteral("The preferences could not be saved (") + failed +
        QStringLiteral("); the stored preferences are unchanged."));
    return false;
}

void frmPreferences::askForRestart() {
    const common::RegValueTable now =
        common::modGlobal_GetAllSettings(common::SettingsApplication, common::PreferencesSection);
    if (!preferencesChanged(SavedPreferences, now)) return;
    // "-debug": the service runs in the foreground, started by the user, and
    // this client neither starts nor signals it; the user restarts it. The
    // client keeps running on the values it started with.
    if (TrayMessageId == 0 && common::modGlobal_HasArgument(CommandLineArgs, QStringLiteral("-debug"))) {
        say(QStringLiteral("Preferences have been changed. The Sorvex Tavrel Service running in the foreground "
                           "(-debug) must be re-started to take the new values; Sorvex Tavrel GUI takes them when "
                           "it is re-started."));
        return;
    }
    if (refreshTimer_) refreshTimer_->stop();
    if (modGlobal_NotifyService(true)) {
        say(QStringLiteral("Preferences have been changed. Sorvex Tavrel Service must be re-started"));
        bool restarted = false;
        {
            BusyCursor hourglass;
            if (TrayMessageId != 0) {
                if (const platform::HWND window = platform::FindWindow(QString(), ServiceWindowTitle))
                    platform::SendMessage(window, kWmClose, 0, 0);
            } else {
                // Through the service manager, which would never bring back a
                // unit that only stopped; its refusals say what to run.
                restarted = modGlobal_RestartService(false);
            }
        }
        if (restarted) say(QStringLiteral("Sorvex Tavrel Service was re-started with the new values"));
    }
    say(QStringLiteral("Sorvex Tavrel GUI will now exit and must be re-started"));
    ExitRequested = true;
}

}  // namespace tavrel
