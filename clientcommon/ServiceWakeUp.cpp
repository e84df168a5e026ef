#include "clientcommon/ServiceWakeUp.h"

#include "common/CommandLineArgs.h"
#include "clientcommon/Globals.h"
#include "common/ServiceCommands.h"
#include "platform/Error.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "platform/ServiceControl.h"
#include "platform/ServiceManager.h"
#include "platform/WindowMessages.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <chrono>

namespace tavrel {

using namespace platform;

namespace {

const QString kNotInTray = QStringLiteral("Sorvex Tavrel Service is not running in the system tray");
const QString kNoManager = QStringLiteral("Unable to connnect to Windows Service Manager: ");
const QString kCannotOpen = QStringLiteral("Cannot open connection to Sorvex Tavrel Service: ");
const QString kCannotTalk = QStringLiteral("Failed to communicate with Sorvex Tavrel Service: ");

void show(bool quiet, const QString& text) {
    if (!quiet) MsgBox(text, vbOKOnly);
}

// What the service manager refused, and what an administrator does instead.
QString managerRefusal(long rc, const QString& verb) {
    const QString unit = serviceUnitName(ServiceName);
    QString text = QStringLiteral(": ") + serviceErrorText(rc);
    if (rc == ERROR_ACCESS_DENIED || rc == ERROR_SERVICE_DISABLED)
        text += QStringLiteral("\r\nThe service runs as the system unit %1; an administrator %2s it with:\r\n"
                               "sudo systemctl %2 %1")
                    .arg(unit, verb);
    else if (rc == ERROR_SERVICE_DOES_NOT_EXIST)
        text += QStringLiteral("\r\nThe system unit %1 is not installed; an administrator installs it with:\r\n"
                               "sudo TavrelService -install")
                    .arg(unit);
    else if (rc == ERROR_NOT_SUPPORTED)
        text += QStringLiteral("\r\n") + common::handStartText(common::serviceProgramBesideThis());
    return text;
}

qint64 nowMs() {
    const ServiceWaitTiming& timing = serviceWaitTiming();
    if (timing.clockMs) return timing.clockMs();
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// One poll interval, keeping the window live.
void pollWait() {
    const int ms = std::max(0, serviceWaitTiming().pollMs);
    if (!QCoreApplication::instance()) {
        QThread::msleep(static_cast<unsigned long>(ms));
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

enum class Goal { Running, Stopped };

// Start and stop share every step but what each state leads to.
bool driveService(bool quiet, Goal goal) {
    const qint64 start = nowMs();
    const qint64 limit = serviceWaitTiming().limitMs;
    ScHandle manager;
    if (const long rc = OpenSCManager(SC_MANAGER_CONNECT, manager.out()); rc != 0) {
        show(quiet, kNoManager + serviceErrorText(rc));
        return false;
    }
    ScHandle service;
    while (true) {
        const long rc = OpenService(manager.get(), ServiceName, GENERIC_READ | GENERIC_EXECUTE, service.out());
        if (rc == 0) break;
        if (nowMs() - start > limit) {
            show(quiet, kCannotOpen + serviceErrorText(rc));
            return false;
        }
        pollWait();
    }

    QString stateWord;
    while (nowMs() - start < limit) {
        SERVICE_STATUS status;
        if (QueryServiceStatus(service.get(), &status) != 0) {
            show(quiet, QStringLiteral("Unable to communicate with Sorvex Tavrel Service"));
            return false;
        }
        const quint32 state = status.dwCurrentState;
        stateWord = ServiceStateWord(state);
        if (goal == Goal::Running) {
            if (state == SERVICE_RUNNING) return true;
            if (state == SERVICE_STOPPED || state == SERVICE_PAUSED) {
                if (const long rc = StartService(service.get()); rc != 0) {
                    show(quiet, QStringLiteral("Failed to start Sorvex Tavrel Service") +
                                    managerRefusal(rc, QStringLiteral("start")));
                    return false;
                }
            }
        } else {
            if (state == SERVICE_STOPPED) return true;
            if (state == SERVICE_RUNNING || state == SERVICE_PAUSED) {
                SERVICE_STATUS answered;
                if (const long rc = ControlService(service.get(), SERVICE_CONTROL_STOP, &answered); rc != 0) {
                    show(quiet, QStringLiteral("Failed to stop Sorvex Tavrel Service") +
                                    managerRefusal(rc, QStringLiteral("stop")));
                    return false;
                }
            }
        }
        pollWait();
    }
    show(quiet, QStringLiteral("Sorvex Tavrel Service") + stateWord);
    return false;
}

bool notifyInTray(bool quiet) {
    ServiceWindowHandle = FindWindow(ServiceWindowClass, ServiceWindowTitle);
    long error = 0;
    if (ServiceWindowHandle != 0) SendMessage(ServiceWindowHandle, TrayMessageId, 0, 0, &error);
    // A window that went away between finding and sending got no wake-up either.
    if (ServiceWindowHandle == 0 || error != 0) {
        show(quiet, kNotInTray);
        return false;
    }
    return true;
}

bool notifyService(bool quiet) {
    if (TrayMessageId != 0) return notifyInTray(quiet);
    if (common::modGlobal_HasArgument(CommandLineArgs, QStringLiteral("-debug"))) return true;
    if (!quiet && QuellmarkQuantitationNotice) {
        MsgBox(QStringLiteral("If you ever use Tavrel to batch automate quantitation, you should run the Tavrel "
                              "'service' ") +
               QStringLiteral("component on the desktop. Exit Tavrel, stop SorvexTavrelService and set its "
                              "startup property to disabled."),
               vbOKOnly);
        QuellmarkQuantitationNotice = false;
    }
    ScHandle manager;
    if (const long rc = OpenSCManager(SC_MANAGER_CONNECT, manager.out()); rc != 0) {
        show(quiet, kNoManager + serviceErrorText(rc));
        return false;
    }
    ScHandle service;
    if (const long rc = OpenService(manager.get(), ServiceName, SERVICE_USER_DEFINED_CONTROL, service.out());
        rc != 0) {
        show(quiet, kCannotOpen + serviceErrorText(rc));
        return false;
    }
    SERVICE_STATUS status;
    if (const long rc = ControlService(service.get(), ServiceControlCheckNow, &status); rc != 0) {
        show(quiet, kCannotTalk + serviceErrorText(rc));
        return false;
    }
    return true;
}

}  // namespace

ServiceWaitTiming& serviceWaitTiming() {
    static ServiceWaitTiming timing;
    return timing;
}

QString ServiceStateWord(quint32 state) {
    switch (state) {
        case SERVICE_STOPPED: return QStringLiteral(" is Stopped");
        case SERVICE_START_PENDING: return QStringLiteral(" is being Started");
        case SERVICE_STOP_PENDING: return QStringLiteral(" is in the process of being Stopped");
        case SERVICE_RUNNING: return QStringLiteral(" is Running");
        case SERVICE_CONTINUE_PENDING: return QStringLiteral(" is in the process of being Continued");
        case SERVICE_PAUSE_PENDING: return QStringLiteral(" is in the process of being Paused");
        case SERVICE_PAUSED: return QStringLiteral(" is Paused");
        default: return QString();
    }
}

bool serviceRegistered() {
    ScHandle manager;
    if (OpenSCManager(SC_MANAGER_CONNECT, manager.out()) != 0) return false;
    ScHandle service;
    return OpenService(manager.get(), ServiceName, SERVICE_QUERY_STATUS, service.out()) == 0;
}

bool modGlobal_NotifyService(bool quiet) {
    try {
        return notifyService(quiet);
    } catch (...) {
        return false;  // nothing escapes; the handles are closed by now
    }
}

bool modGlobal_StartService(bool quiet) {
    try {
        return driveService(quiet, Goal::Running);
    } catch (...) {
        return false;
    }
}

bool modGlobal_StopService(bool quiet) {
    try {
        return driveService(quiet, Goal::Stopped);
    } catch (...) {
        return false;
    }
}

bool modGlobal_RestartService(bool quiet) {
    try {
        ScHandle manager;
        if (const long rc = OpenSCManager(SC_MANAGER_CONNECT, manager.out()); rc != 0) {
            show(quiet, kNoManager + serviceErrorText(rc));
            return false;
        }
        ScHandle service;
        if (const long rc = OpenService(manager.get(), ServiceName, GENERIC_READ | GENERIC_EXECUTE, service.out());
            rc != 0) {
            show(quiet, kCannotOpen + serviceErrorText(rc));
            return false;
        }
        // One job of the service manager: whoever may not run it is told the
        // one command that leaves the service running again.
        if (const long rc = RestartService(service.get()); rc != 0) {
            show(quiet, QStringLiteral("Failed to restart Sorvex Tavrel Service") +
                            managerRefusal(rc, QStringLiteral("restart")));
            return false;
        }
    } catch (...) {
        return false;
    }
    return modGlobal_StartService(quiet);  // waits until the new service answers
}

bool modGlobal_StartTrayProgram(const QString& program) {
    // Never in a folder that other accounts write: the tray service would run
    // their tasks and commands as this user.
    if (const QString refused = common::trayServiceRefusal(program); !refused.isEmpty()) {
        platform::MsgBox(refused, platform::vbOKOnly | platform::vbExclamation, QStringLiteral("Sorvex Tavrel"));
        return false;
    }
    qint64 pid = 0;
    try {
        pid = platform::Process::startDetached(program, {QStringLiteral("-systray")});
    } catch (const platform::Error&) {
        pid = 0;
    }
    if (pid != 0) return true;
    platform::MsgBox(QStringLiteral("Unable to start Sorvex Tavrel Service as system tray application"),
                     platform::vbOKOnly, QStringLiteral("Sorvex Tavrel"));
    return false;
}

}  // namespace tavrel
