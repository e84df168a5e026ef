// The main window over the real pages: what File and Edit offer on each tab
// and for each node of the status tree, Print's report of the node shown,
// Edit Clear on the data-file list, the result pages printed as the refresh
// hands them over, results handed to the launchers, and what the screenshot
// script asks to be shown. On both
// database engines.
#include "client/ResultAutoPrint.h"
#include "client/frmMain.h"
#include "common/TaskDbTables.h"
#include "clientcommon/forms/DesktopLauncher.h"
#include "params/DefaultParameterSet.h"
#include "common/ParameterFile.h"
#include "params/forms/ParameterEditorPage.h"
#include "platform/testsupport/SorvexSim.h"
#include "status/forms/StatusPage.h"
#include "status/forms/StatusTreeModel.h"
#include "status/forms/StatusTreeView.h"
#include "status/tests/StatusDbFixture.h"
#include "taskeditor/forms/TaskEditorPage.h"

#include <QAction>
#include <QElapsedTimer>
#include <QDeadlineTimer>
#include <QTcpServer>
#include <QLineEdit>
#include <QApplication>
#include <QListWidget>
#include <QMenuBar>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>

using tavrel::frmMain;

namespace {

class OverPages : public statustest::StatusDb {
protected:
    void SetUp() override {
        StatusDb::SetUp();
        if (IsSkipped()) return;
        addTask(1, {{"task_status", "completed"}, {"task_label", "Liver"}});
        addResult(11, 1);
        tavrel::TasksRecordset.openTable(tavrel::TaskDbConnection, common::kTasksTable);
        window = std::make_unique<frmMain>();
        // The pages' part of start-up.
        window->frmMain_SetStatusButtonToolTips();
        window->modGlobal_InitStatusColumns();
        window->frmMain_BuildStatusTree();
        window->frmMain_RefreshStatus();
        window->show();
    }
    void TearDown() override {
        window.reset();
        StatusDb::TearDown();
    }
    void select(const QString& key) {
        tavrel::StatusPage& page = *window->pageStatus;
        if (key.startsWith("result")) page.tvwStatus->expand(page.treeModel()->indexFromItem(page.treeModel()->item("task_1")));
        ASSERT_NE(page.treeModel()->item(key), nullptr) << key.toStdString();
        page.tvwStatus->setFocus();
        page.tvwStatus->setCurrentIndex(page.treeModel()->indexFromItem(page.treeModel()->item(key)));
    }
    // The report previews that Print opened, by their titles.
    static QStringList previews() {
        QStringList titles;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "frmReportPreview" && w->isVisible()) titles << w->windowTitle();
        return titles;
    }
    static void closePreviews() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "frmReportPreview") w->close();
        QApplication::processEvents();
    }

    std::unique_ptr<frmMain> window;
};

// A "&" of a path is part of the name, not a shortcut mark.
TEST_P(OverPages, ARecentFileWithAnAmpersandShowsAndOpensItsPath) {
    QTemporaryDir folder;
    const QString path = folder.filePath("R&D/set.par");
    ASSERT_TRUE(QDir().mkpath(folder.filePath("R&D")));
    ASSERT_FALSE(tavrel::writeParameterFileLines(path, tavrel::defaultParameterLines()));
    emit window->pageParameterEditor->recentFilesChanged({path});
    EXPECT_EQ(window->mnuRecentFile[1]->text(), QString(path).replace("&", "&&"));
}

// Alt+F moves the focus to the menu bar for the keyboard: the File menu that
// opens over the tree still offers Print.
TEST_P(OverPages, TheFileMenuOpenedFromTheKeyboardKeepsPrint) {
    window->tabMain->setCurrentIndex(frmMain::TabStatus);
    window->activateWindow();
    select("root");
    QApplication::processEvents();
    ASSERT_TRUE(window->pageStatus->tvwStatus->hasFocus());
    ASSERT_TRUE(window->mnuFilePrint->isEnabled());
    window->menuBar()->setFocus(Qt::MenuBarFocusReason);  // what Alt does
    QApplication::processEvents();
    EXPECT_TRUE(window->mnuFilePrint->isEnabled());
}

TEST_P(OverPages, EnablingFollowsTheTabAndTheNodeShown) {
    emit window->pageParameterEditor->recentFilesChanged({"/a.par", "/b.par", "/c.par", "/d.par", "/e.par"});
    ASSERT_TRUE(window->mnuRecentFile[5]->isVisible());
    EXPECT_EQ(window->mnuRecentFile[2]->text(), "/b.par");
    struct Case {
        int tab;
        QString node;  // selected on the Status tab first
        bool fileCommands, refresh, print;
    } cases[] = {
        {frmMain::TabStatus, "root", false, true, true},
        {frmMain::TabStatus, "task_1", false, true, true},
        {frmMain::TabStatus, "result_11", false, true, false},
        {frmMain::TabEventLog, "root", false, false, false},
        {frmMain::TabTaskEditor, "task_1", false, false, false},
        {frmMain::TabParameterEditor, "root", true, false, false},
        {frmMain::TabStatus, "root", false, true, true},  // back again
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tab);
        SCOPED_TRACE(c.node.toStdString());
        window->tabMain->setCurrentIndex(frmMain::TabStatus);
        select(c.node);
        window->tabMain->setCurrentIndex(c.tab);
        window->frmMain_mnuFile_Click();
        window->frmMain_mnuEdit_Click();
        for (QAction* a : {window->mnuFileNew, window->mnuFileOpen, window->mnuFileSaveAs, window->mnuRecentFile[1],
                           window->mnuRecentFile[5]})
            EXPECT_EQ(a->isEnabled(), c.fileCommands) << a->objectName().toStdString();
        EXPECT_FALSE(window->mnuFileSave->isEnabled());  // nothing changed
        EXPECT_EQ(window->mnuEditRefresh->isEnabled(), c.refresh);
        EXPECT_EQ(window->mnuFilePrint->isEnabled(), c.print);
        EXPECT_TRUE(window->mnuFileExit->isEnabled());
        EXPECT_TRUE(window->mnuEditPreferences->isEnabled());
    }
    // F5 is the Status tab's Refresh button alone; the menu item has no key of its own.
    EXPECT_EQ(window->pageStatus->cmdStatusRefresh->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_TRUE(window->mnuEditRefresh->shortcut().isEmpty());
}

TEST_P(OverPages, PrintMakesTheReportOfTheNodeShown) {
    closePreviews();
    select("root");
    window->frmMain_mnuFilePrint_Click();
    EXPECT_EQ(previews(), QStringList{"Sorvex Tavrel: Sorvex Tavrel Tasks"});
    closePreviews();
    select("task_1");
    window->frmMain_mnuFilePrint_Click();
    EXPECT_EQ(previews(), QStringList{"Sorvex Tavrel: Sorvex Tavrel Results"});
    closePreviews();
    select("result_11");
    window->frmMain_mnuFilePrint_Click();
    EXPECT_TRUE(previews().isEmpty());
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join('\n').toStdString();
}

TEST_P(OverPages, ClearOnTheDataFileListDeletesTheSelectedFiles) {
    tavrel::TaskEditorPage& editor = *window->pageTaskEditor;
    window->frmMain_ResetTaskEditor();
    const QString a = home.file("a.qpl"), b = home.file("b.qpl");
    testsupport::writeFile(a, "x");
    testsupport::writeFile(b, "x");
    editor.lstTaskFiles_OLEDragDrop({a, b});
    ASSERT_EQ(editor.lstTaskFiles->count(), 2);
    window->tabMain->setCurrentIndex(frmMain::TabTaskEditor);
    QApplication::setActiveWindow(window.get());
    editor.lstTaskFiles->setFocus();
    editor.lstTaskFiles->item(0)->setSelected(true);
    window->frmMain_mnuEdit_Click();
    ASSERT_TRUE(window->mnuEditClear->isEnabled());
    window->mnuEditClear->trigger();
    ASSERT_EQ(editor.lstTaskFiles->count(), 1);
    EXPECT_TRUE(editor.lstTaskFiles->item(0)->text().endsWith("b.qpl"));
}

TEST_P(OverPages, EachRefreshPrintsOneQueuedResultPage) {
    if (!testsupport::SorvexSim::available()) GTEST_SKIP() << "sorvex-sim is not built";
    testsupport::SorvexSim sim;
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    tavrel::AccessType = 1;
    tavrel::TimeOut = 10;
    QTemporaryDir pdfs;
    int pages = 0;
    const tavrel::PrintTarget before = tavrel::setPrintTarget([&](QPrinter& p) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(pdfs.filePath(QStringLiteral("page%1.pdf").arg(++pages)));
    });
    // Any page of the server will do for the fetch; its address marks it as a result page.
    for (int n : {12, 13})
        addResult(n, 1, {{"auto_print", 1}, {"result_url", sim.baseUrl() + "get_params.pl?master_results=" + QString::number(n)}});
    addTask(2, {{"computer_name", "OTHERPC"}});
    addResult(14, 2, {{"auto_print", 1}, {"result_url", sim.baseUrl() + "get_params.pl?master_results=14"}});

    // The page is fetched beside the window: its print follows the refresh.
    const auto printedAfterRefresh = [&] {
        window->frmMain_RefreshStatus();
        QDeadlineTimer deadline(30000);
        while (window->WebBrowser->busy() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::processEvents();
        return pages;
    };
    EXPECT_EQ(printedAfterRefresh(), 1);
    EXPECT_EQ(printedAfterRefresh(), 2);
    EXPECT_EQ(printedAfterRefresh(), 2);  // the other computer's result is its own client's to print
    EXPECT_EQ(QDir(pdfs.path()).entryList({"*.pdf"}, QDir::Files).size(), 2);
    EXPECT_EQ(count("Sorvex_Tavrel_Results", "auto_print > 0"), 1);
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join('\n').toStdString();
    tavrel::setPrintTarget(before);
    tavrel::InternetSession.reset();
}

// Result pages whose server accepts and never answers: the refresh returns
// at once and keeps running (the event log, the tree) while they load side
// by side; the results are not lost when the window closes before they arrive.
TEST_P(OverPages, AResultPageThatNeverArrivesHoldsNeitherTheRefreshNorTheResult) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    tavrel::AccessType = 1;
    tavrel::TimeOut = 3600;
    QTemporaryDir pdfs;
    const tavrel::PrintTarget before = tavrel::setPrintTarget([&](QPrinter& p) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(pdfs.filePath(QStringLiteral("page.pdf")));
    });
    addResult(12, 1, {{"auto_print", 1},
                      {"result_url", QStringLiteral("http://127.0.0.1:%1/cgi/master_results.pl?file=F").arg(silent.serverPort())}});
    addResult(13, 1, {{"auto_print", 1},
                      {"result_url", QStringLiteral("http://127.0.0.1:%1/cgi/master_results.pl?file=G").arg(silent.serverPort())}});
    QElapsedTimer clock;
    clock.start();
    window->frmMain_RefreshStatus();
    EXPECT_TRUE(window->WebBrowser->busy());
    // The next refreshes run while the page loads, and hand the next page over beside it.
    addTask(3, {{"task_status", "running"}});
    window->frmMain_RefreshStatus();
    EXPECT_TRUE(window->pageStatus->treeModel()->item("task_3"));
    EXPECT_EQ(count("Sorvex_Tavrel_Results", "auto_print > 0"), 0);
    EXPECT_LT(clock.elapsed(), 30000);
    window->WebBrowser->Stop();  // what closing the window does first
    EXPECT_FALSE(window->WebBrowser->busy());
    EXPECT_EQ(count("Sorvex_Tavrel_Results", "auto_print > 0"), 2);  // both still queued
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join('\n').toStdString();
    tavrel::setPrintTarget(before);
}

TEST_P(OverPages, ResultPagesAndProjectsGoToTheLaunchersWhichSayWhenTheyFail) {
    // The desktop opens web pages and knows no program for Quellmark projects.
    struct Desktop : tavrel::DesktopLauncher {
        QList<QUrl> opened;
        bool openUrl(const QUrl& url) override {
            if (url.isLocalFile()) return false;
            opened.append(url);
            return true;
        }
    } desktop;
    tavrel::DesktopLauncher* before = tavrel::setDesktopLauncher(&desktop);
    emit window->pageStatus->browserRequested("http://srv/cgi/master_results.pl?file=F1");
    EXPECT_EQ(desktop.opened, QList<QUrl>{QUrl("http://srv/cgi/master_results.pl?file=F1")});
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join('\n').toStdString();
    emit window->pageStatus->quellmarkRequested(home.file("gone.qmp"));
    tavrel::setDesktopLauncher(before);
    EXPECT_EQ(boxes.texts, QStringList{"Cannot launch Sorvex Quellmark (error code 2)"});
}

TEST_P(OverPages, ShowsWhatThePictureScriptAsks) {
    EXPECT_EQ(window->showForPicture("Status:task_1"), window.get());
    EXPECT_EQ(window->pageStatus->selectedNodeKey(), "task_1");
    EXPECT_EQ(window->pageStatus->statusViewKind(), "task");
    EXPECT_TRUE(window->pageStatus->tvwStatus->isExpanded(window->pageStatus->tvwStatus->currentIndex()));
    EXPECT_EQ(window->showForPicture("Task Editor:task_1"), window.get());
    EXPECT_EQ(window->tabMain->currentIndex(), frmMain::TabTaskEditor);
    EXPECT_EQ(window->pageTaskEditor->txtTaskLabel->text(), "Copy of Liver");
    EXPECT_EQ(window->showForPicture("Event Log"), window.get());
    EXPECT_EQ(window->tabMain->currentIndex(), frmMain::TabEventLog);
    QWidget* prefs = window->showForPicture("Preferences");
    ASSERT_NE(prefs, nullptr);
    EXPECT_EQ(prefs->objectName(), "frmPreferences");
    EXPECT_TRUE(prefs->isVisible());
    prefs->close();
    for (const char* nothing : {"Status:task_9", "Task Editor:result_11", "Task Editor:task_9", "Options", "Event Log:task_1"})
        EXPECT_EQ(window->showForPicture(nothing), nullptr) << nothing;
}

TAVREL_ON_BOTH_ENGINES(OverPages);

}  // namespace
