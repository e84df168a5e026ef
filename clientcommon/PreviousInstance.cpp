#include "clientcommon/PreviousInstance.h"

#include "platform/MessageBox.h"
#include "platform/ProgramFolder.h"
#include "platform/SystemNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <grp.h>
#include <sys/stat.h>

namespace tavrel {

namespace {

const QByteArray kBringForward = "bring forward";
const QByteArray kDone = "done";
// The first instance may be busy in a long step of its own start-up.
constexpr int kAnswerTimeoutMs = 10000;

}  // namespace

QString clientInstanceChannel(const QString& programFolder, const QString& userName) {
    return platform::localChannelName(QStringLiteral("tavrel-client"), userName, programFolder);
}

InstanceClaim::InstanceClaim(const QString& programFolder, const QString& userName)
    : channel_(clientInstanceChannel(programFolder, userName)),
      server_([this](const QByteArray& request) -> QByteArray {
          if (request != kBringForward) return {};
          if (bringForward_) bringForward_();
          return kDone;
      }) {
    // Beside the channel (a full path in the program folder's runtime folder).
    const QString path = QDir::temp().filePath(channel_ + QStringLiteral(".lock"));
    switch (lock_.tryLock(path)) {
        case platform::KernelLockFile::Outcome::Taken:
        case platform::KernelLockFile::Outcome::Held:  // a running client holds it
            return;
        case platform::KernelLockFile::Outcome::Refused:
            break;
    }
    problem_ = platform::programFolderProblem(programFolder);
    if (problem_.isEmpty()) problem_ = platform::privateFolderProblem(platform::runtimeFolder(programFolder));
    if (!problem_.isEmpty()) return;
    problem_ = lock_.problem();  // it says what mends it
    folderAccess_ = false;
}

InstanceClaim::~InstanceClaim() { server_.close(); }

bool InstanceClaim::listen(std::function<void()> bringForward, QString* error) {
    if (!isFirst()) {
        if (error) *error = QStringLiteral("another instance holds the claim");
        return false;
    }
    bringForward_ = std::move(bringForward);
    return server_.listen(channel_, error);
}

void modGlobal_ReportInstanceProblem(const QString& problem, const QString& programFolder, bool folderAccess) {
    if (!folderAccess) {
        const QString text = QStringLiteral("Tavrel cannot start: ") + problem;
        std::fprintf(stderr, "%s\n", qPrintable(text));
        platform::MsgBox(text, platform::vbOKOnly, QStringLiteral("Sorvex Tavrel"));
        return;
    }
    // The group of the folder, or of the nearest folder above it that exists.
    QString groupName = QStringLiteral("GROUP");
    for (QString folder = programFolder; !folder.isEmpty(); folder = QFileInfo(folder).path()) {
        struct stat st {};
        if (::stat(QFile::encodeName(folder).constData(), &st) == 0 && S_ISDIR(st.st_mode)) {
            if (const struct group* entry = ::getgrgid(st.st_gid)) groupName = QString::fromLocal8Bit(entry->gr_name);
            break;
        }
        if (folder == QFileInfo(folder).path()) break;
    }
    const QString text =
        QStringLiteral("Tavrel cannot start: ") + problem + QStringLiteral(".\r\n") +
        QStringLiteral("Every user of this program folder must be able to write it: an administrator adds your "
                       "account to the folder's group (sudo usermod -aG %1 %2), which takes effect at your next log-in.")
            .arg(groupName, platform::userName());
    std::fprintf(stderr, "%s\n", qPrintable(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))));
    platform::MsgBox(text, platform::vbOKOnly, QStringLiteral("Sorvex Tavrel"));
}

void modGlobal_CheckPreviousInstance() {
    const QString channel = clientInstanceChannel(platform::resolveProgramFolder(), platform::userName());
    QByteArray answer;
    if (platform::localChannelRequest(channel, kBringForward, kAnswerTimeoutMs, &answer) ==
            platform::ChannelResult::Answered &&
        answer == kDone)
        return;
    platform::MsgBox(
        QStringLiteral("There appears to be another instance of Tavrel running, but I can't find it to restore it"),
        platform::vbOKOnly, QStringLiteral("Sorvex Tavrel"));
}

}  // namespace tavrel
