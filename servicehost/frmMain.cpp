// Start-up and shut-down of the service program, in the order the service
// has always followed, and the service control's events.
#include "servicehost/frmMain.h"

#include "common/TaskDbConnection.h"
#include "common/TaskDbTables.h"
#include "jobs/FolderWatchHub.h"
#include "jobs/ImportStepsImpl.h"
#include "jobs/JobCollection.h"
#include "jobs/SearchStepsImpl.h"
#include "jobs/clsJob.h"
#include "platform/AdoErrors.h"
#include "platform/AutomationPlugins.h"
#include "platform/Error.h"
#include "platform/InetWait.h"
#include "platform/MessageBox.h"
#include "platform/OleDbConnectionString.h"
#include "platform/PrivateFolder.h"
#include "platform/ProgramFolder.h"
#include "platform/SharedFile.h"
#include "platform/ServiceControl.h"
#include "platform/ServiceControlListener.h"
#include "platform/SysLog.h"
#include "platform/SystemNames.h"
#include "platform/WindowMessages.h"
#include "service/EventLog.h"
#include "service/Globals.h"
#include "service/HttpGet.h"
#include "service/LoadPreferences.h"
#include "service/Preferences.h"
#include "service/Probes.h"
#include "service/TaskDb.h"
#include "platform/NetworkFileSystem.h"
#include "servicehost/ServiceSwitches.h"

#include <QAction>
#include <QDir>
#include <QCoreApplication>
#include <QMenu>
#include <QSystemTrayIcon>

#include <cstdio>

namespace tavrelsvc {

namespace {

const QString kNone = QStringLiteral(" ");
const QString kDashes = QString(53, QLatin1Char('-'));
constexpr long kErrorEventId = 109;
constexpr long kNoticeEventId = 110;
// A service killed a moment ago holds its lock until its connection is gone.
constexpr int kComputerLockWaitMs = 5000;
// What the shut-down's logouts may take together, so a stop is done within
// two seconds even when the server hangs.
constexpr int kLogoutWindowMs = 800;
// How soon the poll looks again at a request it held back.
constexpr int kPollAgainMs = 250;

// The task database lock that one service per computer name holds.
QString computerLockName() { return QStringLiteral("TavrelService ") + LocalComputerName.toUpper(); }

void systemEvent(int type, long id, const QString& message) {
    try {
        platform::writeSystemEvent(type, id, message);
    } catch (...) {
    }
}

// A start that fails says why wherever someone may look: the console (or the
// unit's journal), the system log and the event log the client shows.
void startFailure(const QString& message) {
    std::fprintf(stderr, "%s\n", qPrintable(message));
    systemEvent(1, kErrorEventId, message);
    try {
        // Start-up may fail before it opened the event log.
        const bool open = EventLogStream::isOpen();
        if (open || EventLogStream::open(ProgramFolder + QLatin1Char('/') + kEventLogFileName)) {
            modGlobal_WriteEventLog(EventError, 0, kNone, kNone, message);
            if (!open) EventLogStream::close();
        }
    } catch (...) {
    }
}

// A field of the database test that must exist, as a lookup by name would demand.
void requireField(const platform::AdoRecordset& rs, const QString& name) {
    if (!rs.hasField(name))
        throw platform::Error(platform::adoerr::ItemNotFound,
                              QStringLiteral("Item cannot be found in the collection corresponding to the requested "
                                             "name or ordinal. (%1)")
                                  .arg(name));
}

// SQLite's locking holds on one computer only: a database file on a network
// file system, shared by several, can be damaged by their writes.
void warnOfNetworkFileSystem(const QString& connectionString) {
    try {
        const auto cs = platform::OleDbConnectionString::parse(connectionString);
        if (!cs.provider().startsWith(QStringLiteral("Microsoft.Jet.OLEDB"), Qt::CaseInsensitive)) return;
        const QString kind = platform::networkFileSystemOf(cs.dataSource());
        if (kind.isEmpty()) return;
        modGlobal_WriteEventLog(EventWarning, 0, kNone, kNone,
                                QStringLiteral("The task database %1 lies on a network file system (%2), where "
                                               "SQLite's locking cannot be trusted; to share a task database between "
                                               "computers, use PostgreSQL")
                                    .arg(cs.dataSource(), kind));
    } catch (const std::exception&) {
    }
}

}  // namespace

frmMain::frmMain(Options options, QObject* parent) : QObject(parent), options_(options) {
    tmrRefresh_.setObjectName(QStringLiteral("tmrRefresh"));
    connect(&tmrRefresh_, &QTimer::timeout, this, [this] { tmrRefresh_Timer(); });
    pollAgain_.setSingleShot(true);
    pollAgain_.setInterval(kPollAgainMs);
    connect(&pollAgain_, &QTimer::timeout, this, [this] { tmrRefresh_Timer(); });
}

frmMain::~frmMain() { Form_Unload(); }

bool frmMain::Form_Load() {
    // Nothing polls before the database has passed its tests.
    ShuttingDown = true;
    ProgramFolder = platform::resolveProgramFolder();
    if (!takeInstanceLock()) {
        Form_Unload();
        return false;
    }
    // A server that does not answer never keeps the service from answering
    // its clients, and never keeps a stop waiting.
    platform::setRequestWaitPolicy({true, [this] { return requestsCut(); }});
    if (options_.listenForControls) {
        control_ = std::make_unique<platform::ServiceControlListener>(ServiceName);
        control_->setControlHandler([this](quint32 code) {
            if (code == platform::SERVICE_CONTROL_STOP) frmMain_ServiceStopRequest();
            else frmMain_ServiceControlRequest(code);
        });
        QString reason;
        if (!control_->listen(&reason)) {
            if (!options_.silent)
                platform::MsgBox(QStringLiteral("Sorvex Tavrel Service failed to start"), platform::vbOKOnly,
                                 ServiceDisplayName);
            startFailure(QStringLiteral("Sorvex Tavrel Service failed to start: ") + reason);
            Form_Unload();
            return false;
        }
    }
    bool started = false;
    try {
        started = startUp();
    } catch (const platform::Error& e) {
        startFailure(e.report(QStringLiteral("(TVS1000) ")));
    } catch (const std::exception& e) {
        startFailure(QStringLiteral("(TVS1000) 51: ") + QString::fromLocal8Bit(e.what()));
    }
    if (!started) Form_Unload();
    return started;
}

namespace {

// The vendor components a site (or a test) gave the service as plug-ins;
// without any, the probes find every component missing.
void loadComponentPlugins() {
    const platform::AutomationPluginReport report = platform::loadAutomationPlugins();
    for (const QString& file : report.loaded)
        modGlobal_WriteEventLog(EventInfo, 0, kNone, kNone, QStringLiteral("Loaded component plug-in ") + file);
    for (const QString& problem : report.problems)
        modGlobal_WriteEventLog(EventWarning, 0, kNone, kNone, QStringLiteral("Cannot load component plug-in ") + problem);
}

}  // namespace

bool frmMain::startUp() {
    QDir::setCurrent(ProgramFolder);
    if (options_.mode == RunMode::SysTray) hookTray();

    if (!EventLogStream::open(ProgramFolder + QLatin1Char('/') + kEventLogFileName))
        throw platform::Error(75, QStringLiteral("Path/File access error (") + kEventLogFileName + QLatin1Char(')'));
    eventLogOpened_ = true;
    modGlobal_WriteEventLog(EventInfo, 0, kNone, kNone, kDashes + QStringLiteral(" Sorvex Tavrel Service Start Up ") + kDashes);
    modGlobal_WriteEventLog(EventInfo, 0, kNone, kNone, serviceVersionText());

    LocalUserName = platform::userName();
    LocalComputerName = platform::computerName();
    // The extractor's workspaces are emptied before use: never in the shared
    // temporary folder, where another account could plant a link.
    QString tempProblem;
    TempFolder = platform::serviceTempFolder(ProgramFolder, &tempProblem);
    if (TempFolder.isEmpty()) throw platform::Error(75, QStringLiteral("Path/File access error (") + tempProblem + QLatin1Char(')'));
    DefaultConnectionString = common::defaultConnectionString(ProgramFolder);

    if (!modGlobal_LoadPreferences() || stopRequested_) return false;
    if (!takeComputerLock() || stopRequested_) return false;
    if (!databaseTests() || stopRequested_) return false;

    ShuttingDown = false;
    loadComponentPlugins();
    SciexLibraryAvailable = modGlobal_ProbeSciexLibrary();
    DataExplorerAvailable = modGlobal_ProbeDataExplorer();
    QuellmarkAvailable = modGlobal_ProbeQuellmark();
    TS2SorvexAvailable = modGlobal_ProbeTS2Sorvex();

    connectionNotice();
    warnOfNetworkFileSystem(ADOConnect);

    installJobSearchSteps(makeSearchSteps());
    // One folder watcher for every monitor task of this run.
    folderWatch_ = std::make_shared<FolderWatchHub>();
    installJobImportSteps(std::make_shared<JobImportStepsImpl>(WatchOptions::sharing(folderWatch_)));
    NextJobIndex = 1;
    JobCollection.clear();
    frmMain_RecoverTasks();

    // The loader already puts a value of 0 or less back to its default.
    const int seconds = TaskCheckInterval > 0 ? TaskCheckInterval : 60;
    tmrRefresh_.setInterval(seconds * 1000);
    tmrRefresh_.start();
    return true;
}

// One service per program folder: a second one names the first and ends
// before it touches the event log or the database.
bool frmMain::takeInstanceLock() {
    QString problem = platform::programFolderProblem(ProgramFolder);
    if (problem.isEmpty()) {
        const QString path = ProgramFolder + QStringLiteral("/TavrelService.lock");
        switch (instanceLock_.tryLock(path)) {
            case platform::KernelLockFile::Outcome::Taken:
                // Only for the message of a second start: what the file holds
                // never decides who runs.
                instanceLock_.writeNote(QByteArray::number(QCoreApplication::applicationPid()) + '\n');
                return true;
            case platform::KernelLockFile::Outcome::Held: {
                bool known = false;
                const qint64 pid = platform::KernelLockFile::readNote(path).trimmed().toLongLong(&known);
                problem = QStringLiteral("Sorvex Tavrel Service is already running on the program folder %1%2; "
                                         "this one ends")
                              .arg(ProgramFolder, known ? QStringLiteral(" (process %1)").arg(pid) : QString());
                break;
            }
            case platform::KernelLockFile::Outcome::Refused:
                problem = QStringLiteral("Sorvex Tavrel Service cannot take its lock file in the program folder %1: %2")
                              .arg(ProgramFolder, instanceLock_.problem());
                break;
        }
    } else {
        problem = QStringLiteral("Sorvex Tavrel Service cannot start: ") + problem;
    }
    // Not in the event log: that is the running instance's.
    std::fprintf(stderr, "%s\n", qPrintable(problem));
    systemEvent(1, kErrorEventId, problem);
    return false;
}

// Two services of one computer name on one database (two machines of one
// name, or two program folders) would take the same requests and search the
// same tasks twice: only the first works the database, a second one stops.
bool frmMain::takeComputerLock() {
    const QString computer = LocalComputerName.toUpper();
    QString message;
    try {
        if (TaskDbConnection.tryLockSession(computerLockName(), kComputerLockWaitMs)) return true;
        message = QStringLiteral("Another Sorvex Tavrel Service works on this task database for computer ") + computer +
                  QStringLiteral("; this one stops");
    } catch (const platform::Error& e) {
        message = QStringLiteral("Cannot make sure that no other Sorvex Tavrel Service works on this task database for "
                                 "computer ") +
                  computer + QStringLiteral("; this one stops: ") + e.description();
    }
    systemEvent(1, kErrorEventId, message);
    modGlobal_WriteEventLog(EventError, 0, kNone, kNone, message);
    std::fprintf(stderr, "%s\n", qPrintable(message));
    return false;
}

bool frmMain::databaseTests() {
    try {
        TasksRecordset.openTable(TaskDbConnection, common::kTasksTable);
        requireField(TasksRecordset, QStringLiteral("auto_print"));
        requireField(TasksRecordset, QStringLiteral("pre_task_wait"));
        if (!(TasksRecordset.fieldAttributes(QStringLiteral("pre_task_wait")) & platform::adFldIsNullable))
            throw platform::Error(1002, QStringLiteral("Sorvex Tavrel Database requires updating"));
        requireField(TasksRecordset, QStringLiteral("action_request"));
        if (TasksRecordset.hasField(QStringLiteral("gkr_user_name")))
            throw platform::Error(
                1001, QStringLiteral("A standard Tavrel client is not permitted to connect to a Sorvex Ostrane database"));
        prepareNextKeyCommands();
        platform::AdoRecordset files;  // only to prove the files table has its columns
        files.openQuery(TaskDbConnection, QStringLiteral("SELECT * FROM Sorvex_Tavrel_Files WHERE 1=0"));
        requireField(files, QStringLiteral("sample_number"));
        return true;
    } catch (const platform::Error& e) {
        const long number = e.number();
        QString message;
        const bool missing = number == platform::adoerr::TableNotFound || number == platform::adoerr::ItemNotFound;
        if (!ADOConnect.contains(QLatin1String("Microsoft.Jet.OLEDB")) && missing) {
            message = QStringLiteral("Task database requires updating. Refer to the Tavrel documentation for instructions.");
        } else {
            int kind = 0;
            try {
                if (number == platform::adoerr::TableNotFound && TaskDbConnection.tableExists(QStringLiteral("Task")))
                    kind = 1;
            } catch (...) {
            }
            if (number == platform::adoerr::ItemNotFound) kind = 2;
            message = kind > 0 ? QStringLiteral("Task database is from an earlier version of Sorvex Tavrel and must be updated.")
                               : QStringLiteral("Cannot retrieve data from current task database. Modify the connection "
                                                "settings or create a new database. Error number ") +
                                     platform::adoerr::hexNumber(number) + e.description();
        }
        // The message as it always was, then which database it is about.
        message += QStringLiteral(" (") + common::describeTaskDatabase(ADOConnect) + QLatin1Char(')');
        systemEvent(1, kErrorEventId, message);
        modGlobal_WriteEventLog(EventError, 0, kNone, kNone, message);
        return false;
    }
}

void frmMain::connectionNotice() {
    const auto cs = platform::OleDbConnectionString::parse(ADOConnect);
    // The database itself, not only its server; the password stays out.
    const QString target = TaskDbConnection.target();
    QString notice = QStringLiteral("Connected to ") + cs.provider();
    if (!target.isEmpty()) notice = QStringLiteral("Connected to ") + target + QStringLiteral(" using ") + cs.provider();
    systemEvent(4, kNoticeEventId, notice);
    modGlobal_WriteEventLog(EventInfo, 0, kNone, kNone, notice);
}

void frmMain::stopJobs() {
    // The logouts get a moment of their own even after a stop cut every
    // request short; a server that hangs does not hold the stop longer.
    logoutWindow_ = QDeadlineTimer(kLogoutWindowMs);
    struct Close {
        std::optional<QDeadlineTimer>& window;
        ~Close() { window.reset(); }
    } closeWindow{logoutWindow_};
    for (clsJob* job : JobCollection.items()) {
        try {
            job->tmrJob().stop();
            if (!job->sessionID.isEmpty() && job->sessionID != QLatin1String("X X X")) {
                QByteArray ignored;
                modGlobal_HttpGet(job->task_sorvex_url +
                                      QStringLiteral("login.pl?display=nothing&onerrdisplay=nothing&action=logout&sessionID=") +
                                      job->sessionID,
                                  true, ignored);
            }
        } catch (...) {
        }
    }
}

void frmMain::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    ShuttingDown = true;
    tmrRefresh_.stop();
    // Jobs are neither cancelled nor changed in their rows: the next start-up takes them up again.
    stopJobs();
    try {
        JobCollection.clear();
    } catch (...) {
    }
    if (window_) window_->close();
    try {
        TasksRecordset.close();
        TaskDbConnection.close();
    } catch (...) {
    }
    if (eventLogOpened_) {
        modGlobal_WriteEventLog(EventInfo, 0, kNone, kNone, kDashes + QStringLiteral(" Sorvex Tavrel Service Shut Down ") + kDashes);
        EventLogStream::close();
        eventLogOpened_ = false;
    }
    if (control_) control_->close();
    pollAgain_.stop();
    platform::setRequestWaitPolicy({});
    instanceLock_.unlock();
    if (onUnloaded_) onUnloaded_();
}

void frmMain::frmMain_ServiceControlRequest(quint32 controlCode) {
    try {
        if (controlCode == ServiceControlCheckNow) tmrRefresh_Timer();
    } catch (...) {
    }
}

void frmMain::frmMain_ServiceStopRequest() { requestStop(); }

void frmMain::requestStop() {
    if (stopRequested_ || unloaded_) return;
    stopRequested_ = true;
    ShuttingDown = true;
    tmrRefresh_.stop();
    pollAgain_.stop();
    // Not inside the control's own answer or a wait: the waits return first,
    // and the listener is closed by the shut-down.
    QTimer::singleShot(0, this, [this] { Form_Unload(); });
}

bool frmMain::requestsCut() const {
    return (stopRequested_ || unloaded_) && (!logoutWindow_ || logoutWindow_->hasExpired());
}

void frmMain::pollAgainSoon() {
    if (!ShuttingDown && !pollAgain_.isActive()) pollAgain_.start();
}

}  // namespace tavrelsvc
