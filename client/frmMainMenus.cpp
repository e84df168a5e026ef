// The main window's menus: File (parameter-set commands, Print, Exit, recent
// files), Edit (clipboard, preferences, connection information, refresh) and
// Help. Each item's enabling is worked out when its menu opens and whenever
// the tab or the parameter set's state changes, so that shortcuts follow it.
#include "client/ClientGlobals.h"
#include "client/ConnectionInfo.h"
#include "client/HelpContext.h"
#include "client/Reports.h"
#include "client/frmMain.h"
#include "client/frmODBC.h"
#include "client/frmPreferences.h"
#include "client/frmSplash.h"
#include "clientcommon/TaskDatabase.h"
#include "params/forms/ParameterEditorPage.h"
#include "status/StatusNodes.h"
#include "status/forms/StatusPage.h"
#include "platform/Error.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextDocument>

namespace tavrel {

namespace {

QAction* item(QMenu* menu, const char* name, const QString& caption, QKeySequence shortcut = {}) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    if (!shortcut.isEmpty()) a->setShortcut(shortcut);
    return a;
}

}  // namespace

void frmMain::buildMenus() {
    buildFileMenu();
    buildEditMenu();
    buildHelpMenu();
    connect(tabMain, &QTabWidget::currentChanged, this, [this] {
        frmMain_mnuFile_Click();
        frmMain_mnuEdit_Click();
    });
    connect(pageParameterEditor, &ParameterEditorPage::parameterSetChangedChanged, this,
            [this] { frmMain_mnuFile_Click(); });
}

void frmMain::buildFileMenu() {
    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFileNew = item(mnuFile, "mnuFileNew", QStringLiteral("&New ..."), QKeySequence::New);
    mnuFileOpen = item(mnuFile, "mnuFileOpen", QStringLiteral("&Open ..."), QKeySequence::Open);
    mnuFileSave = item(mnuFile, "mnuFileSave", QStringLiteral("&Save"), QKeySequence::Save);
    mnuFileSaveAs = item(mnuFile, "mnuFileSaveAs", QStringLiteral("Save &As ..."));
    mnuFile->addSeparator();
    mnuFilePrint = item(mnuFile, "mnuFilePrint", QStringLiteral("&Print"), QKeySequence::Print);
    mnuFile->addSeparator();
    mnuFileExit = item(mnuFile, "mnuFileExit", QStringLiteral("E&xit"));
    mnuRecentFile[0] = mnuFile->addSeparator();
    mnuRecentFile[0]->setObjectName(QStringLiteral("mnuRecentFile(0)"));
    mnuRecentFile[0]->setVisible(false);
    for (int i = 1; i < int(mnuRecentFile.size()); ++i) {
        mnuRecentFile[i] = mnuFile->addAction(QStringLiteral("RecentFile%1").arg(i));
        mnuRecentFile[i]->setObjectName(QStringLiteral("mnuRecentFile(%1)").arg(i));
        mnuRecentFile[i]->setVisible(false);
        connect(mnuRecentFile[i], &QAction::triggered, this,
                guarded(QStringLiteral("mnuRecentFile_Click"), [this, i] { frmMain_mnuRecentFile_Click(i); }));
    }
    connect(mnuFile, &QMenu::aboutToShow, this, [this] { frmMain_mnuFile_Click(); });
    connect(mnuFileNew, &QAction::triggered, this, guarded(QStringLiteral("mnuFileNew_Click"), [this] {
                pageParameterEditor->mnuFileNew_Click();
            }));
    connect(mnuFileOpen, &QAction::triggered, this, guarded(QStringLiteral("mnuFileOpen_Click"), [this] {
                pageParameterEditor->mnuFileOpen_Click();
            }));
    connect(mnuFileSave, &QAction::triggered, this,
            guarded(QStringLiteral("mnuFileSave_Click"), [this] { frmMain_mnuFileSave_Click(); }));
    connect(mnuFileSaveAs, &QAction::triggered, this,
            guarded(QStringLiteral("mnuFileSaveAs_Click"), [this] { frmMain_mnuFileSaveAs_Click(); }));
    connect(mnuFilePrint, &QAction::triggered, this,
            guarded(QStringLiteral("mnuFilePrint_Click"), [this] { frmMain_mnuFilePrint_Click(); }));
    connect(mnuFileExit, &QAction::triggered, this, guarded(QStringLiteral("mnuFileExit_Click"), [this] { close(); }));
}

void frmMain::buildEditMenu() {
    mnuEdit = menuBar()->addMenu(QStringLiteral("&Edit"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    mnuEditCut = item(mnuEdit, "mnuEditCut", QStringLiteral("Cu&t"), QKeySequence::Cut);
    mnuEditCopy = item(mnuEdit, "mnuEditCopy", QStringLiteral("&Copy"), QKeySequence::Copy);
    mnuEditPaste = item(mnuEdit, "mnuEditPaste", QStringLiteral("&Paste"), QKeySequence::Paste);
    mnuEditClear = item(mnuEdit, "mnuEditClear", QStringLiteral("Cle&ar"));
    mnuEdit->addSeparator();
    mnuEditPreferences = item(mnuEdit, "mnuEditPreferences", QStringLiteral("Pre&ferences"));
    mnuEditADO = item(mnuEdit, "mnuEditADO", QStringLiteral("&ODBC Information ..."));
    mnuEdit->addSeparator();
    // No shortcut: F5 belongs to the status page's Refresh button.
    mnuEditRefresh = item(mnuEdit, "mnuEditRefresh", QStringLiteral("&Refresh"));
    // The clipboard items have the text fields' own shortcuts; these act only from the menu.
    for (QAction* a : {mnuEditCut, mnuEditCopy, mnuEditPaste}) a->setShortcutContext(Qt::WidgetShortcut);
    connect(mnuEdit, &QMenu::aboutToShow, this, [this] { frmMain_mnuEdit_Click(); });
    connect(mnuEditCut, &QAction::triggered, this, guarded(QStringLiteral("mnuEditCut_Click"), [this] { frmMain_mnuEditCut_Click(); }));
    connect(mnuEditCopy, &QAction::triggered, this, guarded(QStringLiteral("mnuEditCopy_Click"), [this] { frmMain_mnuEditCopy_Click(); }));
    connect(mnuEditPaste, &QAction::triggered, this, guarded(QStringLiteral("mnuEditPaste_Click"), [this] { frmMain_mnuEditPaste_Click(); }));
    connect(mnuEditClear, &QAction::triggered, this, guarded(QStringLiteral("mnuEditClear_Click"), [this] { frmMain_mnuEditClear_Click(); }));
    connect(mnuEditPreferences, &QAction::triggered, this,
            guarded(QStringLiteral("mnuEditPreferences_Click"), [this] { frmMain_mnuEditPreferences_Click(); }));
    connect(mnuEditADO, &QAction::triggered, this, guarded(QStringLiteral("mnuEditADO_Click"), [this] { frmMain_mnuEditADO_Click(); }));
    connect(mnuEditRefresh, &QAction::triggered, this,
            guarded(QStringLiteral("mnuEditRefresh_Click"), [this] { frmMain_RefreshStatus(); }));
}

void frmMain::buildHelpMenu() {
    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelpHelp = item(mnuHelp, "mnuHelpHelp", QStringLiteral("Sorvex Tavrel &Help ..."));
    mnuHelp->addSeparator();
    mnuHelpAbout = item(mnuHelp, "mnuHelpAbout", QStringLiteral("&About ..."));
    connect(mnuHelpHelp, &QAction::triggered, this, guarded(QStringLiteral("mnuHelpHelp_Click"), [this] { frmMain_mnuHelpHelp_Click(); }));
    connect(mnuHelpAbout, &QAction::triggered, this, guarded(QStringLiteral("mnuHelpAbout_Click"), [this] { frmMain_mnuHelpAbout_Click(); }));
}

void frmMain::showRecentFiles(const QStringList& paths) {
    for (int i = 1; i < int(mnuRecentFile.size()); ++i) {
        const bool used = i <= paths.size();
        if (used) {
            // The path itself opens; its "&" are shown, not taken as shortcut marks.
            mnuRecentFile[i]->setData(paths[i - 1]);
            mnuRecentFile[i]->setText(QString(paths[i - 1]).replace(QLatin1Char('&'), QStringLiteral("&&")));
        }
        mnuRecentFile[i]->setVisible(used);
    }
    mnuRecentFile[0]->setVisible(!paths.isEmpty());
    frmMain_mnuFile_Click();
}

void frmMain::frmMain_mnuFile_Click() {
    const bool p = tabMain->currentIndex() == TabParameterEditor;
    for (QAction* a : {mnuFileNew, mnuFileOpen, mnuFileSave, mnuFileSaveAs}) a->setEnabled(p);
    for (int i = 1; i < int(mnuRecentFile.size()); ++i) mnuRecentFile[i]->setEnabled(p);
    mnuFileSave->setEnabled(p && pageParameterEditor->ParameterSetChanged());
    // Print is the status page's to enable (printEnabledChanged).
}

void frmMain::frmMain_mnuFileSave_Click() {
    if (tabMain->currentIndex() != TabParameterEditor) return;
    pageParameterEditor->mnuFileSave_Click();
}

void frmMain::frmMain_mnuFileSaveAs_Click() { pageParameterEditor->mnuFileSaveAs_Click(); }

void frmMain::frmMain_mnuRecentFile_Click(int index) {
    if (index < 1 || index >= int(mnuRecentFile.size())) return;
    pageParameterEditor->mnuRecentFile_Click(mnuRecentFile[index]->data().toString());
}

void frmMain::frmMain_mnuFilePrint_Click() {
    // The report of what the status view shows: the tasks at the root, one task's results.
    const QString kind = pageStatus->statusViewKind();
    try {
        if (kind == RootNodeKey) {
            showReportPreview(buildTasksReport(TaskDbConnection), this);
        } else if (kind == QLatin1String("task")) {
            const NodeKeyParts node = splitNodeKey(pageStatus->selectedNodeKey());
            if (node.kind != kind) return;
            showReportPreview(buildResultsReport(TaskDbConnection, nodeNumber(pageStatus->selectedNodeKey())), this);
        }
    } catch (const platform::Error& e) {
        platform::MsgBox(QStringLiteral("The report cannot be made: ") + QString::number(e.number()) +
                         QStringLiteral(": ") + e.description());
    }
}

void frmMain::frmMain_mnuEditPreferences_Click() {
    frmPreferences dialog(this, &tmrRefresh);
    dialog.showPage(0);
    dialog.exec();
    if (ExitRequested) close();
}

void frmMain::frmMain_mnuEditADO_Click() {
    frmODBC dialog(this);
    for (const ConnectionInfoLine& line : connectionInfoLines(TaskDbConnection))
        if (line.listed) dialog.lstODBC->addItem(line.text);
    dialog.exec();
}

void frmMain::frmMain_mnuHelpHelp_Click() { showHelpTopic(helpIndexUrl()); }

void frmMain::frmMain_mnuHelpAbout_Click() {
    frmSplash about(this);
    about.exec();
}

}  // namespace tavrel
