#include "client/ClientProgram.h"

#include "client/ClientApplication.h"
#include "client/HelpContext.h"
#include "client/StartupSequence.h"
#include "client/frmMain.h"
#include "common/CommandLineArgs.h"
#include "clientcommon/EventMessage.h"
#include "common/EventSink.h"
#include "clientcommon/FileDialogs.h"
#include "clientcommon/Globals.h"
#include "clientcommon/PreviousInstance.h"
#include "common/ProgramVersion.h"
#include "clientcommon/forms/QtDialogHandler.h"
#include "clientcommon/forms/QtMessageBox.h"
#include "clientcommon/forms/RequestWaitDialog.h"
#include "clientcommon/forms/ScreenshotHook.h"
#include "platform/AutomationPlugins.h"
#include "platform/MessageBox.h"
#include "platform/ProgramFolder.h"
#include "platform/SystemNames.h"

#include <QFileInfo>

#include <cstdio>

namespace tavrel {

namespace {

const char kUsage[] =
    "Usage: Tavrel [-debug]\n"
    "The Sorvex Tavrel client: edits search parameter sets and the tasks that\n"
    "TavrelService runs, and follows their results and the service's event log.\n"
    "\n"
    "  -debug     for a service that runs in the foreground (TavrelService -debug):\n"
    "             the client neither installs, starts, stops nor signals a service\n"
    "  --help     this text\n"
    "  --version  the program's version\n"
    "\n"
    "The program folder (task database, settings, event log) is $TAVREL_HOME when\n"
    "set; an installed client uses the folder the installation made for it.\n";

// Answered on the console: an administrator may ask them as root, without a
// display and before the set-up, so they touch neither.
int answerInfoSwitch(common::InfoSwitch which) {
    if (which == common::InfoSwitch::Help) std::fputs(kUsage, stdout);
    else std::printf("Sorvex Tavrel version %s\n", qPrintable(common::programVersion()));
    return 0;
}

}  // namespace

int runTavrel(int argc, char** argv) {
    if (const common::InfoSwitch which = common::infoSwitchOf(argc, argv); which != common::InfoSwitch::None)
        return answerInfoSwitch(which);
    platform::anchorProgramFolder();
    ClientApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrel"));

    QtMessageBoxHandler boxes;
    platform::setMessageBoxHandler(&boxes);
    QtDialogHandler dialogs;
    setDialogHandler(&dialogs);
    RequestWaitDialog requestWaits;
    setRequestWaitView(&requestWaits);
    common::setEventSink(&modGlobal_WriteEventLog);
    HelpKeyFilter help;
    app.installEventFilter(&help);

    // The instance is this user's client of this program folder.
    ProgramFolder = platform::resolveProgramFolder();
    if (qEnvironmentVariableIsEmpty("TAVREL_HOME") && !QFileInfo(ProgramFolder).isDir()) {
        // The installed folder is the installation's to make, with its owner
        // and group: no group step of a lab user's mends its absence.
        const QString text = QStringLiteral("Tavrel cannot start: ") + platform::programFolderProblem(ProgramFolder);
        std::fprintf(stderr, "%s\n", qPrintable(text));
        platform::MsgBox(text, platform::vbOKOnly, QStringLiteral("Sorvex Tavrel"));
        platform::setMessageBoxHandler(nullptr);
        return 1;
    }
    LocalUserName = platform::userName();
    InstanceClaim claim(ProgramFolder, LocalUserName);
    if (!claim.problem().isEmpty()) {
        modGlobal_ReportInstanceProblem(claim.problem(), ProgramFolder, claim.problemIsFolderAccess());
        platform::setMessageBoxHandler(nullptr);
        return 1;
    }
    if (!claim.isFirst()) {
        modGlobal_CheckPreviousInstance();
        return 0;
    }

    // The vendor components come as plug-ins, found as the service finds
    // them; the start-up probes below decide which import filters a task may use.
    const platform::AutomationPluginReport plugins = platform::loadAutomationPlugins();
    for (const QString& problem : plugins.problems)
        qWarning("Cannot load component plug-in %s", qPrintable(problem));

    frmMain window;
    // Without the channel a second start says it cannot find this window; this one still works.
    claim.listen([&window] { window.bringForward(); });
    StartupSequence startup(window);
    int code = 0;
    if (startup.frmMain_Form_Load()) {
        installScreenshotHook(&window, [&window](const QString& what) { return window.showForPicture(what); });
        code = app.exec();
    }
    window.frmMain_Form_Unload();
    setRequestWaitView(nullptr);
    setDialogHandler(nullptr);
    platform::setMessageBoxHandler(nullptr);
    return code;
}

}  // namespace tavrel
