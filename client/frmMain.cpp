#include "client/frmMain.h"

#include "client/HelpContext.h"
#include "client/ResultAutoPrint.h"
#include "platform/InetWait.h"
#include "status/AutoPrintQueue.h"
#include "clientcommon/TaskDatabase.h"
#include "clientcommon/forms/FormLayout.h"
#include "clientcommon/forms/WindowIcons.h"
#include "params/forms/ParameterEditorPage.h"
#include "status/forms/EventLogPage.h"
#include "status/forms/StatusPage.h"
#include "taskeditor/forms/TaskEditorPage.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QTabWidget>

namespace tavrel {

namespace {

constexpr int kMinWidthTwips = 10000;
constexpr int kMinHeightTwips = 7800;
constexpr int kUnloadByUser = 0;  // the close box, the system menu, File Exit

}  // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Sorvex Tavrel"));
    common::modGlobal_SetWindowIcons(this, QStringLiteral("AAA"), false);

    tabMain = new QTabWidget(this);
    tabMain->setObjectName(QStringLiteral("tabMain"));
    pageStatus = new StatusPage(tabMain);
    pageEventLog = new EventLogPage(tabMain);
    pageTaskEditor = new TaskEditorPage(tabMain);
    pageParameterEditor = new ParameterEditorPage(tabMain);
    tabMain->addTab(pageStatus, QStringLiteral("&Status"));
    tabMain->addTab(pageEventLog, QStringLiteral("E&vent Log"));
    tabMain->addTab(pageTaskEditor, QStringLiteral("&Task Editor"));
    tabMain->addTab(pageParameterEditor, QStringLiteral("&Parameter Editor"));
    setCentralWidget(tabMain);
    WebBrowser = new ResultAutoPrinter(this);
    WebBrowser->setObjectName(QStringLiteral("WebBrowser"));

    // The pages lay themselves out and stretch with the window; below this the
    // parameter and task editors no longer have room for their controls.
    setMinimumTwips(this, kMinWidthTwips, kMinHeightTwips);

    tmrRefresh.setObjectName(QStringLiteral("tmrRefresh"));
    // tmrJob(0) ticks every 100 ms, but only while a dragged result rests in
    // a scroll band of the status tree.
    tmrJob[0].setInterval(100);
    connect(&tmrRefresh, &QTimer::timeout, this, [this] { refreshGuard_.run([this] { tmrRefresh_Timer(); }); });
    for (int i = 0; i < int(tmrJob.size()); ++i) {
        tmrJob[i].setObjectName(QStringLiteral("tmrJob(%1)").arg(i));
        connect(&tmrJob[i], &QTimer::timeout, this, [this, i] { jobGuard_.run([this, i] { tmrJob_Timer(i); }); });
    }

    buildMenus();
    connectPages();
    tabMain->setCurrentIndex(TabStatus);
    setHelpContextIds(this);
}

frmMain::~frmMain() {
    // A window destroyed without being closed still ends its timers before its pages go.
    tmrRefresh.stop();
    for (QTimer& t : tmrJob) t.stop();
}

void frmMain::connectPages() {
    // Clone: a fresh editor, the stored task loaded into it, its tab shown.
    connect(pageStatus, &StatusPage::cloneTaskRequested, this,
            guarded(QStringLiteral("cmdStatusClone_Click"), [this](long taskUid) {
                frmMain_ResetTaskEditor();
                frmMain_LoadTaskIntoEditor(taskUid);
                tabMain->setCurrentIndex(TabTaskEditor);
            }));
    // The refresh reads the event log's new lines after the tree.
    connect(pageStatus, &StatusPage::eventLogDue, pageEventLog, &EventLogPage::RefreshEvents);
    connect(pageStatus, &StatusPage::autoScrollTimerWanted, this, [this](bool on) {
        if (on) tmrJob[0].start();
        else tmrJob[0].stop();
    });
    connect(tabMain, &QTabWidget::currentChanged, this,
            guarded(QStringLiteral("tabMain_Click"), [this](int tab) { pageStatus->tabMain_Click(tab == TabStatus); }));
    // File Print is offered on the Status tab with the root or a task selected; the page knows when.
    mnuFilePrint->setEnabled(pageStatus->printEnabled());
    connect(pageStatus, &StatusPage::printEnabledChanged, mnuFilePrint, &QAction::setEnabled);
    // A result page queued for printing is loaded into the auto-print browser, which prints it.
    // It is fetched beside the window; the refresh hands over another only when
    // the printer is free, and a page that could not be printed goes back to the queue.
    pageStatus->autoPrintReady = [this] { return WebBrowser->ready(); };
    pageStatus->autoPrintWanted = [this](qint32 resultNumber) { return WebBrowser->wants(resultNumber); };
    connect(pageStatus, &StatusPage::autoPrintRequested, this,
            guarded(QStringLiteral("WebBrowser_Navigate"),
                    [this](const QString& url, qint32 resultNumber) { WebBrowser->Navigate(url, resultNumber); }));
    connect(WebBrowser, &ResultAutoPrinter::notPrinted, this,
            guarded(QStringLiteral("WebBrowser_NavigateError"), [](qint32 resultNumber) {
                if (resultNumber > 0 && TaskDbConnection.isOpen()) requeueAutoPrint(TaskDbConnection, resultNumber);
            }));
    connect(pageStatus, &StatusPage::browserRequested, this, [this](const QString& url) { InvokeBrowser(url); });
    connect(pageStatus, &StatusPage::quellmarkRequested, this,
            [this](const QString& project) { InvokeQuellmark(project); });
    // Run: the new task joins the status tree, whose tab comes forward.
    connect(pageTaskEditor, &TaskEditorPage::taskCreated, this,
            guarded(QStringLiteral("cmdTaskRun_Click"), [this](long taskUid) {
                pageStatus->ShowNewTask(taskUid);
                tabMain->setCurrentIndex(TabStatus);
            }));
    connect(pageTaskEditor, &TaskEditorPage::importOptionsRequested, this,
            guarded(QStringLiteral("cmdTaskOptions_Click"), [this](int filter) { frmMain_ShowImportOptions(filter); }));
    connect(pageParameterEditor, &ParameterEditorPage::recentFilesChanged, this,
            [this](const QStringList& paths) { showRecentFiles(paths); });
}

bool frmMain::showTab(const QString& indexOrCaption) {
    bool isNumber = false;
    const int index = indexOrCaption.toInt(&isNumber);
    if (isNumber) {
        if (index < 0 || index >= tabMain->count()) return false;
        tabMain->setCurrentIndex(index);
        return true;
    }
    const QString wanted = QString(indexOrCaption).remove(QLatin1Char('&')).trimmed();
    for (int i = 0; i < tabMain->count(); ++i) {
        if (tabMain->tabText(i).remove(QLatin1Char('&')).compare(wanted, Qt::CaseInsensitive) == 0) {
            tabMain->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

void frmMain::bringForward() {
    if (!startupCompleted_) {
        // The main window is shown only at the end of start-up; until then its dialog comes forward.
        if (QWidget* w = QApplication::activeModalWidget()) {
            w->raise();
            w->activateWindow();
        }
        return;
    }
    // Clearing only the minimised state keeps a maximised window maximised.
    if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (unloaded_) {
        event->accept();
        return;
    }
    // Unless the close question answers, the window stays open: an error in it
    // must not throw away unsaved changes.
    bool cancel = true;
    guardHandler(QStringLiteral("Form_QueryUnload"), [&] { frmMain_Form_QueryUnload(cancel, kUnloadByUser); });
    if (cancel) {
        event->ignore();
        return;
    }
    frmMain_Form_Unload();
    event->accept();
}

void frmMain::tmrRefresh_Timer() {
    // A tick inside a request's wait (the window keeps serving its timers then)
    // is left for the next one: the refresh would otherwise start inside what
    // the user is waiting for, and its boxes would stop that wait.
    if (platform::requestWaiting()) return;
    frmMain_RefreshStatus();
}

void frmMain::tmrJob_Timer(int index) {
    if (index == 0) pageStatus->AutoScrollTick();
}

}  // namespace tavrel
