#include "client/frmPreferences.h"

#include "client/ClientGlobals.h"
#include "client/ConnectionStringBox.h"
#include "client/DataLinkDialog.h"
#include "client/PreferencesControls.h"
#include "client/CentreOnScreen.h"
#include "client/HelpContext.h"
#include "clientcommon/Globals.h"
#include "common/Password.h"
#include "common/PeakListFolders.h"
#include "common/Preferences.h"
#include "common/Settings.h"
#include "common/TaskDbConnection.h"
#include "common/TaskDbProblem.h"
#include "clientcommon/FileDialogs.h"
#include "clientcommon/forms/FolderBrowser.h"
#include "platform/Error.h"

#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <utility>

namespace tavrel {

namespace {

QString programFolderPeakListRoot() { return common::defaultPeakListRoot(ProgramFolder); }

}  // namespace

frmPreferences::frmPreferences(QWidget* owner, QTimer* refreshTimer) : QDialog(owner), refreshTimer_(refreshTimer) {
    setObjectName(QStringLiteral("frmPreferences"));
    setWindowTitle(QStringLiteral("Sorvex Tavrel: Preferences"));
    setModal(true);

    tabPreferences = new QTabWidget(this);
    tabPreferences->setObjectName(QStringLiteral("tabPreferences"));
    tabPreferences->addTab(buildIntranetPage(), QStringLiteral("Intranet"));
    tabPreferences->addTab(buildImportFiltersPage(), QStringLiteral("&Data import filters"));
    tabPreferences->addTab(buildConnectionPage(), common::AdoConnectionPageTitle);
    tabPreferences->addTab(buildTimerPage(), QStringLiteral("Timer settings"));
    tabPreferences->addTab(buildAuthenticationPage(), QStringLiteral("Authentication"));

    cmdSave = namedButton(this, "cmdSave", QStringLiteral("Save"));
    cmdSave->setDefault(true);
    cmdCancel = namedButton(this, "cmdCancel", QStringLiteral("Cancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabPreferences, 1);
    layout->addLayout(buttons);

    connect(cmdSave, &QPushButton::clicked, this, [this] { frmPreferences_cmdSave_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { frmPreferences_cmdCancel_Click(); });
    connect(cmdRestore, &QPushButton::clicked, this, [this] { frmPreferences_cmdRestore_Click(); });
    connect(cmdADODialog, &QPushButton::clicked, this, [this] { frmPreferences_cmdADODialog_Click(); });
    connect(cmdLCQPath, &QPushButton::clicked, this, [this] { frmPreferences_cmdLCQPath_Click(); });
    connect(cmdPeakListRoot, &QPushButton::clicked, this, [this] { frmPreferences_cmdPeakListRoot_Click(); });

    setMinimumWidth(640);  // the five page captions side by side
    frmPreferences_Form_Load();
}

void frmPreferences::showPage(int page) {
    if (page >= 0 && page < tabPreferences->count()) tabPreferences->setCurrentIndex(page);
}

void frmPreferences::putDefaults() {
    txtUrl->clear();
    txtTimeout->setText(QStringLiteral("3600"));
    cboAccessType->clear();
    cboAccessType->addItems(
        {QStringLiteral("Registry default"), QStringLiteral("Direct connection"), QStringLiteral("Proxy server")});
    cboAccessType->setCurrentIndex(0);
    txtProxy->clear();
    optProtocol[1]->setChecked(true);
    txtLcq->clear();
    txtPeakListRoot->setText(QDir::toNativeSeparators(programFolderPeakListRoot()));
    DialogConnectionString = DefaultConnectionString;
    txtADOConnect->setText(shownConnectionString(DialogConnectionString));
    txtTimerTick->setText(QStringLiteral("10"));
    txtNoDataDelay->setText(QStringLiteral("10"));
    txtLockedOutDelay->setText(QStringLiteral("60"));
    txtMonitorActionDelay->setText(QStringLiteral("60"));
    txtFollowerActionDelay->setText(QStringLiteral("60"));
    txtTaskCheckInterval->setText(QStringLiteral("15"));
    for (QLineEdit* e : {txtSorvexUserName, txtSorvexPassword, txtProxyUserName, txtProxyPassword, txtWebUserName,
                         txtWebPassword})
        e->clear();
}

QLineEdit* frmPreferences::textFieldOf(const QString& name) const {
    const std::pair<const char*, QLineEdit*> fields[] = {
        {"BaseUrl", txtUrl},
        {"TimeOut", txtTimeout},
        {"Proxy", txtProxy},
        {"LcqPath", txtLcq},
        {"PeakListRoot", txtPeakListRoot},
        {"ADOConnect", txtADOConnect},
        {"TimerTick", txtTimerTick},
        {"NoDataDelay", txtNoDataDelay},
        {"LockedOutDelay", txtLockedOutDelay},
        {"MonitorActionDelay", txtMonitorActionDelay},
        {"FollowerActionDelay", txtFollowerActionDelay},
        {"TaskCheckInterval", txtTaskCheckInterval},
        {"SorvexUserName", txtSorvexUserName},
        {"SorvexPassword", txtSorvexPassword},
        {"ProxyUserName", txtProxyUserName},
        {"ProxyPassword", txtProxyPassword},
        {"WebUserName", txtWebUserName},
        {"WebPassword", txtWebPassword},
    };
    for (const auto& [value, edit] : fields)
        if (name == QLatin1String(value)) return edit;
    return nullptr;
}

void frmPreferences::putStoredValue(const QString& name, const QVariant& value) {
    const QString text = common::regValueToText(value);
    const auto password = [&](QLineEdit* edit) {
        try {
            edit->setText(common::modGlobal_DecodePassword(text));
        } catch (const platform::Error&) {
            edit->clear();  // a damaged password is typed again rather than shown scrambled
        }
    };
    if (name == QLatin1String("AccessType")) {
        bool ok = false;
        const int index = text.trimmed().toInt(&ok);
        // An index out of range keeps the default entry; Save then stores a valid one.
        if (ok && index >= 0 && index < cboAccessType->count()) cboAccessType->setCurrentIndex(index);
    } else if (name == QLatin1String("Protocol")) optProtocol[text.trimmed() == QLatin1String("0") ? 0 : 1]->setChecked(true);
    else if (name == QLatin1String("ADOConnect")) {
        txtADOConnect->setText(shownConnectionString(text));
        DialogConnectionString = text;
    } else if (QLineEdit* edit = textFieldOf(name)) {
        if (name.endsWith(QLatin1String("Password"))) password(edit);
        else edit->setText(text);
    }
}

void frmPreferences::frmPreferences_Form_Load() {
    centreOnScreen(this);
    setHelpContextIds(this);
    PreferencesCancelled = true;
    putDefaults();
    SavedPreferences = common::modGlobal_GetAllSettings(common::SettingsApplication, common::PreferencesSection);
    for (const common::RegValueRow& row : SavedPreferences) {
        try {
            putStoredValue(row.name, row.value);
        } catch (const platform::Error&) {
            // A value that is no text (an array) keeps its field's default.
        }
    }
    // Long texts show from their beginning.
    for (QLineEdit* e : findChildren<QLineEdit*>()) e->setCursorPosition(0);
}

void frmPreferences::frmPreferences_cmdCancel_Click() { QDialog::reject(); }

void frmPreferences::reject() { frmPreferences_cmdCancel_Click(); }

void frmPreferences::frmPreferences_cmdRestore_Click() {
    DialogConnectionString = DefaultConnectionString;
    txtADOConnect->setText(shownConnectionString(DialogConnectionString));
}

void frmPreferences::frmPreferences_cmdADODialog_Click() {
    const QString chosen = promptForConnection(this, DialogConnectionString);
    if (chosen.isEmpty()) return;
    DialogConnectionString = chosen;
    txtADOConnect->setText(shownConnectionString(chosen));
}

void frmPreferences::frmPreferences_cmdLCQPath_Click() {
    const QString keepFolder = QDir::currentPath();
    FileDialogRequest request;
    request.owner = this;
    request.title = QStringLiteral("Full path to extract_msn");
    request.startFolder = ProgramFolder;
    request.filter = QStringLiteral("Programs (*.exe *)");
    const QString chosen = showOpenFileDialog(request);
    QDir::setCurrent(keepFolder);
    if (!chosen.isEmpty()) txtLcq->setText(QDir::toNativeSeparators(chosen));
}

void frmPreferences::frmPreferences_cmdPeakListRoot_Click() {
    const QString start = txtPeakListRoot->text().isEmpty() ? programFolderPeakListRoot() : txtPeakListRoot->text();
    const QString chosen = modGetDirectory_BrowseForFolder(
        this, QStringLiteral("Directory for storing peak list files created by data import filters"), start);
    if (!chosen.isEmpty()) txtPeakListRoot->setText(chosen);
}

}  // namespace tavrel
