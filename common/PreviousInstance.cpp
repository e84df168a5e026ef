#include "common/PreviousInstance.h"

#include "platform/MessageBox.h"
#include "platform/ProgramFolder.h"
#include "platform/SystemNames.h"

#include <QDir>
#include <QLockFile>

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
    // The lock lives in the temporary folder: the program folder may be read-only.
    auto lock = std::make_unique<QLockFile>(QDir::temp().filePath(channel_ + QStringLiteral(".lock")));
    lock->setStaleLockTime(0);  // only a dead holder makes it stale, never its age
    if (lock->tryLock(0)) lock_ = std::move(lock);
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
