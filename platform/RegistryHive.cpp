#include "platform/RegistryHive.h"

#include "platform/BoundedRead.h"
#include "platform/KernelLockFile.h"
#include "platform/ProgramFolder.h"
#include "platform/SharedFile.h"

namespace platform {

namespace {
// Long enough for a slow disk, short enough that a caller is not stuck when
// another process holds the hive.
constexpr int kLockWaitMs = 10000;
// Settings, recent files and column widths: a hive is a few kilobytes. One
// larger than this is no hive of ours and is refused unread.
constexpr qint64 kHiveFileLimit = qint64(16) << 20;
}  // namespace

QString RegistryHive::defaultPath() { return resolveProgramFolder() + QStringLiteral("/registry.hive"); }

RegistryHive::RegistryHive(QString filePath) : path_(std::move(filePath)) {}

long RegistryHive::read(HiveKey& top) const {
    problem_.clear();
    return readFile(top);
}

long RegistryHive::readFile(HiveKey& top) const {
    QByteArray bytes;
    QString why;
    // A link at the name is read through (a save then replaces it), but
    // never a fifo, and never more than a hive holds.
    switch (readBoundedFile(path_, kHiveFileLimit, bytes, &why, Links::Follow)) {
        case ReadOutcome::Missing:
            top = HiveKey{};
            return ERROR_SUCCESS;
        case ReadOutcome::Failed:
            problem_ = path_ + QStringLiteral(": cannot be read: ") + why;
            return ERROR_ACCESS_DENIED;
        case ReadOutcome::Read:
            break;
    }
    if (!parseHive(bytes, top, &why)) {
        problem_ = path_ + QStringLiteral(" is damaged, ") + why;
        return ERROR_BADDB;
    }
    return ERROR_SUCCESS;
}

long RegistryHive::update(const std::function<long(HiveKey& top, bool& changed)>& change) {
    problem_.clear();
    // The kernel's lock: one whose holder is gone never blocks, and nothing
    // planted at its name is followed or waited on.
    KernelLockFile lock;
    switch (lock.lock(path_ + QStringLiteral(".lock"), kLockWaitMs)) {
        case KernelLockFile::Outcome::Taken:
            break;
        case KernelLockFile::Outcome::Held:
            problem_ = path_ + QStringLiteral(": another process holds the hive lock");
            return ERROR_TIMEOUT;
        case KernelLockFile::Outcome::Refused:
            problem_ = path_ + QStringLiteral(": no right to lock the hive: ") + lock.problem();
            return ERROR_ACCESS_DENIED;
    }
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
