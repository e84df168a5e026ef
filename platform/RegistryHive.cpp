#include "platform/RegistryHive.h"

#include "platform/ProgramFolder.h"
#include "platform/SharedFile.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>

namespace platform {

namespace {
// Long enough for a slow disk, short enough that a caller is not stuck when
// another process holds the hive.
constexpr int kLockWaitMs = 10000;
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
    // The next account of the group must be able to judge the lock, and
    // take it over when its holder is gone.
    shareWithFolderGroup(path_ + QStringLiteral(".lock"));
    HiveKey top;
    if (const long rc = readFile(top); rc != ERROR_SUCCESS) return rc;
    bool changed = false;
    if (const long rc = change(top, changed); rc != ERROR_SUCCESS || !changed) return rc;
    return save(top);
}

// Passwords and connection strings live here: never readable by others.
long RegistryHive::save(const HiveKey& top) {
    SaveStage stage = SaveStage::Write;
    const QString failure = saveFileReplacing(path_, serializeHive(top), &stage, FileReaders::OwnerAndGroup);
    if (failure.isEmpty()) return ERROR_SUCCESS;
    problem_ = path_ + QStringLiteral(": cannot be written: ") + failure;
    return ERROR_ACCESS_DENIED;
}

}  // namespace platform
