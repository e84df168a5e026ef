#include "platform/OwnFolder.h"

#include "platform/ProgramFolder.h"
#include "platform/RegistryHive.h"

#include <QFile>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// A group made for one user (the Debian default): named as the user, the
// user's primary group, with no members listed. Writing by it is the user's.
bool isPrivateGroup(gid_t gid, uid_t uid) {
    const passwd* user = ::getpwuid(uid);
    if (!user || user->pw_gid != gid) return false;
    const QByteArray userName(user->pw_name);
    const group* grp = ::getgrgid(gid);
    if (!grp || userName != grp->gr_name) return false;
    return !grp->gr_mem || !grp->gr_mem[0];
}

bool ownedAlone(const struct stat& st) {
    if (st.st_uid != ::geteuid()) return false;
    if (st.st_mode & S_IWOTH) return false;
    return !(st.st_mode & S_IWGRP) || isPrivateGroup(st.st_gid, st.st_uid);
}

}  // namespace

bool isOwnFolder(const QString& folder) {
    struct stat st {};
    if (folder.isEmpty() || ::stat(QFile::encodeName(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    return ownedAlone(st);
}

bool isOwnProgramFolder() {
    if (!isOwnFolder(resolveProgramFolder())) return false;
    struct stat st {};
    const QByteArray hive = QFile::encodeName(RegistryHive::defaultPath());
    if (::lstat(hive.constData(), &st) != 0) return true;  // no settings yet: nothing in them to run
    return S_ISREG(st.st_mode) && ownedAlone(st);
}

}  // namespace platform
