#include "platform/RegistryHive.h"

#include "platform/ProgramFolder.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>

namespace platform {

namespace {
// Long enough for a slow disk, short enough that a caller is not stuck when
// another process holds the hive.
constexpr int kLockWaitMs = 10000;
// Passwords and connection strings live here: the owner and the program
// folder's group (the service and the client of a lab user) may read it,
// nobody else.
constexpr auto kHivePermissions =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::WriteGroup;
}  // namespace

QString RegistryHive::defaultPath() { return resolveProgramFolder() + QStringLiteral("/registry.hive"); }

RegistryHive::RegistryHive(QString filePath) : path_(std::move(filePath)) {}

long RegistryHive::read(HiveKey& top) const {
    problem_.clear();
    return readFile(top);
}

long RegistryHive::readFile(HiveKey& top) const {
    QFile file(path_);
    if (!file.exists()) {
        top = HiveKey{};
        return ERROR_SUCCESS;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        problem_ = path_ + QStringLiteral(": cannot be read: ") + file.errorString();
        return ERROR_ACCESS_DENIED;
    }
    QString why;
    if (!parseHive(file.readAll(), top, &why)) {
        problem_ = path_ + QStringLiteral(" is damaged, ") + why;
        return ERROR_BADDB;
    }
    return ERROR_SUCCESS;
}

long RegistryHive::update(const std::function<long(HiveKey& top, bool& changed)>& change) {
    problem_.clear();
    QLockFile lock(path_ + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockWaitMs)) {
        const bool denied = lock.error() == QLockFile::PermissionError;
        problem_ = path_ + (denied ? QStringLiteral(": no right to lock the hive")
                                   : QStringLiteral(": another process holds the hive lock"));
        return denied ? ERROR_ACCESS_DENIED : ERROR_TIMEOUT;
    }
    HiveKey top;
    if (const long rc = readFile(top); rc != ERROR_SUCCESS) return rc;
    bool changed = false;
    if (const long rc = change(top, changed); rc != ERROR_SUCCESS || !changed) return rc;
    return save(top);
}

long RegistryHive::save(const HiveKey& top) {
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly)) {
        problem_ = path_ + QStringLiteral(": cannot be written: ") + file.errorString();
        return ERROR_ACCESS_DENIED;
    }
    file.setPermissions(kHivePermissions);
    const QByteArray text = serializeHive(top);
    if (file.write(text) != text.size() || !file.commit()) {
        problem_ = path_ + QStringLiteral(": cannot be written: ") + file.errorString();
        return ERROR_ACCESS_DENIED;
    }
    return ERROR_SUCCESS;
}

}  // namespace platform
