#pragma once
// The client's main window: the tab strip tabMain with the pages of the status
// monitor, the event list, the task editor and the parameter editor, the menus
// and the window's timers. The pages never see each other; what one page asks
// of another goes through the signals this window connects.
#include "common/HandlerGuard.h"

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
class StatusPage;
class TaskEditorPage;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // Tabs of tabMain, by index.
    enum Tab { TabStatus = 0, TabEventLog = 1, TabTaskEditor = 2, TabParameterEditor = 3 };

    explicit frmMain(QWidget* parent = nullptr);

    // Shows the tab given by its index or its caption without the "&" (letter
    // case ignored); false when none matches.
    bool showTab(const QString& indexOrCaption);

    // What a second start of the client asks: restored when minimised, raised
    // and activated.
    void bringForward();

    // The window's procedures; those that belong to a page forward to it.
    void frmMain_Form_QueryUnload(bool& cancel, int unloadMode);
    void frmMain_RefreshStatus();
    void frmMain_ResetTaskEditor();
    void frmMain_LoadTaskIntoEditor(long taskUid);
    // The import-filter options dialog on the task editor's working option
    // strings, its tab that of the filter (index of ImportFilterName).
    void frmMain_ShowImportOptions(int filter);

    QTabWidget* tabMain = nullptr;
    StatusPage* pageStatus = nullptr;
    EventLogPage* pageEventLog = nullptr;
    TaskEditorPage* pageTaskEditor = nullptr;
    ParameterEditorPage* pageParameterEditor = nullptr;

    QMenu* mnuFile = nullptr;
    QAction* mnuFileExit = nullptr;

    // Set up and started by the client's start-up: the refresh every
    // TaskCheckInterval seconds, tmrJob(0) the status tree's drag auto-scroll.
    QTimer tmrRefresh;
    std::array<QTimer, 1> tmrJob;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void connectPages();
    void tmrRefresh_Timer();
    void tmrJob_Timer(int index);
    void mnuFileExit_Click();

    TimerGuard refreshGuard_{QStringLiteral("tmrRefresh_Timer")};
    TimerGuard jobGuard_{QStringLiteral("tmrJob_Timer")};
};

}  // namespace tavrel
