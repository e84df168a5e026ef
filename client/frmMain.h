#pragma once
// The client's main window: the tab strip tabMain with the pages of the status
// monitor, the event list, the task editor and the parameter editor, the menus
// and the window's timers. The pages never see each other; what one page asks
// of another goes through the signals this window connects.
#include "clientcommon/HandlerGuard.h"

#include <QMainWindow>
#include <QString>
#include <QTimer>

#include <array>

class QAction;
class QMenu;
class QTabWidget;

namespace tavrel {

class EventLogPage;
class ParameterEditorPage;
class ResultAutoPrinter;
class StatusPage;
class TaskEditorPage;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // Tabs of tabMain, by index.
    enum Tab { TabStatus = 0, TabEventLog = 1, TabTaskEditor = 2, TabParameterEditor = 3 };

    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // Shows the tab given by its index or its caption without the "&" (letter
    // case ignored); false when none matches.
    bool showTab(const QString& indexOrCaption);
    // For the pictures of scripts/screenshot.sh: "TAB" shows that tab;
    // "Status:KEY" also selects and opens that node of the status tree;
    // "Task Editor:task_N" loads task N into the editor as Clone does;
    // "Preferences" opens that dialog. Answers the window to picture (null
    // when nothing matched).
    QWidget* showForPicture(const QString& what);

    // What a second start of the client asks: restored when minimised, raised
    // and activated. While start-up runs, its window or dialog comes forward.
    void bringForward();

    // Set by start-up once it has finished: only then is the placement kept.
    void setStartupCompleted(bool done) { startupCompleted_ = done; }
    bool startupCompleted() const { return startupCompleted_; }

    // Close question and shut-down (runs once, whatever ended the window).
    void frmMain_Form_QueryUnload(bool& cancel, int unloadMode);
    void frmMain_Form_Unload();

    // The status monitor's and the task editor's procedures that start-up,
    // the menus and the timers call; each forwards to its page.
    void frmMain_SetStatusButtonToolTips();
    void modGlobal_InitStatusColumns();
    void frmMain_OpenEventLog();
    void frmMain_BuildStatusTree();
    void frmMain_RefreshStatus();
    void frmMain_ResetTaskEditor();
    void frmMain_LoadTaskIntoEditor(long taskUid);
    // The import-filter options dialog on the task editor's working option
    // strings, its tab that of the filter (index of ImportFilterName).
    void frmMain_ShowImportOptions(int filter);
    // "event", or the status list's "root" or "task" when that view is shown.
    void modGlobal_SaveColumnWidths(const QString& list);
    void frmMain_CloseEventLog();
    // The task editor's Delete of the data-file list (Edit, Clear on it).
    void frmMain_cmdTaskFileDelete_Click();

    // Result pages to the browser, projects to Quellmark.
    long InvokeBrowser(const QString& url);
    long InvokeQuellmark(const QString& sProjectPath);

    // Menus.
    void frmMain_mnuFile_Click();
    void frmMain_mnuEdit_Click();
    void frmMain_mnuFileSave_Click();
    void frmMain_mnuFileSaveAs_Click();
    void frmMain_mnuFilePrint_Click();
    void frmMain_mnuRecentFile_Click(int index);
    void frmMain_mnuEditCut_Click();
    void frmMain_mnuEditCopy_Click();
    void frmMain_mnuEditPaste_Click();
    void frmMain_mnuEditClear_Click();
    void frmMain_mnuEditPreferences_Click();
    void frmMain_mnuEditADO_Click();
    void frmMain_mnuHelpHelp_Click();
    void frmMain_mnuHelpAbout_Click();

    QTabWidget* tabMain = nullptr;
    StatusPage* pageStatus = nullptr;
    EventLogPage* pageEventLog = nullptr;
    TaskEditorPage* pageTaskEditor = nullptr;
    ParameterEditorPage* pageParameterEditor = nullptr;
    // The automatic printing of result pages.
    ResultAutoPrinter* WebBrowser = nullptr;

    QMenu* mnuFile = nullptr;
    QAction* mnuFileNew = nullptr;
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileSave = nullptr;
    QAction* mnuFileSaveAs = nullptr;
    QAction* mnuFilePrint = nullptr;
    QAction* mnuFileExit = nullptr;
    std::array<QAction*, 6> mnuRecentFile{};  // 0 the separator, 1 to 5 the recent files
    QMenu* mnuEdit = nullptr;
    QAction* mnuEditCut = nullptr;
    QAction* mnuEditCopy = nullptr;
    QAction* mnuEditPaste = nullptr;
    QAction* mnuEditClear = nullptr;
    QAction* mnuEditPreferences = nullptr;
    QAction* mnuEditADO = nullptr;
    QAction* mnuEditRefresh = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpHelp = nullptr;
    QAction* mnuHelpAbout = nullptr;

    // Set up and started by the client's start-up: the refresh every
    // TaskCheckInterval seconds, tmrJob(0) the status tree's drag auto-scroll.
    QTimer tmrRefresh;
    std::array<QTimer, 1> tmrJob;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildFileMenu();
    void buildEditMenu();
    void buildHelpMenu();
    void connectPages();
    void showRecentFiles(const QStringList& paths);
    void tmrRefresh_Timer();
    void tmrJob_Timer(int index);

    TimerGuard refreshGuard_{QStringLiteral("tmrRefresh_Timer")};
    TimerGuard jobGuard_{QStringLiteral("tmrJob_Timer")};
    bool startupCompleted_ = false;
    bool unloaded_ = false;
};

}  // namespace tavrel
