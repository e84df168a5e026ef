// status-demo: the main window over a demonstration task database made in the
// program folder ($TAVREL_HOME), its Status tab on the first task with its
// results open. scripts/screenshot.sh build/bin/status-demo takes its picture.
#include "DemoDatabase.h"

#include "client/ClientApplication.h"
#include "client/frmMain.h"
#include "common/EventLogLine.h"
#include "common/Globals.h"
#include "common/TaskDatabase.h"
#include "common/TaskDbConnection.h"
#include "common/TaskDbSchema.h"
#include "common/forms/QtMessageBox.h"
#include "common/forms/ScreenshotHook.h"
#include "platform/Error.h"
#include "platform/MessageBox.h"
#include "platform/ProgramFolder.h"
#include "platform/SystemNames.h"
#include "status/StatusNodes.h"
#include "status/forms/EventLogPage.h"
#include "status/forms/StatusPage.h"
#include "status/forms/StatusTreeModel.h"
#include "status/forms/StatusTreeView.h"

#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv) {
    using namespace tavrel;
    ClientApplication app(argc, argv);
    QtMessageBoxHandler boxes;
    platform::setMessageBoxHandler(&boxes);
    ProgramFolder = platform::resolveProgramFolder();
    LocalComputerName = platform::computerName();
    LocalUserName = platform::userName();
    CommandLineArgs = {QStringLiteral("Tavrel"), QStringLiteral("-debug")};  // no service to wake
    PeakListRoot = ProgramFolder + QStringLiteral("/qpl");

    const QString file = QDir(ProgramFolder).filePath(QStringLiteral("StatusDemo.mdb"));
    QFile::remove(file);
    const QString connection = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + file;
    int shown = 0;
    try {
        platform::AdoConnection::createDatabase(connection);
        TaskDatabaseConnection.open(connection);
        if (!modGlobal_CreateTaskDatabase(TaskDatabaseConnection)) return 1;
        common::ProgramTaskDatabase.prepareNextKeyCommands();
        shown = statusdemo::writeDemoTasks(TaskDatabaseConnection, LocalComputerName, LocalUserName);
    } catch (const platform::Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.report(QStringLiteral("status-demo: "))));
        return 1;
    }
    const QString log = QDir(ProgramFolder).filePath(common::kEventLogFileName);
    QFile::remove(log);

    int code = 0;
    {
        frmMain window;
        window.resize(1180, 640);
        // What start-up does for the two tabs, in its order.
        StatusPage& page = *window.pageStatus;
        page.frmMain_SetStatusButtonToolTips();
        page.modGlobal_InitStatusColumns();
        window.pageEventLog->InitEventColumns();
        window.pageEventLog->OpenEventLog(log);
        statusdemo::writeDemoEventLog(log);  // written by the service while the client runs
        page.frmMain_BuildStatusTree();
        window.frmMain_RefreshStatus();
        const QModelIndex task = page.treeModel()->indexFromItem(page.treeModel()->item(taskNodeKey(shown)));
        page.tvwStatus->expand(task);
        page.tvwStatus->setCurrentIndex(task);
        installScreenshotHook(&window, [&window](const QString& tab) { window.showTab(tab); });
        window.show();
        code = app.exec();
    }
    common::ProgramTaskDatabase.close();
    platform::setMessageBoxHandler(nullptr);
    return code;
}
