#pragma once
// The service program's hidden main window: its load event is the whole
// start-up, its unload event the shut-down. It owns the polling timer, the
// service control listener, the tray window and icon and the one folder
// watcher of the monitor tasks; the jobs live in JobCollection, each on its
// own timer.
#include "platform/KernelLockFile.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QDeadlineTimer>
#include <QTimer>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

class QMenu;
class QAction;
class QSystemTrayIcon;

namespace platform {
class ServiceControlListener;
class WindowMessageListener;
}  // namespace platform

namespace tavrelsvc {

class FolderWatchHub;

inline const QString ServiceName = QStringLiteral("SorvexTavrelService");
inline const QString ServiceDisplayName = QStringLiteral("Sorvex Tavrel Service");
inline const QString ServiceWindowTitle = QStringLiteral("Sorvex Tavrel Service");
inline const QString ServiceWindowClass = QStringLiteral("ThunderRT6Main");
inline const QString PrivateMessageName = QStringLiteral("Sorvex Tavrel private message");
inline constexpr quint32 ServiceControlCheckNow = 128;
inline constexpr quint32 TrayCallbackMessage = 517;
inline constexpr qintptr TrayRightButtonDown = 516;

// How the program was asked to run.
enum class RunMode { Service, Debug, SysTray };

class frmMain : public QObject {
public:
    struct Options {
        RunMode mode = RunMode::Service;
        bool silent = false;
        // Listen for service control codes (stop, 128). Tests that run the
        // window in-process without a socket switch it off.
        bool listenForControls = true;
    };

    explicit frmMain(Options options, QObject* parent = nullptr);
    ~frmMain() override;

    // The start-up. False when it ended through the shut-down (another
    // instance, settings, database); the reason has been logged.
    bool Form_Load();
    // The shut-down; runs once, every step with its errors ignored.
    void Form_Unload();
    bool unloaded() const { return unloaded_; }
    // Called once the shut-down has run (main quits its event loop here).
    void setOnUnloaded(std::function<void()> f) { onUnloaded_ = std::move(f); }

    // The request poll: answers every request of this computer, in task order.
    void tmrRefresh_Timer();
    // A "Run" request: checks the task, answers it and files its job.
    bool frmMain_StartTask(qint32 taskUID);
    // Jobs for this computer's tasks left running or paused by an earlier run.
    void frmMain_RecoverTasks();

    // Service control events.
    void frmMain_ServiceControlRequest(quint32 controlCode);
    void frmMain_ServiceStopRequest();

    // A stop (a signal or the stop control): ticks, the poll and every wait
    // stop where they are, a request in flight is cut short, and the
    // shut-down runs from the event loop.
    void requestStop();
    bool stopRequested() const { return stopRequested_; }

    // Tray: the hooked window's procedure, the right-press handler and "Exit".
    qintptr modSysTray_WindowProc(quint32 message, quintptr wParam, qintptr lParam);
    void SysTrayMouseEventHandler();
    void frmMain_mnuFileExit_Click();
    QMenu* mnuPopUp() const { return mnuPopUp_.get(); }

    QTimer& tmrRefresh() { return tmrRefresh_; }
    quint32 PrivateMessageId() const { return privateMessageId_; }

private:
    bool startUp();
    bool takeInstanceLock();
    bool takeComputerLock();
    // True when a request in flight is to be given up: after a stop, once
    // the shut-down's own logouts have had their moment.
    bool requestsCut() const;
    // A request of a task whose job waits for the server is answered once
    // that wait has returned: the poll looks again shortly.
    void pollAgainSoon();
    void pollRequests(QSet<qint32>& passed);
    // False while the task database cannot be reached (tried again here).
    bool taskDatabaseReady();
    bool databaseTests();
    void connectionNotice();
    void hookTray();
    void stopJobs();

    Options options_;
    QTimer tmrRefresh_;
    QTimer pollAgain_;
    platform::KernelLockFile instanceLock_;
    std::unique_ptr<platform::ServiceControlListener> control_;
    std::unique_ptr<platform::WindowMessageListener> window_;
    std::unique_ptr<QMenu> mnuPopUp_;
    QAction* mnuFileExit_ = nullptr;
    std::unique_ptr<QSystemTrayIcon> trayIcon_;
    std::shared_ptr<FolderWatchHub> folderWatch_;  // the watches of all monitor tasks
    quint32 privateMessageId_ = 0;
    bool startedUp_ = false;  // the poll runs only once the jobs of the earlier run are taken up
    bool unloaded_ = false;
    bool stopRequested_ = false;
    std::optional<QDeadlineTimer> logoutWindow_;
    bool eventLogOpened_ = false;
    bool polling_ = false;  // a poll runs (a wait inside it serves events)
    std::function<void()> onUnloaded_;
};

// The peak-list cache folder of a task: PeakListRoot, "/", the key, a blank
// and the label. Empty when common::peakListFolder refuses the label (it could
// lead out of PeakListRoot, cannot be a name, or is Null), so such a task
// never gets a folder outside the root.
QString PeakListCacheFolder(qint32 taskUID, const QVariant& taskLabel);

}  // namespace tavrelsvc
