#include "client/ClientProgram.h"

#include "client/ClientApplication.h"
#include "client/frmMain.h"
#include "common/CommandLineArgs.h"
#include "common/EventMessage.h"
#include "common/EventSink.h"
#include "common/FileDialogs.h"
#include "common/Globals.h"
#include "common/PreviousInstance.h"
#include "common/forms/QtDialogHandler.h"
#include "common/forms/QtMessageBox.h"
#include "common/forms/ScreenshotHook.h"
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
    common::setEventSink(&modGlobal_WriteEventLog);

    ProgramFolder = platform::resolveProgramFolder();
    LocalUserName = platform::userName();
    LocalComputerName = platform::computerName();
    CommandLineArgs = common::modGlobal_SplitCommandLine();

    InstanceClaim claim(ProgramFolder, LocalUserName);
    if (!claim.isFirst()) {
        modGlobal_CheckPreviousInstance();
        return 0;
    }

    frmMain window;
    // Without the channel a second start says it cannot find this window; this one still works.
    claim.listen([&window] { window.bringForward(); });
    installScreenshotHook(&window, [&window](const QString& tab) { window.showTab(tab); });
    window.show();
    const int code = app.exec();
    setDialogHandler(nullptr);
    platform::setMessageBoxHandler(nullptr);
    return code;
}

}  // namespace tavrel
