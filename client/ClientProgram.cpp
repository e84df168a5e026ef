#include "client/ClientProgram.h"

#include "client/ClientApplication.h"
#include "client/HelpContext.h"
#include "client/StartupSequence.h"
#include "client/frmMain.h"
#include "common/EventMessage.h"
#include "common/EventSink.h"
#include "common/FileDialogs.h"
#include "common/Globals.h"
#include "common/PreviousInstance.h"
#include "common/forms/QtDialogHandler.h"
#include "common/forms/QtMessageBox.h"
#include "common/forms/RequestWaitDialog.h"
#include "common/forms/ScreenshotHook.h"
#include "platform/AutomationPlugins.h"
#include "platform/MessageBox.h"
#include "platform/ProgramFolder.h"
#include "platform/SystemNames.h"

namespace tavrel {

int runTavrel(int argc, char** argv) {
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
