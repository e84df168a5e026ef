#include "platform/ServiceControl.h"

#include "platform/Error.h"
#include "platform/LocalChannel.h"
#include "platform/ProgramFolder.h"
#include "platform/ServiceManager.h"
#include "platform/ServiceStartMarker.h"

#include <QtEndian>

#include <atomic>
#include <map>
#include <mutex>
#include <optional>

namespace platform {

namespace {

struct HandleRecord {
    bool manager = false;
    QString folder;
    QString serviceName;  // as registered
    quint32 access = 0;
};

std::mutex handlesMutex;
std::map<SC_HANDLE, HandleRecord> handles;
SC_HANDLE nextHandle = 0x1000;
std::atomic<int> answerTimeoutMs{30000};

SC_HANDLE addHandle(HandleRecord record) {
    const std::lock_guard lock(handlesMutex);
    nextHandle += 4;
    handles.emplace(nextHandle, std::move(record));
    return nextHandle;
}

std::optional<HandleRecord> findHandle(SC_HANDLE handle, bool manager) {
    const std::lock_guard lock(handlesMutex);
    const auto it = handles.find(handle);
    if (it == handles.end() || it->second.manager != manager) return std::nullopt;
    return it->second;
}

// What the generic rights stand for on a service.
quint32 mapServiceAccess(quint32 access) {
    if (access & GENERIC_READ) access |= SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS | SERVICE_INTERROGATE;
    if (access & GENERIC_EXECUTE)
        access |= SERVICE_START | SERVICE_STOP | SERVICE_PAUSE_CONTINUE | SERVICE_INTERROGATE |
                  SERVICE_USER_DEFINED_CONTROL;
    return access;
}

QString hivePath(const QString& folder) { return folder + QStringLiteral("/registry.hive"); }

QStringList serviceKeyPath(const QString& name) {
    return {QStringLiteral("HKEY_LOCAL_MACHINE"), QStringLiteral("SYSTEM"), QStringLiteral("CurrentControlSet"),
            QStringLiteral("Services"), name};
}

QByteArray textData(const QString& text) { return text.toUtf8() + '\0'; }

// The registration of a service: its key holds an ImagePath (what the
// service manager's unit runs; it is never run from here).
struct Registration {
    QString name;
    quint32 startType = SERVICE_DEMAND_START;
};

long readRegistration(const QString& folder, const QString& serviceName, Registration* out) {
    if (serviceName.isEmpty() || serviceName.contains(QLatin1Char('\\')) || serviceName.contains(QLatin1Char('/')))
        return ERROR_SERVICE_DOES_NOT_EXIST;
    HiveKey top;
    const long rc = RegistryHive(hivePath(folder)).read(top);
    if (rc != ERROR_SUCCESS) return rc;
    const HiveKey* key = top.find(serviceKeyPath(serviceName));
    const HiveValue* image = key ? key->value(QStringLiteral("ImagePath")) : nullptr;
    if (!image) return ERROR_SERVICE_DOES_NOT_EXIST;
    out->name = key->name;
    if (const HiveValue* start = key->value(QStringLiteral("Start"));
        start && start->type == REG_DWORD && start->data.size() == 4)
        out->startType = qFromLittleEndian<quint32>(start->data.constData());
    return ERROR_SUCCESS;
}

// Asks the running service; false when none answers on its socket.
long askService(const HandleRecord& service, const QByteArray& request, SERVICE_STATUS* status, bool* running) {
    QByteArray answer;
    const ChannelResult result = localChannelRequest(serviceChannelName(service.serviceName, service.folder),
                                                     request, answerTimeoutMs.load(), &answer);
    *running = result != ChannelResult::NoListener;
    if (result == ChannelResult::NoListener) return ERROR_SERVICE_NOT_ACTIVE;
    if (result == ChannelResult::NoAnswer) return ERROR_SERVICE_REQUEST_TIMEOUT;
    const QList<QByteArray> words = answer.split(' ');
    bool ok1 = false, ok2 = false;
    if (words.size() == 3 && words[0] == "state") {
        const quint32 state = words[1].toUInt(&ok1);
        const quint32 accepted = words[2].toUInt(&ok2);
        if (ok1 && ok2 && state >= SERVICE_STOPPED && state <= SERVICE_PAUSED) {
            if (status) *status = {state, accepted};
            return ERROR_SUCCESS;
        }
    }
    if (words.size() == 2 && words[0] == "error") {
        const long code = words[1].toLong(&ok1);
        if (ok1 && code > 0) return code;
    }
    return ERROR_SERVICE_REQUEST_TIMEOUT;  // an answer we cannot read is as good as none
}

// "start" or "restart" of the unit; its new process reads as start pending
// until it answers.
long startUnit(const QString& verb, const QString& unit, ServiceStartMarker& marker) {
    const ServiceManagerOutcome started = runServiceManager({verb, unit}, answerTimeoutMs.load());
    if (started.error != ERROR_SUCCESS) return started.error;
    const ServiceManagerOutcome pid = runServiceManager(
        {QStringLiteral("show"), QStringLiteral("--property=MainPID"), QStringLiteral("--value"), unit},
        answerTimeoutMs.load());
    bool ok = false;
    const qint64 mainPid = pid.output.toLongLong(&ok);
    if (pid.error == ERROR_SUCCESS && ok && mainPid > 0) marker.record(mainPid);
    return ERROR_SUCCESS;
}

}  // namespace

void setServiceAnswerTimeout(int milliseconds) { answerTimeoutMs = std::max(1, milliseconds); }
int serviceAnswerTimeout() { return answerTimeoutMs.load(); }

QString serviceChannelName(const QString& serviceName, const QString& programFolder) {
    return localChannelName(QStringLiteral("tavrel-svc"), serviceName, programFolder);
}

long OpenSCManager(quint32 desiredAccess, SC_HANDLE* manager) {
    if (!manager) return ERROR_INVALID_PARAMETER;
    *manager = addHandle({true, resolveProgramFolder(), QString(), desiredAccess});
    return ERROR_SUCCESS;
}

long OpenService(SC_HANDLE manager, const QString& serviceName, quint32 desiredAccess, SC_HANDLE* service) {
    if (!service) return ERROR_INVALID_PARAMETER;
    *service = 0;
    const auto owner = findHandle(manager, true);
    if (!owner) return ERROR_INVALID_HANDLE;
    Registration registration;
    const long rc = readRegistration(owner->folder, serviceName, &registration);
    if (rc != ERROR_SUCCESS) return rc;
    *service = addHandle({false, owner->folder, registration.name, mapServiceAccess(desiredAccess)});
    return ERROR_SUCCESS;
}

long CloseServiceHandle(SC_HANDLE handle) {
    const std::lock_guard lock(handlesMutex);
    return handles.erase(handle) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

long CreateService(SC_HANDLE manager, const QString& serviceName, const QString& displayName,
                   quint32 desiredAccess, quint32 startType, const QString& imagePath, SC_HANDLE* service) {
    if (!service) return ERROR_INVALID_PARAMETER;
    *service = 0;
    const auto owner = findHandle(manager, true);
    if (!owner) return ERROR_INVALID_HANDLE;
    if (!(owner->access & SC_MANAGER_CREATE_SERVICE)) return ERROR_ACCESS_DENIED;
    if (serviceName.isEmpty() || serviceName.contains(QLatin1Char('\\')) || serviceName.contains(QLatin1Char('/')) ||
        imagePath.trimmed().isEmpty() || startType > SERVICE_DISABLED)
        return ERROR_INVALID_PARAMETER;
    const long rc = RegistryHive(hivePath(owner->folder)).update([&](HiveKey& top, bool& changed) -> long {
        HiveKey* key = &top;
        for (const QString& part : serviceKeyPath(serviceName)) key = &key->childOrNew(part);
        if (key->value(QStringLiteral("ImagePath"))) return ERROR_SERVICE_EXISTS;
        QByteArray start(4, '\0');
        qToLittleEndian<quint32>(startType, start.data());
        key->values.append({QStringLiteral("ImagePath"), REG_EXPAND_SZ, textData(imagePath)});
        key->values.append({QStringLiteral("DisplayName"), REG_SZ, textData(displayName)});
        key->values.append({QStringLiteral("Start"), REG_DWORD, start});
        changed = true;
        return ERROR_SUCCESS;
    });
    if (rc != ERROR_SUCCESS) return rc;
    *service = addHandle({false, owner->folder, serviceName, mapServiceAccess(desiredAccess)});
    return ERROR_SUCCESS;
}

long DeleteService(SC_HANDLE service) {
    const auto record = findHandle(service, false);
    if (!record) return ERROR_INVALID_HANDLE;
    if (!(record->access & DELETE_ACCESS)) return ERROR_ACCESS_DENIED;
    return RegistryHive(hivePath(record->folder)).update([&](HiveKey& top, bool& changed) -> long {
        HiveKey* key = top.find(serviceKeyPath(record->serviceName));
        if (!key || !key->value(QStringLiteral("ImagePath"))) return ERROR_SERVICE_DOES_NOT_EXIST;
        for (const char* name : {"ImagePath", "DisplayName", "Start"}) key->removeValue(QString::fromLatin1(name));
        changed = true;
        return ERROR_SUCCESS;
    });
}

long QueryServiceStatus(SC_HANDLE service, SERVICE_STATUS* status) {
    const auto record = findHandle(service, false);
    if (!record) return ERROR_INVALID_HANDLE;
    if (!(record->access & SERVICE_QUERY_STATUS)) return ERROR_ACCESS_DENIED;
    if (!status) return ERROR_INVALID_PARAMETER;
    bool running = false;
    const long rc = askService(*record, "query", status, &running);
    if (running) return rc;
    const ServiceStartMarker marker(serviceChannelName(record->serviceName, record->folder));
    *status = {marker.pending() ? SERVICE_START_PENDING : SERVICE_STOPPED, 0};
    return ERROR_SUCCESS;
}

long StartService(SC_HANDLE service) {
    const auto record = findHandle(service, false);
    if (!record) return ERROR_INVALID_HANDLE;
    if (!(record->access & SERVICE_START)) return ERROR_ACCESS_DENIED;
    Registration registration;
    if (const long rc = readRegistration(record->folder, record->serviceName, &registration); rc != ERROR_SUCCESS)
        return rc;
    if (registration.startType == SERVICE_DISABLED) return ERROR_SERVICE_DISABLED;

    const QString channel = serviceChannelName(record->serviceName, record->folder);
    ServiceStartMarker marker(channel);
    if (marker.pending()) return ERROR_SERVICE_ALREADY_RUNNING;
    QByteArray ignored;
    if (localChannelRequest(channel, "query", answerTimeoutMs.load(), &ignored) != ChannelResult::NoListener)
        return ERROR_SERVICE_ALREADY_RUNNING;

    return startUnit(QStringLiteral("start"), serviceUnitName(registration.name), marker);
}

long RestartService(SC_HANDLE service) {
    const auto record = findHandle(service, false);
    if (!record) return ERROR_INVALID_HANDLE;
    if ((record->access & (SERVICE_START | SERVICE_STOP)) != (SERVICE_START | SERVICE_STOP)) return ERROR_ACCESS_DENIED;
    Registration registration;
    if (const long rc = readRegistration(record->folder, record->serviceName, &registration); rc != ERROR_SUCCESS)
        return rc;
    if (registration.startType == SERVICE_DISABLED) return ERROR_SERVICE_DISABLED;
    ServiceStartMarker marker(serviceChannelName(record->serviceName, record->folder));
    return startUnit(QStringLiteral("restart"), serviceUnitName(registration.name), marker);
}

long ControlService(SC_HANDLE service, quint32 control, SERVICE_STATUS* status) {
    const auto record = findHandle(service, false);
    if (!record) return ERROR_INVALID_HANDLE;
    quint32 needed = 0;
    if (control == SERVICE_CONTROL_STOP) needed = SERVICE_STOP;
    else if (control == SERVICE_CONTROL_INTERROGATE) needed = SERVICE_INTERROGATE;
    else if (control >= 128 && control <= 255) needed = SERVICE_USER_DEFINED_CONTROL;
    else if (control >= 2 && control <= 3) needed = SERVICE_PAUSE_CONTINUE;
    else return ERROR_INVALID_PARAMETER;
    if (!(record->access & needed)) return ERROR_ACCESS_DENIED;
    bool running = false;
    SERVICE_STATUS answered;
    const long rc = control == SERVICE_CONTROL_STOP
                        ? askService(*record, "query", &answered, &running)
                        : askService(*record, "control " + QByteArray::number(control), &answered, &running);
    if (running && rc == ERROR_SUCCESS && control == SERVICE_CONTROL_STOP) {
        if (answered.dwCurrentState == SERVICE_START_PENDING || answered.dwCurrentState == SERVICE_STOP_PENDING)
            return ERROR_SERVICE_CANNOT_ACCEPT_CTRL;
        // A service stopped over its socket would stay down for good: the
        // service manager never starts a unit again that ended cleanly.
        const ServiceManagerOutcome stopped =
            runServiceManager({QStringLiteral("stop"), serviceUnitName(record->serviceName)}, answerTimeoutMs.load());
        if (stopped.error != ERROR_SUCCESS) return stopped.error;
        if (status) *status = {SERVICE_STOP_PENDING, 0};
        return ERROR_SUCCESS;
    }
    if (!running) {
        const ServiceStartMarker marker(serviceChannelName(record->serviceName, record->folder));
        const bool pending = marker.pending();
        if (status) *status = {pending ? SERVICE_START_PENDING : SERVICE_STOPPED, 0};
        return pending ? ERROR_SERVICE_CANNOT_ACCEPT_CTRL : ERROR_SERVICE_NOT_ACTIVE;
    }
    if (rc == ERROR_SUCCESS && status) *status = answered;
    return rc;
}

QString serviceErrorText(long error) {
    QString words;
    switch (error) {
        case ERROR_SUCCESS: words = QStringLiteral("no error"); break;
        case ERROR_FILE_NOT_FOUND: words = QStringLiteral("the file cannot be found"); break;
        case ERROR_ACCESS_DENIED: words = QStringLiteral("access is denied"); break;
        case ERROR_INVALID_HANDLE: words = QStringLiteral("the handle is invalid"); break;
        case ERROR_NOT_SUPPORTED: words = QStringLiteral("no service manager (systemd) runs on this computer"); break;
        case ERROR_INVALID_PARAMETER: words = QStringLiteral("a parameter is wrong"); break;
        case ERROR_INVALID_SERVICE_CONTROL: words = QStringLiteral("the service does not accept that control"); break;
        case ERROR_SERVICE_REQUEST_TIMEOUT: words = QStringLiteral("the service did not answer in time"); break;
        case ERROR_SERVICE_ALREADY_RUNNING: words = QStringLiteral("the service is running already"); break;
        case ERROR_SERVICE_DISABLED: words = QStringLiteral("the service is disabled or the service manager refused"); break;
        case ERROR_SERVICE_DOES_NOT_EXIST: words = QStringLiteral("the service is not installed"); break;
        case ERROR_SERVICE_CANNOT_ACCEPT_CTRL: words = QStringLiteral("the service cannot take controls now"); break;
        case ERROR_SERVICE_NOT_ACTIVE: words = QStringLiteral("the service is not running"); break;
        case ERROR_SERVICE_EXISTS: words = QStringLiteral("the service is installed already"); break;
        default: words = QStringLiteral("system error"); break;
    }
    return words + QStringLiteral(" (%1)").arg(error);
}

}  // namespace platform
