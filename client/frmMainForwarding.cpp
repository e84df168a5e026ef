// What the main window asks of its pages. Where a page does not offer the
// procedure yet, the forwarding member is the one place to connect it.
#include "client/Launchers.h"
#include "client/frmMain.h"
#include "status/forms/EventLogPage.h"
#include "status/forms/StatusPage.h"
#include "taskeditor/forms/TaskEditorPage.h"

namespace tavrel {

void frmMain::frmMain_SetStatusButtonToolTips() {}  // status page: the buttons' tool tips

void frmMain::modGlobal_InitStatusColumns() {}  // status page: the column tables and the event list's columns

void frmMain::frmMain_OpenEventLog() {}  // event list: the reader of the service's event log (never created here)

void frmMain::frmMain_BuildStatusTree() {}  // status page: the tree, built once

void frmMain::frmMain_RefreshStatus() {
    pageStatus->RefreshStatus();
    pageEventLog->RefreshEvents();
}

void frmMain::frmMain_ResetTaskEditor() { pageTaskEditor->ResetTaskEditor(); }

void frmMain::frmMain_LoadTaskIntoEditor(long taskUid) { pageTaskEditor->LoadTaskIntoEditor(taskUid); }

void frmMain::modGlobal_SaveColumnWidths(const QString&) {}  // event list: its column widths

void frmMain::frmMain_CloseEventLog() {}  // event list: its reader

QString frmMain::selectedStatusNodeKey() const { return QStringLiteral("root"); }  // status page: StatusViewKind

void frmMain::frmMain_cmdTaskFileDelete_Click() {}  // task editor: Delete of the data-file list

long frmMain::InvokeBrowser(const QString& url) { return tavrel::InvokeBrowser(url); }

long frmMain::InvokeQuellmark(const QString& sProjectPath) { return tavrel::InvokeQuellmark(sProjectPath); }

}  // namespace tavrel
