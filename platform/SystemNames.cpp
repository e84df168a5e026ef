#include "platform/SystemNames.h"

#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace platform {

namespace {
constexpr int kMaxComputerNameLength = 15;
}

QString computerName() {
    const QString fromEnvironment = qEnvironmentVariable("COMPUTERNAME");
    if (!fromEnvironment.isEmpty()) return fromEnvironment;
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0) return QStringLiteral("LOCALHOST");
    QString name = QString::fromLocal8Bit(host).section(u'.', 0, 0).toUpper();
    return name.left(kMaxComputerNameLength);
}

QString userName() {
    // Never from the environment: the name decides which tasks are the
    // user's and which client channel, and anyone can set a variable.
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_name)
        return QString::fromLocal8Bit(found->pw_name);
    return QString::number(geteuid());
}

}  // namespace platform
