#include "client/StartupSequence.h"

#include "client/ClientGlobals.h"
#include "client/WindowPlacement.h"
#include "client/frmMain.h"
#include "client/frmPreferences.h"
#include "client/frmSplash.h"
#include "clientcommon/BusyCursor.h"
#include "common/CommandLineArgs.h"
#include "clientcommon/ComponentProbes.h"
#include "clientcommon/Globals.h"
#include "clientcommon/LoadPreferences.h"
#include "common/ProcessHelpers.h"
#include "clientcommon/RequestWait.h"
#include "common/ServiceCommands.h"
#include "clientcommon/ServiceWakeUp.h"
#include "clientcommon/TaskDatabase.h"
#include "clientcommon/TaskDbCheck.h"
#include "common/TaskDbTables.h"
#include "common/TaskDbConnection.h"
#include "params/DefaultParameterSet.h"
#include "params/FileDialogs.h"
#include "params/forms/ParameterEditorPage.h"
#include "status/forms/StatusPage.h"
#include "taskeditor/DataFileList.h"
#include "platform/AdoErrors.h"
#include "platform/Error.h"
#include "platform/MessageBox.h"
#include "platform/ProgramFolder.h"
#include "platform/SharedFolder.h"
#include "platform/SystemNames.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QSystemTrayIcon>
#include <QTabWidget>

namespace tavrel {

namespace {

const QString kTitle = QStringLiteral("Sorvex Tavrel");

void message(const QString& text) { platform::MsgBox(text, platform::vbOKOnly, kTitle); }

QString tempFolder() {
    QString t = QDir::toNativeSeparators(QDir::tempPath());
    while (t.size() > 1 && t.endsWith(QDir::separator())) t.chop(1);
    return t.isEmpty() ? ProgramFolder : t;
}

}  // namespace

StartupSequence::StartupSequence(frmMain& window)
    : window_(window),
      serviceProgram_(common::serviceProgramBesideThis()),
      systemTrayAvailable_([] { return QSystemTrayIcon::isSystemTrayAvailable(); }) {
    preferences_ = [this](int page) {
        // A window of its own: the start-up window is hidden meanwhile, the main window not yet shown.
        frmPreferences dialog(nullptr, &window_.tmrRefresh);
        dialog.showPage(page);
        dialog.exec();
    };
}

StartupSequence::~StartupSequence() = default;

void StartupSequence::say(const QString& text) {
    if (splash_) splash_->showMessage(text);
}

bool StartupSequence::end() {
    splash_.reset();
    window_.frmMain_Form_Unload();
    return false;
}

bool StartupSequence::showPreferences(int page) {
    // Whatever the user changes there, the server has a new chance; in the
    // dialog itself a Cancel gives up on its check alone.
    if (serverGiveUp_) serverGiveUp_->reset();
    const bool splashShown = splash_ && splash_->isVisible();
    if (splashShown) splash_->hide();  // the dialog must not sit behind the start-up window
    {
        const ServerGiveUpPause pause;
        preferences_(page);
    }
    if (splashShown) splash_->show();
    return !PreferencesCancelled && !ExitRequested;
}

void StartupSequence::setFolders() {
    ProgramFolder = platform::resolveProgramFolder();
    QDir::setCurrent(ProgramFolder);
    CommandLineArgs = arguments_ ? *arguments_ : common::modGlobal_SplitCommandLine();
    ParamDialogFolder = ProgramFolder;
    TemplateDialogFolder = ProgramFolder;
    DataFileDialogFolder = ProgramFolder;
    FolderPickerStartFolder = ProgramFolder;
    ParameterSetsInFiles = true;
    LocalUserName = platform::userName();
    LocalComputerName = platform::computerName();
    TempFolder = tempFolder();
    DefaultConnectionString = common::defaultConnectionString(ProgramFolder);
}

void StartupSequence::installService() {
    if (common::modGlobal_HasArgument(CommandLineArgs, QStringLiteral("-debug"))) return;
    if (modGlobal_NotifyService(true)) return;
    // Registered, only not running: step 20 starts it; a second install would
    // only say on stderr that it is installed already.
    if (serviceRegistered()) return;
    if (!QFileInfo(serviceProgram_).isExecutable()) return;  // step 20 tells the user
    // A failed install shows at the service start below; its exit code says nothing more.
    common::modGlobal_RunCommandLine(QLatin1Char('"') + serviceProgram_ + QStringLiteral("\" -install -silent"), true, 7);
}

bool StartupSequence::loadPreferences() {
    ExitRequested = false;
    for (;;) {
        if (!modGlobal_LoadPreferences()) {
            if (!showPreferences(StartupStatus)) return false;
            continue;
        }
        switch (checkSchema()) {
        case Outcome::Go: return true;
        case Outcome::End: return false;
        case Outcome::Again: continue;
        }
    }
}

StartupSequence::Outcome StartupSequence::checkSchema() {
    switch (modGlobal_CheckTaskDatabase(TaskDbConnection, LocalUserName, LocalComputerName)) {
    case TaskDbCheckResult::EndClient: return Outcome::End;
    case TaskDbCheckResult::ShowConnectionSettings:
        return showPreferences(common::PageAdoConnection) ? Outcome::Again : Outcome::End;
    case TaskDbCheckResult::Ready: break;
    }
    try {
        TasksRecordset.openTable(TaskDbConnection, common::kTasksTable);
        common::ProgramTaskDatabase.prepareNextKeyCommands();
    } catch (const platform::Error& e) {
        message(QStringLiteral("Cannot retrieve data from current task database.\r\nModify the connection settings or "
                               "create a new database.\r\n\r\nError number ") +
                platform::adoerr::hexNumber(e.number()) + QStringLiteral("\r\n\r\n") + e.description());
        return showPreferences(common::PageAdoConnection) ? Outcome::Again : Outcome::End;
    }
    return Outcome::Go;
}

bool StartupSequence::loadParameterEditor() {
    ParameterEditorPage& page = *window_.pageParameterEditor;
    if (const auto error = frmMain_CreateDefaultParameterSet(ProgramFolder))
        message(error->message);
    say(QStringLiteral("Loading default search parameters"));
    page.OpenParameterFile(defaultParameterSetPath(ProgramFolder));
    return true;
}

bool StartupSequence::makePeakListRoot() {
    // The service and the lab's other users write below it: in a folder its
    // group shares it is the group's whatever this user's umask.
    platform::makeSharedPath(PeakListRoot);
    if (QFileInfo(PeakListRoot).isDir()) return true;
    message(QStringLiteral("Unable to create required directory ") + PeakListRoot);
    return false;
}

void StartupSequence::startTimers() {
    window_.tmrJob[0].setInterval(100);
    window_.tmrJob[0].stop();
    window_.tmrRefresh.setInterval(static_cast<int>(static_cast<qint32>(TaskCheckInterval) * 1000));
    window_.tmrRefresh.start();
}

bool StartupSequence::frmMain_Form_Load() {
    setFolders();
    window_.frmMain_OpenEventLog();
    window_.setWindowTitle(kTitle);
    splash_ = std::make_unique<frmSplash>();
    splash_->show();
    splash_->setCursor(Qt::WaitCursor);
    QApplication::processEvents();

    installService();
    window_.frmMain_SetStatusButtonToolTips();
    window_.modGlobal_InitStatusColumns();
    setSplashMessage([this](const QString& text) { say(text); });
    bool serverChecked = false;
    {
        // A Cancel in the wait for the server gives up on it for the rest of
        // its steps: they fail at once and start-up goes on off-line.
        ServerGiveUp giveUp;
        serverGiveUp_ = &giveUp;
        const bool ready = loadPreferences();
        if (ready) {
            window_.pageParameterEditor->modGlobal_LoadRecentFileMenu();
            serverChecked = checkServer();
        }
        serverGiveUp_ = nullptr;
    }
    if (!serverChecked) return end();
    say(QStringLiteral("Testing for presence of sorvex.dll for Sciex"));
    SciexLibraryPresent = modGlobal_ProbeSciexLibrary();
    say(QStringLiteral("Testing for presence of Data Explorer"));
    DataExplorerPresent = modGlobal_ProbeDataExplorer();
    say(QStringLiteral("Testing for presence of Sorvex Quellmark"));
    QuellmarkPresent = modGlobal_ProbeQuellmark();
    say(QStringLiteral("Testing for presence of TS2Sorvex"));
    TS2SorvexPresent = modGlobal_ProbeTS2Sorvex();
    if (!startService()) return end();
    loadParameterEditor();
    window_.frmMain_ResetTaskEditor();
    if (!makePeakListRoot()) return end();
    // A refresh that finds the service gone offers to start it: the same program as here.
    window_.pageStatus->watchdog().trayProgram = serviceProgram_;
    say(QStringLiteral("Building tree view of tasks and results"));
    window_.frmMain_BuildStatusTree();
    window_.frmMain_RefreshStatus();
    startTimers();
    restorePlacement(&window_);
    setSplashMessage({});
    splash_.reset();
    window_.tabMain->setCurrentIndex(frmMain::TabStatus);
    window_.setStartupCompleted(true);
    window_.show();
    return true;
}

}  // namespace tavrel
