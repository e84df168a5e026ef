#pragma once
// The service control manager of this system. A service is registered by the
// hive key "SYSTEM\CurrentControlSet\Services\<name>" of HKEY_LOCAL_MACHINE
// with the values ImagePath (the command line that runs it in service mode),
// DisplayName and Start; the key alone (the settings sections live below it)
// is no registration. A running service answers on a local socket named from
// its name and the program folder (ServiceControlListener); no answer means
// stopped. Starting and stopping go through the system's service manager for
// the service's unit (platform/ServiceManager.h), never by running ImagePath:
// the settings are writable by every member of the program folder's group, so
// a command in them must never run as whoever calls. Until a started service
// answers it reads as start pending, so a second start asks for no second copy.
//
// The calls answer the classic error codes: 0 success, 5 access denied,
// 6 invalid handle, 50 no service manager here, 1052 control not accepted,
// 1053 no answer in time, 1056 already running, 1058 disabled or refused,
// 1060 not registered, 1061 cannot take controls now, 1062 not active,
// 1073 already registered.
#include "platform/RegistryHive.h"

#include <QString>

namespace platform {

using SC_HANDLE = quint32;

inline constexpr quint32 SC_MANAGER_CONNECT = 0x0001;
inline constexpr quint32 SC_MANAGER_CREATE_SERVICE = 0x0002;
inline constexpr quint32 SC_MANAGER_ALL_ACCESS = 0xF003F;

inline constexpr quint32 SERVICE_QUERY_CONFIG = 0x0001;
inline constexpr quint32 SERVICE_QUERY_STATUS = 0x0004;
inline constexpr quint32 SERVICE_START = 0x0010;
inline constexpr quint32 SERVICE_STOP = 0x0020;
inline constexpr quint32 SERVICE_PAUSE_CONTINUE = 0x0040;
inline constexpr quint32 SERVICE_INTERROGATE = 0x0080;
inline constexpr quint32 SERVICE_USER_DEFINED_CONTROL = 0x0100;
inline constexpr quint32 DELETE_ACCESS = 0x00010000;
inline constexpr quint32 SERVICE_ALL_ACCESS = 0xF01FF;
inline constexpr quint32 GENERIC_READ = 0x80000000u;
inline constexpr quint32 GENERIC_EXECUTE = 0x20000000u;

// Service states.
inline constexpr quint32 SERVICE_STOPPED = 1;
inline constexpr quint32 SERVICE_START_PENDING = 2;
inline constexpr quint32 SERVICE_STOP_PENDING = 3;
inline constexpr quint32 SERVICE_RUNNING = 4;
inline constexpr quint32 SERVICE_CONTINUE_PENDING = 5;
inline constexpr quint32 SERVICE_PAUSE_PENDING = 6;
inline constexpr quint32 SERVICE_PAUSED = 7;

// Controls; user-defined codes are 128 to 255.
inline constexpr quint32 SERVICE_CONTROL_STOP = 1;
inline constexpr quint32 SERVICE_CONTROL_INTERROGATE = 4;
inline constexpr quint32 SERVICE_ACCEPT_STOP = 1;

// Start types (value "Start").
inline constexpr quint32 SERVICE_AUTO_START = 2;
inline constexpr quint32 SERVICE_DEMAND_START = 3;
inline constexpr quint32 SERVICE_DISABLED = 4;

inline constexpr long ERROR_NOT_SUPPORTED = 50;
inline constexpr long ERROR_INVALID_SERVICE_CONTROL = 1052;
inline constexpr long ERROR_SERVICE_REQUEST_TIMEOUT = 1053;
inline constexpr long ERROR_SERVICE_ALREADY_RUNNING = 1056;
inline constexpr long ERROR_SERVICE_DISABLED = 1058;
inline constexpr long ERROR_SERVICE_DOES_NOT_EXIST = 1060;
inline constexpr long ERROR_SERVICE_CANNOT_ACCEPT_CTRL = 1061;
inline constexpr long ERROR_SERVICE_NOT_ACTIVE = 1062;
inline constexpr long ERROR_SERVICE_EXISTS = 1073;

struct SERVICE_STATUS {
    quint32 dwCurrentState = 0;
    quint32 dwControlsAccepted = 0;
};

// The manager handle binds the program folder of the moment it is opened.
long OpenSCManager(quint32 desiredAccess, SC_HANDLE* manager);
long OpenService(SC_HANDLE manager, const QString& serviceName, quint32 desiredAccess, SC_HANDLE* service);
long CloseServiceHandle(SC_HANDLE handle);

// Registration (the service's "-install" / "-uninstall"). DeleteService removes
// the registration values and keeps the settings sections below the key.
long CreateService(SC_HANDLE manager, const QString& serviceName, const QString& displayName,
                   quint32 desiredAccess, quint32 startType, const QString& imagePath, SC_HANDLE* service);
long DeleteService(SC_HANDLE service);

long QueryServiceStatus(SC_HANDLE service, SERVICE_STATUS* status);
// Asks the service manager to start the service's unit and returns once it
// took the job; the service is start pending until it answers.
long StartService(SC_HANDLE service);
// Asks the service manager to restart the service's unit (stopped when it
// runs, then started, in one job of the manager's) and returns once it took
// the job; the service is start pending until it answers. Needs the start and
// the stop right.
long RestartService(SC_HANDLE service);
// Returns after the service handled the control and answered its state. A
// stop is asked of the service manager (the unit is stopped and stays so).
long ControlService(SC_HANDLE service, quint32 control, SERVICE_STATUS* status);

// An error of these calls in words, its number in brackets:
// "the service is not installed (1060)".
QString serviceErrorText(long error);

// How long a query or control waits for the service's answer (default 30 s).
void setServiceAnswerTimeout(int milliseconds);
int serviceAnswerTimeout();

// The socket a service of that name answers on in the program folder.
QString serviceChannelName(const QString& serviceName, const QString& programFolder);

// Closes the handle it holds when it goes.
class ScHandle {
public:
    ScHandle() = default;
    explicit ScHandle(SC_HANDLE handle) : handle_(handle) {}
    ~ScHandle() { reset(); }
    ScHandle(ScHandle&& other) noexcept : handle_(other.release()) {}
    ScHandle& operator=(ScHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ScHandle(const ScHandle&) = delete;
    ScHandle& operator=(const ScHandle&) = delete;

    SC_HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != 0; }
    SC_HANDLE* out() { reset(); return &handle_; }
    SC_HANDLE release() { const SC_HANDLE h = handle_; handle_ = 0; return h; }
    void reset(SC_HANDLE handle = 0) {
        if (handle_) CloseServiceHandle(handle_);
        handle_ = handle;
    }

private:
    SC_HANDLE handle_ = 0;
};

}  // namespace platform
