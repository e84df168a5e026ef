// What start-up, the menus, the timers and the shut-down ask of the pages:
// each procedure of the main window forwards to the page that owns it.
#include "client/Launchers.h"
#include "client/frmMain.h"
#include "clientcommon/Globals.h"
#include "common/EventLogLine.h"
#include "status/forms/EventLogPage.h"
#include "status/forms/StatusPage.h"
#include "taskeditor/forms/TaskEditorPage.h"

namespace tavrel {

void frmMain::frmMain_SetStatusButtonToolTips() { pageStatus->frmMain_SetStatusButtonToolTips(); }

void frmMain::modGlobal_InitStatusColumns() {
    pageStatus->modGlobal_InitStatusColumns();
    pageEventLog->InitEventColumns();
}

// The service writes the event log; the client only follows it, and waits
// for it when it is not there yet.
void frmMain::frmMain_OpenEventLog() { pageEventLog->OpenEventLog(ProgramFolder + QLatin1Char('/') + common::kEventLogFileName); }

void frmMain::frmMain_BuildStatusTree() { pageStatus->frmMain_BuildStatusTree(); }

// The status page reads the event log's new lines itself (eventLogDue).
void frmMain::frmMain_RefreshStatus() { pageStatus->RefreshStatus(); }

void frmMain::frmMain_ResetTaskEditor() { pageTaskEditor->ResetTaskEditor(); }

void frmMain::frmMain_LoadTaskIntoEditor(long taskUid) { pageTaskEditor->LoadTaskIntoEditor(taskUid); }

void frmMain::modGlobal_SaveColumnWidths(const QString& list) {
    if (list == QLatin1String("event")) pageEventLog->SaveEventColumnWidths();
    else pageStatus->SaveColumnWidths(list);
}

void frmMain::frmMain_CloseEventLog() { pageEventLog->eventLogReader().close(); }

void frmMain::frmMain_cmdTaskFileDelete_Click() { pageTaskEditor->cmdTaskFileDelete_Click(); }

long frmMain::InvokeBrowser(const QString& url) { return tavrel::InvokeBrowser(url); }

long frmMain::InvokeQuellmark(const QString& sProjectPath) { return tavrel::InvokeQuellmark(sProjectPath); }

}  // namespace tavrel
